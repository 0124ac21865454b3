#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "support/modal_dialogs.h"
#include "support/opened_table.h"
#include "support/scripted_platform.h"
#include "support/test_registry.h"
#include "ui/frm_columns.h"
#include "ui/frm_main.h"

using quillet::frmColumns;
using quillet::OpenTable;
using quillet::testing::ChildOf;
using quillet::testing::Click;
using quillet::testing::ModalDialogs;
using quillet::testing::OpenBuilt;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

TableBuilder FiveFields() {
    TableBuilder t;
    t.Field("ID", 'N', 4).Field("NAME", 'C', 10).Field("CITY", 'C', 10).Field("PAID", 'L', 1).Field("NOTE", 'C', 5);
    t.Record({"1", "Ann", "Oslo", "T", "x"});
    return t;
}

QListWidget& List(const frmColumns& dialog) { return *ChildOf<QListWidget>(dialog, QStringLiteral("List1")); }

QStringList Entries(const frmColumns& dialog) {
    QStringList entries;
    for (int i = 0; i < List(dialog).count(); ++i) entries << List(dialog).item(i)->text();
    return entries;
}

// The check marks as a string, "1" for checked: easy to read in a failure.
QString Marks(const frmColumns& dialog) {
    QString marks;
    for (int i = 0; i < List(dialog).count(); ++i) marks += List(dialog).item(i)->checkState() == Qt::Checked ? '1' : '0';
    return marks;
}

void SetMark(frmColumns& dialog, int entry, bool checked) {
    List(dialog).item(entry)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

using Flags = std::vector<std::uint8_t>;

}  // namespace

class ColumnsDialogTest : public QObject {
    Q_OBJECT

    TempDir dir;

private slots:
    void showsEveryListedFieldCheckedAndStoresOnOk() {
        OpenTable table = OpenBuilt(FiveFields(), dir);
        frmColumns dialog(table);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Columns"));
        QCOMPARE(Entries(dialog), QStringList({"ID", "NAME", "CITY", "PAID", "NOTE"}));
        QCOMPARE(Marks(dialog), QStringLiteral("11111"));
        QCOMPARE(List(dialog).currentRow(), 0);
        QCOMPARE(ChildOf<QPushButton>(dialog, QStringLiteral("Command1_1"))->text(), QStringLiteral("Select all"));
        QCOMPARE(ChildOf<QPushButton>(dialog, QStringLiteral("Command1_0"))->text(), QStringLiteral("Deselect all"));
        QCOMPARE(ChildOf<QPushButton>(dialog, QStringLiteral("OKButton"))->text(), QStringLiteral("OK"));
        QCOMPARE(ChildOf<QPushButton>(dialog, QStringLiteral("CancelButton"))->text(), QStringLiteral("Cancel"));

        // A click on an entry's box clears it, as the user does it.
        QListWidget& list = List(dialog);
        const QRect row = list.visualItemRect(list.item(1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(row.left() + row.height() / 2, row.center().y()));
        QCOMPARE(Marks(dialog), QStringLiteral("10111"));
        SetMark(dialog, 3, false);
        Click(dialog, "OKButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(table.ColumnSelected, Flags({1, 0, 1, 0, 1}));

        // The next showing shows exactly the stored marks.
        frmColumns again(table);
        QCOMPARE(Marks(again), QStringLiteral("10101"));
    }

    void cancelAndTheCloseBoxStoreNothing() {
        OpenTable table = OpenBuilt(FiveFields(), dir);
        table.ColumnSelected = {1, 1, 0, 1, 1};
        for (const bool closeBox : {false, true}) {
            frmColumns dialog(table);
            dialog.show();
            QCOMPARE(Marks(dialog), QStringLiteral("11011"));
            SetMark(dialog, 0, false);
            SetMark(dialog, 2, true);
            if (closeBox) {
                dialog.close();
            } else {
                Click(dialog, "CancelButton");
            }
            QVERIFY(!dialog.isVisible());
            QCOMPARE(table.ColumnSelected, Flags({1, 1, 0, 1, 1}));
        }
    }

    void selectAllAndDeselectAllChangeOnlyTheMarks() {
        OpenTable table = OpenBuilt(FiveFields(), dir);
        table.ColumnSelected = {0, 1, 0, 1, 0};
        frmColumns dialog(table);
        dialog.show();
        Click(dialog, "Command1_1");
        QCOMPARE(Marks(dialog), QStringLiteral("11111"));
        QCOMPARE(table.ColumnSelected, Flags({0, 1, 0, 1, 0}));
        List(dialog).setCurrentRow(3);
        Click(dialog, "Command1_0");
        QCOMPARE(Marks(dialog), QStringLiteral("00000"));
        QCOMPARE(List(dialog).currentRow(), 0);
        QCOMPARE(table.ColumnSelected, Flags({0, 1, 0, 1, 0}));
        // Every entry cleared is stored as it is: the dialog refuses nothing.
        Click(dialog, "OKButton");
        QCOMPARE(table.ColumnSelected, Flags({0, 0, 0, 0, 0}));
    }

    void anEmptyNameEndsTheList() {
        TableBuilder t;
        t.Field("FIRST", 'C', 3).Field("SECOND", 'C', 3).Field(std::string(11, '\0'), 'C', 3).Field("FOURTH", 'C', 3);
        t.Record({"a", "b", "c", "d"});
        OpenTable table = OpenBuilt(t, dir);
        QCOMPARE(table.FieldCount, 4);
        frmColumns dialog(table);
        QCOMPARE(Entries(dialog), QStringList({"FIRST", "SECOND"}));
        Click(dialog, "Command1_0");
        Click(dialog, "OKButton");
        QCOMPARE(table.ColumnSelected, Flags({0, 0}));
    }

    void aChoiceNeverMadeIsMadeOnOpening() {
        OpenTable table = OpenBuilt(FiveFields(), dir);
        table.ColumnSelected.clear();
        frmColumns dialog(table);
        QCOMPARE(Marks(dialog), QStringLiteral("11111"));
        QCOMPARE(table.ColumnSelected, Flags(5, 1));
        Click(dialog, "CancelButton");
        QCOMPARE(table.ColumnSelected, Flags(5, 1));
    }

    void withoutATableTheListIsEmptyAndOkStoresNothing() {
        OpenTable none;
        frmColumns dialog(none);
        dialog.show();
        QCOMPARE(List(dialog).count(), 0);
        Click(dialog, "Command1_1");
        Click(dialog, "OKButton");
        QVERIFY(none.ColumnSelected.empty());
    }

    // From the main window: a file was chosen but never read, then a table that was read.
    void theColumnsButtonShowsTheDialogOnceAFileWasChosen() {
        quillet::testing::ScriptedPlatform platform;
        quillet::frmMain window(platform);
        window.show();
        ModalDialogs dialogs;
        const auto open = [&](const QString& path) {
            platform.AnswerFileDialog(path);
            QSignalSpy finished(&window, &quillet::frmMain::OpenFinished);
            window.Command1_Click();
            return finished.wait(10000);
        };
        window.Command3_Click();
        QVERIFY(dialogs.Shown.isEmpty());

        TableBuilder(FiveFields()).Version(0x05).WriteTo(dir / "other.dbf");
        QVERIFY(open(QString::fromStdString((dir / "other.dbf").string())));
        dialogs.Answer(QStringLiteral("frmColumns"), [](QDialog& dialog) {
            QVERIFY(dialog.isModal());
            QCOMPARE(List(static_cast<frmColumns&>(dialog)).count(), 0);
            Click(dialog, "OKButton");
        });
        window.Command3_Click();

        FiveFields().WriteTo(dir / "five.dbf");
        QVERIFY(open(QString::fromStdString((dir / "five.dbf").string())));
        dialogs.Answer(QStringLiteral("frmColumns"), [](QDialog& dialog) {
            SetMark(static_cast<frmColumns&>(dialog), 4, false);
            Click(dialog, "OKButton");
        });
        Click(window, "Command3");
        QCOMPARE(window.Table().ColumnSelected, Flags({1, 1, 1, 1, 0}));
        QVERIFY(window.findChildren<QDialog*>().isEmpty());

        // Another table, or the same one again, starts with every column selected.
        QVERIFY(open(QString::fromStdString((dir / "five.dbf").string())));
        dialogs.Answer(QStringLiteral("frmColumns"), [](QDialog& dialog) {
            QCOMPARE(Marks(static_cast<frmColumns&>(dialog)), QStringLiteral("11111"));
            dialog.close();
        });
        window.Command3_Click();
        QCOMPARE(dialogs.Shown.size(), 3);
        QVERIFY(dialogs.AllAnswered());
        QVERIFY2(dialogs.Unexpected.isEmpty(), qPrintable(dialogs.Unexpected.join(", ")));
    }
};

QUILLET_UI_TEST(ColumnsDialogTest);

#include "columns_dialog_test.moc"
