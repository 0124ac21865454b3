#include "support/table_builder.h"
#include "support/window_fixture.h"
#include "ui/start_up.h"

using namespace quillet;
using namespace quillet::testing;
using Act = std::function<void(WindowFixture&, const QString& path)>;
Q_DECLARE_METATYPE(Act)

namespace {

QString Shown(const MainWindow& window, const char* name) { return ChildOf<QLabel>(window, QString::fromLatin1(name))->text(); }

void Drop(MainWindow& window, const QString& path) {
    QMimeData data;
    for (const bool withTable : {false, true}) {  // a drag that holds no table is refused
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/notes.txt")), QUrl::fromLocalFile(withTable ? path : QStringLiteral("/tmp/notes.csv"))});
        QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QCOMPARE(enter.isAccepted(), withTable);
    }
    QDropEvent drop({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QVERIFY(drop.isAccepted());
}
}  // namespace

class OpenTest : public QObject {
    Q_OBJECT

private slots:
    void opensEveryWay_data() {
        QTest::addColumn<Act>("act");
        const auto viaDialog = [](const std::function<void(MainWindow&)>& ask) {
            return Act([ask](WindowFixture& f, const QString& path) {
                f.Platform.FileAnswers.push_back(path);
                ask(*f.Window);
            });
        };
        QTest::newRow("button") << viaDialog([](MainWindow& w) { Click(w, "openButton"); });
        QTest::newRow("menu") << viaDialog([](MainWindow& w) { ChildOf<QAction>(w, QStringLiteral("openAction"))->trigger(); });
        QTest::newRow("shortcut") << viaDialog([](MainWindow& w) { QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier); });
        QTest::newRow("command line") << Act([](WindowFixture& f, const QString& path) {
            const QString before = QDir::currentPath();
            QDir::setCurrent(QFileInfo(path).absolutePath());
            StartWith(*f.Window, {QStringLiteral("quillet"), QFileInfo(path).fileName()});
            QDir::setCurrent(before);
        });
        QTest::newRow("drop") << Act([](WindowFixture& f, const QString& path) { Drop(*f.Window, path); });
        QTest::newRow("recent") << Act([](WindowFixture& f, const QString& path) {
            f.Settings.setValue(QStringLiteral("recentTables"), QStringList{path});
            auto* recent = ChildOf<QMenu>(*f.Window, QStringLiteral("recentMenu"));
            emit recent->aboutToShow();
            recent->actions().at(0)->trigger();
        });
    }
    void opensEveryWay() {
        QFETCH(Act, act);
        WindowFixture f;
        f.Window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.Window.get()));
        // While the table is read the list gives way to what is being done.
        QVERIFY(f.Await(&MainWindow::tableOpened, [&] {
            act(f, kSample);
            QVERIFY(Shown(*f.Window, "busyLabel").contains(kSample) && ChildOf(*f.Window, QStringLiteral("busyLabel"))->isVisible());
            QCOMPARE(ChildOf<QProgressBar>(*f.Window, QStringLiteral("progressBar"))->value(), 0);
        }));

        const MainWindow& w = *f.Window;
        QVERIFY(f.TextOf("sourceBox") == kSample && f.TextOf("saveBox").isEmpty());
        // The list is shown, without drawing the blanks that pad a cell (they would widen its column).
        const QTableView& list = *ChildOf<QTableView>(w, QStringLiteral("recordView"));
        const QModelIndex padded = list.model()->index(0, 2);
        QStyleOptionViewItem option;
        option.initFrom(&list);
        QVERIFY(list.isVisible());
        QVERIFY(list.itemDelegateForIndex(padded)->sizeHint(option, padded).width() < list.fontMetrics().horizontalAdvance(padded.data().toString()));
        // The facts a line each, the same in the tooltip; typing changes neither. With them in
        // tests/data/ui/opened.txt: the counts, the code page, the rows listed, the recent table.
        auto* info = ChildOf<QPlainTextEdit>(w, QStringLiteral("infoBox"));
        const QString facts = info->toPlainText();
        QTest::keyClicks(info, "typed");
        QVERIFY(info->toPlainText() == facts && info->toolTip() == facts);
        const QStringList shown{facts, Shown(w, "recordCountLabel"), Shown(w, "deletedCountLabel"), Shown(w, "codePageLabel"),
                                QString::number(list.model()->rowCount()), f.Settings.value(QStringLiteral("recentTables")).toStringList().value(0)};
        QVERIFY(MatchesGolden(shown.join(u'\n').replace(kSample, QStringLiteral("SAMPLE")) + u'\n', "ui/opened.txt"));
        QVERIFY(f.Platform.Messages.isEmpty());
    }

    void refusesBadFiles_data() { AddDataRows("ui/refusals.tsv"); }
    void refusesBadFiles() {
        const auto [changes, saying, icon] = DataFields<3>();
        WindowFixture f;
        QVERIFY(f.Open(kSample));
        const bool missing = changes == QStringLiteral("missing");
        const QString path = f.PathOf(missing ? "missing.dbf" : "bad.dbf");
        if (!missing) WriteFileBytes(path.toStdString(), Changed(ReadFileBytes(kSample.toStdString()), changes.toStdString()));
        QVERIFY(f.Open(path));

        QCOMPARE(f.Platform.Messages.size(), 1);
        const auto& message = f.Platform.Messages.first();
        QVERIFY2(message.Text.contains(path), qPrintable(message.Text));
        for (const QString& part : saying.split(u'|')) QVERIFY2(message.Text.contains(part), qPrintable(message.Text));
        QVERIFY(!message.Text.contains(QStringLiteral("cut short")) || saying.contains(QStringLiteral("cut short")));
        QCOMPARE(QString::number(static_cast<int>(message.Icon)), icon);
        // A refused file leaves the table shown before; a short one is shown.
        QCOMPARE(f.TextOf("sourceBox"), message.Icon == MessageIcon::Warning ? path : kSample);
        QCOMPARE(f.Window->isEnabled(), true);
    }

    // A file refused while the table shown is still being counted through (2,000,000 records of
    // a sparse file): said once, and the table keeps its count.
    void refusesAFileWhileTheTableShownIsCounted() {
        WindowFixture f;
        const std::string big = f.PathOf("big.dbf").toStdString();
        TableBuilder().Field("NAME", 'C', 100).RecordCount(2000000).WriteTo(big);
        std::filesystem::resize_file(big, 65 + 101 * 2000000);
        QVERIFY(f.Await(&MainWindow::tableShown, [&] { f.Window->openFile(QString::fromStdString(big)); }));
        QVERIFY(Shown(*f.Window, "deletedCountLabel").startsWith(QStringLiteral("Deleted: counting...")));
        QVERIFY(f.Open(f.PathOf("missing.dbf")));
        QTRY_COMPARE(Shown(*f.Window, "deletedCountLabel"), QStringLiteral("Deleted: 0"));
        QCOMPARE(f.Platform.Messages.size(), 1);
        QCOMPARE(f.TextOf("sourceBox"), QString::fromStdString(big));
    }

    // Memo cells: text shown, a binary one as its size in a muted colour, and what could not be
    // read (a pointer past the end; then the whole memo file) told once after opening.
    void showsMemosAndWhatCouldNotBeRead() {
        WindowFixture f;
        const auto be = [](std::uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
        std::ofstream(f.PathOf("memo.fpt").toStdString(), std::ios::binary)
            << be(0) + be(64) + std::string(504, '\0') + be(1) + be(5) + "hello" + std::string(51, '\0') + be(0) + be(2048) + std::string(2048, 'x');
        const QString path = f.PathOf("memo.dbf");
        TableBuilder().Version(0xF5).Field("NOTE", 'M', 10).Field("PICTURE", 'G', 10).Record({"8", "9"}).Record({"1000"}).WriteTo(path.toStdString());
        QVERIFY(f.Open(path));
        const QAbstractItemModel& list = *ChildOf<QTableView>(*f.Window, QStringLiteral("recordView"))->model();
        QCOMPARE(list.index(0, 2).data().toString(), QStringLiteral("hello"));
        QCOMPARE(list.index(0, 3).data().toString(), QStringLiteral("(binary, 2,048 bytes)"));
        QCOMPARE(list.index(0, 3).data(Qt::ForegroundRole).value<QColor>(), QGuiApplication::palette().color(QPalette::PlaceholderText));
        QVERIFY(!list.index(0, 2).data(Qt::ForegroundRole).isValid());

        std::filesystem::remove(f.PathOf("memo.fpt").toStdString());
        QVERIFY(f.Open(path));
        QCOMPARE(f.Platform.Messages.size(), 2);
        for (const auto& [message, saying] : {std::pair{f.Platform.Messages[0], "could not be read"}, {f.Platform.Messages[1], "is missing"}}) {
            QVERIFY2(message.Text.contains(path) && message.Text.contains(QLatin1String(saying)), qPrintable(message.Text));
            QCOMPARE(message.Caption, QStringLiteral("Quillet"));
            QCOMPARE(message.Icon, MessageIcon::Warning);
        }
        QCOMPARE(list.index(0, 3).data().toString(), QString());
    }

    void remembersBetweenRuns() {
        WindowFixture f;
        f.Window->setGeometry(40, 50, 900, 700);
        auto* recent = ChildOf<QMenu>(*f.Window, QStringLiteral("recentMenu"));
        emit recent->aboutToShow();
        QVERIFY(!recent->isEnabled());  // nothing opened yet
        QVERIFY(f.Open(kSample) && f.Open(kSample));
        QVERIFY(recent->isEnabled() && recent->actions().size() == 1);  // a table opened again is listed once
        f.Window->close();
        f.Window = std::make_unique<MainWindow>(f.Platform, f.Settings);
        QCOMPARE(f.Window->geometry(), QRect(40, 50, 900, 700));
        f.Window->openTable();
        QCOMPARE(f.Platform.FileDialogStarts.last(), QFileInfo(kSample).absolutePath());
    }
};

QTEST_MAIN(OpenTest)
#include "open_test.moc"
