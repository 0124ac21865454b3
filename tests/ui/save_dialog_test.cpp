#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "support/files.h"
#include "support/modal_dialogs.h"
#include "support/scripted_platform.h"
#include "support/test_registry.h"
#include "ui/folder_list.h"
#include "ui/frm_save.h"

using quillet::ExportSettings;
using quillet::FolderList;
using quillet::frmSave;
using quillet::MessageIcon;
using quillet::testing::ChildOf;
using quillet::testing::Click;
using quillet::testing::ScriptedPlatform;
using quillet::testing::TempDir;

class SaveDialogTest : public QObject {
    Q_OBJECT

    // Two volumes: "disk" holding the current folder disk/work (with sub and .hidden in it),
    // and "stick"; a third, "cdrom", holds no medium.
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<ScriptedPlatform> platform;
    ExportSettings settings;
    QLineEdit saveBox;
    QString disk, stick, cdrom, work;

    QString Make(const std::string& relative) {
        std::filesystem::create_directories(dir->Path() / relative);
        return QString::fromStdString((dir->Path() / relative).string());
    }
    static FolderList& Dir(const frmSave& dialog) { return *ChildOf<FolderList>(dialog, QStringLiteral("Dir1")); }
    static QComboBox& Drive(const frmSave& dialog) { return *ChildOf<QComboBox>(dialog, QStringLiteral("Drive1")); }
    static QTreeWidgetItem* Entry(const frmSave& dialog, const QString& name) {
        const QList<QTreeWidgetItem*> found = Dir(dialog).findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        return found.size() == 1 ? found[0] : nullptr;
    }
    static QStringList Subfolders(const frmSave& dialog) {
        QStringList names;
        const QList<QTreeWidgetItem*> open = Dir(dialog).findItems(Dir(dialog).Path().section('/', -1), Qt::MatchExactly | Qt::MatchRecursive);
        for (int i = 0; i < open.last()->childCount(); ++i) names << open.last()->child(i)->text(0);
        return names;
    }
    // What the tree reports of a double-click; QTest's synthesized double-click does not reach item views here.
    static void DoubleClick(frmSave& dialog, const QString& name) {
        QTreeWidgetItem* entry = Entry(dialog, name);
        QVERIFY2(entry != nullptr, qPrintable(name));
        emit Dir(dialog).itemDoubleClicked(entry, 0);
    }
    static void ChooseDrive(frmSave& dialog, int index) {
        Drive(dialog).setCurrentIndex(index);
        dialog.Drive1_Change();
    }

private slots:
    void init() {
        dir = std::make_unique<TempDir>();
        platform = std::make_unique<ScriptedPlatform>();
        disk = Make("disk");
        work = Make("disk/work");
        Make("disk/work/sub/deeper");
        Make("disk/work/Beta");
        Make("disk/work/.hidden");
        std::ofstream(dir->Path() / "disk/work/file.txt") << "not a folder";
        stick = Make("stick");
        Make("stick/photos");
        cdrom = Make("cdrom");
        platform->Volumes = {{stick, QStringLiteral("STICK"), true}, {disk, disk, true}, {cdrom, cdrom, false}};
        platform->UnreadableFolders[cdrom] = QStringLiteral("No medium found");
        platform->Current = work;
        settings = {};
        settings.SaveFolder = "/earlier";
        saveBox.clear();
    }
    void cleanup() { QVERIFY2(platform->Unexpected.isEmpty(), qPrintable(platform->Unexpected.join(", "))); }

    void opensAtTheCurrentFolderAndOkTakesIt() {
        frmSave dialog(*platform, settings, saveBox);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Save Location"));
        // The drives in order of their roots, the current one chosen; a label shows beside its root.
        QCOMPARE(Drive(dialog).count(), 3);
        QCOMPARE(Drive(dialog).itemText(0), cdrom);
        QCOMPARE(Drive(dialog).itemText(2), stick + QStringLiteral("  [STICK]"));
        QCOMPARE(Drive(dialog).currentIndex(), 1);
        QCOMPARE(Dir(dialog).Path(), work);
        QCOMPARE(Subfolders(dialog), QStringList({"Beta", "sub"}));
        // The ancestors stand above the open folder, from the root down.
        QTreeWidgetItem* open = Entry(dialog, QStringLiteral("work"));
        QCOMPARE(open->parent()->text(0), QStringLiteral("disk"));
        QCOMPARE(Dir(dialog).topLevelItem(0)->text(0), QStringLiteral("/"));
        QCOMPARE(Dir(dialog).currentItem(), open);

        Click(dialog, "OKButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(settings.SaveFolder), work);
        QCOMPARE(saveBox.text(), work);
    }

    void doubleClickOpensAFolderAndASingleClickOnlyHighlightsIt() {
        frmSave dialog(*platform, settings, saveBox);
        dialog.show();
        DoubleClick(dialog, QStringLiteral("sub"));
        QCOMPARE(Dir(dialog).Path(), work + QStringLiteral("/sub"));
        QCOMPARE(Subfolders(dialog), QStringList({"deeper"}));
        // Up again by an ancestor.
        DoubleClick(dialog, QStringLiteral("work"));
        QCOMPARE(Dir(dialog).Path(), work);

        FolderList& list = Dir(dialog);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(Entry(dialog, QStringLiteral("Beta"))).center());
        QCOMPARE(list.currentItem()->text(0), QStringLiteral("Beta"));
        QCOMPARE(list.Path(), work);
        Click(dialog, "OKButton");
        QCOMPARE(QString::fromStdString(settings.SaveFolder), work);
    }

    void cancelForgetsTheFolderAndTheCloseBoxKeepsIt() {
        {
            frmSave dialog(*platform, settings, saveBox);
            dialog.show();
            DoubleClick(dialog, QStringLiteral("sub"));
            dialog.close();
            QCOMPARE(settings.SaveFolder, std::string("/earlier"));
            QCOMPARE(saveBox.text(), QStringLiteral("/earlier"));
        }
        {
            frmSave dialog(*platform, settings, saveBox);
            dialog.show();
            // A new showing starts at the current folder again, not at the folder chosen last.
            QCOMPARE(Dir(dialog).Path(), work);
            ChooseDrive(dialog, 2);
            Click(dialog, "CancelButton");
            QVERIFY(settings.SaveFolder.empty());
            QVERIFY(saveBox.text().isEmpty());
        }
    }

    void anotherDriveOpensAtItsRoot() {
        frmSave dialog(*platform, settings, saveBox);
        dialog.show();
        ChooseDrive(dialog, 2);
        QCOMPARE(Dir(dialog).Path(), stick);
        QCOMPARE(Subfolders(dialog), QStringList({"photos"}));
        // Back on the drive of the current folder, the list opens at the current folder.
        ChooseDrive(dialog, 1);
        QCOMPARE(Dir(dialog).Path(), work);
        // Opening a folder on another drive moves the drive list along.
        DoubleClick(dialog, QStringLiteral("/"));
        QCOMPARE(Dir(dialog).Path(), QStringLiteral("/"));
        QCOMPARE(Drive(dialog).currentIndex(), -1);
        Click(dialog, "OKButton");
        QCOMPARE(settings.SaveFolder, std::string("/"));
    }

    void aDriveWithoutMediumSaysSoAndBothListsGoBack() {
        frmSave dialog(*platform, settings, saveBox);
        dialog.show();
        DoubleClick(dialog, QStringLiteral("sub"));
        QCOMPARE(Dir(dialog).Path(), work + QStringLiteral("/sub"));
        // The user picks the drive in the list as a user does, with the keyboard.
        Drive(dialog).setFocus();
        Drive(dialog).setCurrentIndex(1);
        QTest::keyClick(&Drive(dialog), Qt::Key_Up);
        QCOMPARE(platform->Messages.size(), 1);
        QCOMPARE(platform->Messages[0].Caption, QStringLiteral("Error"));
        QCOMPARE(platform->Messages[0].Icon, MessageIcon::Critical);
        QCOMPARE(platform->Messages[0].Text, QStringLiteral("Cannot read \"%1\": No medium found").arg(cdrom));
        QCOMPARE(Drive(dialog).currentIndex(), 1);
        QCOMPARE(Dir(dialog).Path(), work);
        Click(dialog, "OKButton");
        QCOMPARE(QString::fromStdString(settings.SaveFolder), work);
    }

    void aFolderThatCannotBeReadIsNotOpened() {
        platform->UnreadableFolders[work + QStringLiteral("/sub")] = QStringLiteral("Permission denied");
        frmSave dialog(*platform, settings, saveBox);
        dialog.show();
        DoubleClick(dialog, QStringLiteral("sub"));
        QCOMPARE(Dir(dialog).Path(), work);
        QCOMPARE(platform->Messages.size(), 1);
        QCOMPARE(platform->Messages[0].Caption, QStringLiteral("Error"));
        QVERIFY(platform->Messages[0].Text.contains(QStringLiteral("Permission denied")));
        QVERIFY(platform->Messages[0].Text.contains(work + QStringLiteral("/sub")));
    }
};

QUILLET_UI_TEST(SaveDialogTest);

#include "save_dialog_test.moc"
