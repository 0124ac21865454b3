#include "support/window_fixture.h"
#include "ui/about_dialog.h"
#include "ui/columns_dialog.h"
#include "ui/options_dialogs.h"
#include "ui/platform/qt_platform.h"
#include "ui/save_location_dialog.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

// The access key of a caption ("&Open" gives O), or 0.
QChar AccessKey(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toUpper() : QChar();
}

// Every caption of window shows whole, and every button and buddied label has an access key
// of its own (the menu bar's titles included). The captions, the menus' items and the window's
// title go into captions, a line each.
void CheckCaptions(QWidget& window, QString& captions) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    captions += QStringLiteral("== %1: %2\n").arg(window.objectName(), window.windowTitle());
    QSet<QChar> keys;
    const auto take = [&](const QString& text, const QString& what) {
        const QChar key = AccessKey(text);
        QVERIFY2(!key.isNull() && !keys.contains(key), qPrintable(window.objectName() + QStringLiteral(": ") + what));
        keys.insert(key);
    };
    if (auto* bar = window.findChild<QMenuBar*>()) {
        for (const QAction* menu : bar->actions()) {
            take(menu->text(), menu->text());
            for (const QAction* item : menu->menu()->actions()) captions += menu->text() + QStringLiteral(" > ") + item->text() + u'\n';
        }
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty()) continue;
        captions += button->text() + u'\n';
        const auto* box = qobject_cast<QDialogButtonBox*>(button->parentWidget());
        if (box != nullptr && box->standardButton(button) != QDialogButtonBox::NoButton) continue;  // Enter and Esc press them
        QVERIFY2(button->width() >= button->minimumSizeHint().width(), qPrintable(button->text()));
        take(button->text(), button->text());
    }
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty()) continue;
        captions += label->text() + u'\n';
        if (label->wordWrap()) continue;
        QVERIFY2(label->width() >= label->minimumSizeHint().width(), qPrintable(label->text()));
        if (label->buddy() != nullptr) take(label->text(), label->text());
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
        SaveLocationDialog location(f.Platform, QDir::tempPath());
        DelimitedOptionsDialog delimited;
        HtmlOptionsDialog html(f.Platform);
        RtfOptionsDialog rtf;
        AboutDialog about(f.Platform);
        QString captions;
        for (QWidget* window : std::initializer_list<QWidget*>{f.Window.get(), &columns, &location, &delimited, &html, &rtf, &about}) {
            CheckCaptions(*window, captions);
        }
        // The texts the user reads, as written: a changed one shows in captions.txt.actual.
        captions.replace(QStringLiteral(QUILLET_VERSION), QStringLiteral("VERSION"));
        QVERIFY2(MatchesGolden(captions, "ui/captions.txt"), "the captions differ from tests/data/ui/captions.txt");
    }

    void listTakesTheRoomOfALargerWindow() {
        WindowFixture f;
        f.Window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Window.get()));
        const QSize opening = f.Window->size();
        QVERIFY(opening.width() >= 560 && opening.width() <= 700 && opening.height() >= 540 && opening.height() <= 700);
        auto* list = ChildOf<QTableView>(*f.Window, QStringLiteral("recordView"));
        const QSize before = list->size();
        f.Window->resize(opening + QSize(300, 200));
        QTest::qWait(20);
        QCOMPARE(list->size(), before + QSize(300, 200));
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
