#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "support/modal_dialogs.h"
#include "support/scripted_platform.h"
#include "support/test_registry.h"
#include "ui/frm_about.h"
#include "ui/frm_main.h"

using quillet::frmAbout;
using quillet::MessageIcon;
using quillet::testing::ChildOf;
using quillet::testing::Click;
using quillet::testing::ModalDialogs;
using quillet::testing::ScriptedPlatform;

class AboutBoxTest : public QObject {
    Q_OBJECT

    QString Label(const frmAbout& box, const char* name) { return ChildOf<QLabel>(box, QString::fromLatin1(name))->text(); }

private slots:
    void showsTitleVersionAndDescription() {
        ScriptedPlatform platform;
        frmAbout box(platform);
        box.show();
        QCOMPARE(box.windowTitle(), QStringLiteral("About Quillet"));
        QCOMPARE(Label(box, "lblTitle"), QStringLiteral("Quillet"));
        QCOMPARE(Label(box, "lblVersion"), QStringLiteral("Version 1.0.1"));
        QCOMPARE(Label(box, "lblDescription"),
                 QStringLiteral("With this DBF app you can view and convert the contents of a DBF file to a wide range of formats !"));
        QVERIFY(!ChildOf<QLabel>(box, QStringLiteral("Image1"))->pixmap().isNull());
        QCOMPARE(ChildOf<QPushButton>(box, QStringLiteral("cmdOK"))->text(), QStringLiteral("OK"));
        QCOMPARE(ChildOf<QPushButton>(box, QStringLiteral("cmdSysInfo"))->text(), QStringLiteral("&System Info..."));
        QVERIFY(ChildOf<QWidget>(box, QStringLiteral("Line1_0"))->isVisible());
        QVERIFY(ChildOf<QWidget>(box, QStringLiteral("Line1_1"))->isVisible());
    }

    void okEnterAndEscapeClose() {
        ScriptedPlatform platform;
        for (const int key : {0, int(Qt::Key_Return), int(Qt::Key_Escape)}) {
            frmAbout box(platform);
            box.show();
            if (key == 0) {
                Click(box, "cmdOK");
            } else {
                QTest::keyClick(&box, Qt::Key(key));
            }
            QVERIFY(!box.isVisible());
        }
        QVERIFY(platform.Messages.isEmpty());
    }

    void systemInfoStartsTheFirstInstalledProgram() {
        ScriptedPlatform platform;
        frmAbout box(platform);
        platform.InstalledPrograms[QStringLiteral("cpu-x")] = QStringLiteral("/usr/bin/cpu-x");
        platform.InstalledPrograms[QStringLiteral("kinfocenter")] = QStringLiteral("/usr/bin/kinfocenter");
        Click(box, "cmdSysInfo");
        QCOMPARE(platform.ProgramsStarted.size(), 1);
        QCOMPARE(platform.ProgramsStarted[0].Program, QStringLiteral("/usr/bin/kinfocenter"));
        QVERIFY(platform.ProgramsStarted[0].Arguments.isEmpty());
        QVERIFY(platform.Messages.isEmpty());
    }

    void systemInfoSaysWhenNoneIsInstalledOrNoneStarts() {
        const QString unavailable = QStringLiteral("System Information Is Unavailable At This Time");
        ScriptedPlatform none;
        frmAbout box(none);
        box.StartSysInfo();
        QCOMPARE(none.ProgramsLookedUp, QStringList({"hardinfo2", "hardinfo", "kinfocenter", "cpu-x"}));
        QVERIFY(none.ProgramsStarted.isEmpty());
        QCOMPARE(none.Messages.size(), 1);
        QCOMPARE(none.Messages[0].Caption, QStringLiteral("Quillet"));
        QCOMPARE(none.Messages[0].Text, unavailable);
        QCOMPARE(none.Messages[0].Icon, MessageIcon::None);

        ScriptedPlatform broken;
        broken.InstalledPrograms[QStringLiteral("hardinfo")] = QStringLiteral("/usr/bin/hardinfo");
        broken.ProgramsStart = false;
        frmAbout failing(broken);
        failing.StartSysInfo();
        QCOMPARE(broken.ProgramsStarted.size(), 1);
        QCOMPARE(broken.Messages.size(), 1);
        QCOMPARE(broken.Messages[0].Text, unavailable);
    }

    void theAboutButtonShowsTheBoxModally() {
        ScriptedPlatform platform;
        quillet::frmMain window(platform);
        window.show();
        ModalDialogs dialogs;
        for (int showing = 0; showing < 2; ++showing) {
            dialogs.Answer(QStringLiteral("frmAbout"), [](QDialog& box) {
                QVERIFY(box.isModal());
                QCOMPARE(box.windowTitle(), QStringLiteral("About Quillet"));
                Click(box, "cmdOK");
            });
            Click(window, "Command5");
            // Closed is gone: every showing is a new box.
            QVERIFY(window.findChildren<QDialog*>().isEmpty());
        }
        QCOMPARE(dialogs.Shown.size(), 2);
        QVERIFY(dialogs.Unexpected.isEmpty());
    }
};

QUILLET_UI_TEST(AboutBoxTest);

#include "about_box_test.moc"
