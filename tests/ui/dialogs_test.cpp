#include "support/window_fixture.h"
#include "ui/save_location_dialog.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

void Keys(QWidget* widget, std::initializer_list<Qt::Key> keys) {
    for (const Qt::Key key : keys) QTest::keyClick(widget, key);
}

QString PathBox(QDialog& dialog) { return ChildOf<QLineEdit>(dialog, QStringLiteral("pathBox"))->text(); }

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // Keyboard only: Space on "Columns" opens it, arrows and Space mark, Enter stores; Esc stores nothing.
    void choosesColumnsByKeyboard() {
        WindowFixture f;
        f.Window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.Window.get()));
        auto* button = ChildOf(*f.Window, QStringLiteral("columnsButton"));
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);  // before any table: nothing
        QVERIFY(f.Open(kSample));
        QCOMPARE(QApplication::focusWidget(), ChildOf(*f.Window, QStringLiteral("recordView")));
        const int columns = f.Window->table().ColumnCount;
        const auto press = [&](std::initializer_list<Qt::Key> keys, Qt::Key leave) {
            f.Dialogs.Answer(QStringLiteral("ColumnsDialog"), [keys, leave](QDialog& d) {
                auto* list = ChildOf<QListWidget>(d, QStringLiteral("columnList"));
                QTRY_COMPARE(QApplication::focusWidget(), list);
                Keys(list, keys);
                QTest::keyClick(&d, leave);
            });
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Space);
            QVERIFY2(f.Dialogs.AllAnswered() && f.Dialogs.Unexpected.isEmpty(), qPrintable(f.Dialogs.Unexpected.join(',')));
        };
        press({Qt::Key_Space, Qt::Key_Down, Qt::Key_Down, Qt::Key_Space}, Qt::Key_Return);
        std::vector<std::uint8_t> expected(static_cast<std::size_t>(columns), 1);
        expected[0] = expected[2] = 0;
        QCOMPARE(f.Window->table().ColumnSelected, expected);
        press({Qt::Key_Space}, Qt::Key_Escape);
        QCOMPARE(f.Window->table().ColumnSelected, expected);
        f.Dialogs.Answer(QStringLiteral("ColumnsDialog"), [](QDialog& d) {
            Click(d, "deselectAllButton");
            Click(d, "okButton");
        });
        Click(*f.Window, "columnsButton");
        QCOMPARE(f.Window->table().ColumnSelected, std::vector<std::uint8_t>(static_cast<std::size_t>(columns), 0));
        f.Dialogs.Answer(QStringLiteral("ColumnsDialog"), [](QDialog& d) {
            Click(d, "selectAllButton");
            d.close();
        });
        Click(*f.Window, "columnsButton");
        QCOMPARE(f.Window->table().ColumnSelected, std::vector<std::uint8_t>(static_cast<std::size_t>(columns), 0));
        QVERIFY(f.Open(kSample));
        QCOMPARE(f.Window->table().ColumnSelected, std::vector<std::uint8_t>(static_cast<std::size_t>(columns), 1));
    }

    // Keyboard only: Down highlights, Enter or Right opens, Enter on the open folder takes it.
    void choosesFolderByKeyboard() {
        WindowFixture f;
        const TempDir root;
        for (const char* name : {"a/inner", "b", ".hidden"}) std::filesystem::create_directories(root / name);
        f.Platform.Current = QString::fromStdString(root.Path().string());
        const QString a = QString::fromStdString((root / "a").string());
        QVERIFY(f.Open(kSample));
        f.Dialogs.Answer(QStringLiteral("SaveLocationDialog"), [&](QDialog& d) {
            auto* list = ChildOf(d, QStringLiteral("folderList"));
            QTRY_COMPARE(QApplication::focusWidget(), list);
            Keys(list, {Qt::Key_Down, Qt::Key_Return});
            QCOMPARE(PathBox(d), a);
            Keys(list, {Qt::Key_Down, Qt::Key_Right});
            QCOMPARE(PathBox(d), a + QStringLiteral("/inner"));
            Keys(list, {Qt::Key_Up, Qt::Key_Return});
            QCOMPARE(PathBox(d), a);
            QTest::keyClick(list, Qt::Key_Return);
        });
        Click(*f.Window, "browseButton");
        QCOMPARE(f.Window->exportSettings().SaveFolder, a.toStdString());
        QCOMPARE(f.TextOf("saveBox"), a + QStringLiteral("/customers.csv"));

        // Esc and the close box keep the folder; Cancel forgets it. The next showing starts at it.
        for (const int how : {0, 1, 2}) {
            f.Dialogs.Answer(QStringLiteral("SaveLocationDialog"), [&, how](QDialog& d) {
                QCOMPARE(PathBox(d), a);
                if (how == 0) QTest::keyClick(&d, Qt::Key_Escape);
                if (how == 1) d.close();
                if (how == 2) Click(d, "cancelButton");
            });
            Click(*f.Window, "browseButton");
            QCOMPARE(f.Window->exportSettings().SaveFolder, how == 2 ? std::string() : a.toStdString());
        }
        QCOMPARE(f.TextOf("saveBox"), QString());
    }

    void switchesDrives() {
        ScriptedPlatform platform;
        const TempDir usb, home;
        std::filesystem::create_directories(home / "deep/er");
        const QString usbRoot = QString::fromStdString(usb.Path().string());
        const QString deep = QString::fromStdString((home / "deep/er").string());
        platform.Volumes = {{QStringLiteral("/"), QStringLiteral("/"), true},
                            {usbRoot, QStringLiteral("USB"), false},
                            {QStringLiteral("/zz-nowhere"), QStringLiteral("Gone"), false}};
        platform.UnreadableFolders[QStringLiteral("/zz-nowhere")] = QStringLiteral("No medium found");
        platform.Current = QString::fromStdString(home.Path().string());
        SaveLocationDialog dialog(platform, deep);
        auto* drives = ChildOf<QComboBox>(dialog, QStringLiteral("driveBox"));
        QCOMPARE(drives->currentIndex(), 0);
        dialog.chooseDrive(0);  // the same drive again: the list stays where the user went
        QCOMPARE(PathBox(dialog), deep);
        dialog.chooseDrive(1);
        QCOMPARE(PathBox(dialog), usbRoot);
        QCOMPARE(drives->currentIndex(), 1);
        dialog.chooseDrive(2);
        QCOMPARE(platform.Messages.size(), 1);
        QCOMPARE(platform.Messages[0].Caption, QStringLiteral("Error"));
        QVERIFY(platform.Messages[0].Text.contains(QStringLiteral("/zz-nowhere")) && platform.Messages[0].Text.contains(QStringLiteral("No medium found")));
        QCOMPARE(PathBox(dialog), usbRoot);
        QCOMPARE(drives->currentIndex(), 1);
        dialog.chooseDrive(0);
        QCOMPARE(PathBox(dialog), platform.Current);
    }

    void startsSystemInformation_data() { AddDataRows("ui/system_information.tsv"); }
    void startsSystemInformation() {
        const auto [installed, starts, started] = DataFields<3>();
        WindowFixture f;
        ScriptedPlatform& platform = f.Platform;
        for (const QString& name : installed.split(u' ', Qt::SkipEmptyParts)) platform.InstalledPrograms[name] = QStringLiteral("/usr/bin/") + name;
        platform.ProgramsStart = starts == QStringLiteral("yes");
        f.Dialogs.Answer(QStringLiteral("AboutDialog"), [](QDialog& about) {
            Click(about, "systemInfoButton");
            about.accept();
        });
        Click(*f.Window, "aboutButton");
        QVERIFY(f.Dialogs.AllAnswered() && f.Dialogs.Unexpected.isEmpty());
        QCOMPARE(platform.ProgramsStarted.isEmpty() ? QString() : platform.ProgramsStarted.last(),
                 platform.ProgramsStart ? started : QStringLiteral("/usr/bin/kinfocenter"));
        QCOMPARE(platform.Messages.size(), started.isEmpty() ? 1 : 0);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
