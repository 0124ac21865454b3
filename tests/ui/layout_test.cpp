#include "support/window_fixture.h"
#include "ui/about_dialog.h"
#include "ui/columns_dialog.h"
#include "ui/options_dialogs.h"
#include "ui/platform/qt_platform.h"
#include "ui/record_browser.h"
#include "ui/save_location_dialog.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

// The access key of a caption ("&Open" gives O), or 0.
QChar AccessKey(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toUpper() : QChar();
}

// What a widget says: a button's or label's caption and whether it is checked, a box's text.
QString CaptionOf(const QWidget& w) {
    if (const auto* b = qobject_cast<const QAbstractButton*>(&w)) return b->text() + (b->isChecked() ? QStringLiteral(" (checked)") : QString());
    if (const auto* c = qobject_cast<const QComboBox*>(&w)) return c->currentText();
    if (const auto* l = qobject_cast<const QLabel*>(&w)) return l->text();
    if (const auto* e = qobject_cast<const QLineEdit*>(&w)) return e->text() + (e->isReadOnly() ? QStringLiteral(" (read-only)") : QString());
    return {};
}

// Every caption of window shows whole, and every button and buddied label has an access key
// of its own (the menu bar's titles included; the find bar, with shortcuts of its own, aside).
// The window's title and size, the menus' items and every visible widget (its kind, name,
// caption, tip, place and size; a header's sections) go into captions, a line each, so that a
// control renamed, moved, hidden or resized shows.
void CheckCaptions(QWidget& window, QString& captions) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    captions += QStringLiteral("== %1: %2 %3x%4\n").arg(window.objectName(), window.windowTitle()).arg(window.width()).arg(window.height());
    QSet<QChar> keys;
    const auto take = [&](const QString& text) {
        const QChar key = AccessKey(text);
        QVERIFY2(!key.isNull() && !keys.contains(key), qPrintable(window.objectName() + QStringLiteral(": ") + text));
        keys.insert(key);
    };
    if (auto* bar = window.findChild<QMenuBar*>()) {
        for (const QAction* menu : bar->actions()) {
            take(menu->text());
            for (const QAction* item : menu->menu()->actions()) captions += menu->text() + QStringLiteral(" > ") + item->text() + u'\n';
        }
    }
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || qobject_cast<QMenu*>(w) != nullptr) continue;
        const QPoint at = w->mapTo(&window, QPoint());
        captions += QStringLiteral("%1 %2 %3,%4 %5x%6").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                        .arg(at.x()).arg(at.y()).arg(w->width()).arg(w->height());
        const auto* header = qobject_cast<QHeaderView*>(w);
        for (int k = 0; header != nullptr && k < header->count(); ++k) captions += QStringLiteral(" %1").arg(header->sectionSize(k));
        const QString text = CaptionOf(*w);
        captions += (text.isEmpty() ? QString() : QStringLiteral(" \"") + text + u'"') + (w->isEnabled() ? QString() : QStringLiteral(" disabled")) + (w->toolTip().isEmpty() ? QString() : QStringLiteral(" tip: ") + w->toolTip()) + u'\n';
        const auto* label = qobject_cast<QLabel*>(w);
        if (text.isEmpty() || (qobject_cast<QAbstractButton*>(w) == nullptr && (label == nullptr || label->wordWrap()))) continue;
        QVERIFY2(w->width() >= w->minimumSizeHint().width(), qPrintable(text));
        const auto* box = qobject_cast<QDialogButtonBox*>(w->parentWidget());
        if (box != nullptr && box->standardButton(static_cast<QAbstractButton*>(w)) != QDialogButtonBox::NoButton) continue;  // Enter and Esc press them
        if ((label == nullptr || label->buddy() != nullptr) && w->parentWidget()->objectName() != QStringLiteral("findBar")) take(text);
    }
}

// Closes the next modal box or dialog as soon as it shows, the way a person would with done.
void CloseNextModal(const std::function<void(QWidget*)>& done) {
    QTimer::singleShot(50, [done] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return CloseNextModal(done);
        done(modal);
    });
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

public slots:
    void openUrl(const QUrl& url) { opened_ = url; }

private slots:
    void captionsShowWholeWithTheirOwnAccessKeys() {
        WindowFixture f;
        QVERIFY(f.Open(kSample));
        ColumnsDialog columns({QStringLiteral("NAME"), QStringLiteral("CITY")}, {});
        const QString empty = QString::fromStdString(f.Folder.Path().string());  // no folders to list: the same everywhere
        SaveLocationDialog location(f.Platform, empty);
        DelimitedOptionsDialog delimited;
        HtmlOptionsDialog html(f.Platform);
        RtfOptionsDialog rtf;
        AboutDialog about(f.Platform);
        QString captions;
        auto* browser = f.Window->findChild<RecordBrowser*>();
        for (QWidget* window : std::initializer_list<QWidget*>{f.Window.get(), &columns, &location, &delimited, &html, &rtf, &about}) {
            CheckCaptions(*window, captions);
            // Larger, it gives the room to what holds more: the main window's list, beside the
            // record's details and below the find bar.
            if (window == f.Window.get()) browser->FindAction()->trigger(), browser->DetailsAction()->trigger();
            window->resize(window->size() + QSize(300, 200));
            QTest::qWait(20);
            CheckCaptions(*window, captions);
        }
        // What the user sees, as laid out: a change shows in windows.txt.actual.
        captions.replace(QStringLiteral(QUILLET_VERSION), QStringLiteral("VERSION")).replace(QStringLiteral(QUILLET_SAMPLES_DIR), QStringLiteral("SAMPLES")).replace(empty, QStringLiteral("EMPTY"));
        QVERIFY2(MatchesGolden(captions, "ui/windows.txt"), "the windows differ from tests/data/ui/windows.txt");
    }

    // The real desktop layer, offscreen: each call does its part.
    void qtPlatformAnswers() {
        QtPlatform platform;
        const TempDir folder;
        for (const char* name : {"b", "A", ".hidden"}) std::filesystem::create_directory(folder / name);
        std::ofstream(folder / "file.txt") << "x";
        const QString path = QString::fromStdString(folder.Path().string());
        QCOMPARE(platform.ListFolders(path).Names, (QStringList{QStringLiteral("A"), QStringLiteral("b")}));
        QVERIFY(!platform.ListFolders(path + QStringLiteral("/none")).Problem.isEmpty());
        QCOMPARE(platform.CurrentFolder(), QDir::currentPath());
        const QList<Volume> volumes = platform.MountedVolumes();
        QVERIFY(std::any_of(volumes.begin(), volumes.end(),
                            [](const Volume& v) { return v.RootPath == QStringLiteral("/") && v.Ready; }));
        QVERIFY(platform.FindProgram(QStringLiteral("sh")).endsWith(QStringLiteral("/sh")));
        QVERIFY(platform.FindProgram(QStringLiteral("no-such-program-here")).isEmpty());
        QVERIFY(platform.StartProgram(QStringLiteral("true"), {}));
        QVERIFY(!platform.StartProgram(path + QStringLiteral("/none"), {}));

        for (const auto& [icon, shown] : {std::pair{MessageIcon::Critical, QMessageBox::Critical}, {MessageIcon::Warning, QMessageBox::Warning},
                                          {MessageIcon::Information, QMessageBox::Information}, {MessageIcon::None, QMessageBox::NoIcon}}) {
            CloseNextModal([shown](QWidget* box) {
                QCOMPARE(static_cast<QMessageBox*>(box)->icon(), shown);
                QTest::keyClick(box, Qt::Key_Return);
            });
            platform.ShowMessage(nullptr, QStringLiteral("Quillet"), QStringLiteral("Hello"), icon);
        }
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
        QVERIFY(platform.ShowFolder(path));
        QCOMPARE(opened_, QUrl::fromLocalFile(path));
        CloseNextModal([](QWidget* dialog) { static_cast<QColorDialog*>(dialog)->accept(); });
        QCOMPARE(platform.ChooseColor(nullptr, Qt::red), std::optional<QColor>(QColor(Qt::red)));
        CloseNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
        QCOMPARE(platform.ChooseColor(nullptr, Qt::red), std::nullopt);
        CloseNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
        QCOMPARE(platform.ChooseFileToOpen(nullptr, QStringLiteral("DBF Files (*.dbf)"), path), std::nullopt);
    }

private:
    QUrl opened_;
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
