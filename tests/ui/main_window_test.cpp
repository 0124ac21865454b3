#include <QAbstractItemModel>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "support/modal_dialogs.h"
#include "support/scripted_platform.h"
#include "support/table_builder.h"
#include "support/test_registry.h"
#include "ui/frm_main.h"
#include "table/table_info.h"
#include "ui/table_list_model.h"
#include "ui/twips.h"

using quillet::frmMain;
using quillet::MessageIcon;
using quillet::TableListModel;
using quillet::testing::ChildOf;
using quillet::testing::Click;
using quillet::testing::ScriptedPlatform;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

const QString kSamples = QStringLiteral(QUILLET_SAMPLES_DIR);

QString Path(const TempDir& dir, const std::string& name) { return QString::fromStdString((dir / name).string()); }

// A table of three fields and two records, the second deleted.
TableBuilder SmallTable() {
    TableBuilder t;
    t.Date(105, 1, 31).Field("NAME", 'C', 8).Field("AMOUNT", 'N', 8, 2).Field("PAID", 'L', 1);
    t.Record({"Alice", "12.50", "T"}).Deleted({"Bob", "-3", "F"});
    return t;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<TempDir> dir;

    template <typename T>
    T* Child(const QString& name) const {
        return ChildOf<T>(*window, name);
    }
    QAbstractItemModel* List() const { return Child<QTableView>(QStringLiteral("LV2"))->model(); }
    QString Info() const { return Child<QPlainTextEdit>(QStringLiteral("Text1"))->toPlainText(); }
    QString Source() const { return Child<QLineEdit>(QStringLiteral("Text2"))->text(); }
    QString SaveBox() const { return Child<QLineEdit>(QStringLiteral("Text3"))->text(); }
    QStringList Titles() const {
        QStringList titles;
        for (int c = 0; c < List()->columnCount(); ++c) titles << List()->headerData(c, Qt::Horizontal).toString();
        return titles;
    }
    QString Cell(int row, int column) const { return List()->index(row, column).data().toString(); }
    QImage RowImage(int row) const {
        return qvariant_cast<QPixmap>(List()->index(row, 0).data(Qt::DecorationRole)).toImage();
    }

    // Presses "Open" with the dialog answering path, and waits until the window has shown the outcome.
    bool Open(const QString& path) {
        platform->AnswerFileDialog(path);
        QSignalSpy finished(window.get(), &frmMain::OpenFinished);
        Click(*window, "Command1");
        // The read runs with the window disabled and the progress bar in the list's place.
        if (window->isEnabled() || Child<QTableView>(QStringLiteral("LV2"))->isVisible() ||
            !Child<QProgressBar>(QStringLiteral("pb"))->isVisible()) {
            return false;
        }
        return finished.wait(30000) && window->isEnabled();
    }

    // Everything a rejected file or a cancelled dialog must leave as it was.
    struct Shown {
        QString Info, Source, SaveBox, BaseName, SourcePath;
        QStringList Titles;
        int Rows;
        std::vector<std::uint8_t> Selected;
        bool operator==(const Shown&) const = default;
    };
    Shown Now() const {
        return {Info(), Source(), SaveBox(), QString::fromStdString(window->Table().TableBaseName),
                QString::fromStdString(window->Table().SourcePath), Titles(), List()->rowCount(), window->Table().ColumnSelected};
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        platform = std::make_unique<ScriptedPlatform>();
        dir = std::make_unique<TempDir>();
        window = std::make_unique<frmMain>(*platform);
        window->show();
    }
    void cleanup() {
        window.reset();
        QVERIFY2(platform->Unexpected.isEmpty(), qPrintable(platform->Unexpected.join(", ")));
    }

    void startUpShowsEveryControlAtItsPlace() {
        struct Control {
            const char* Name;
            int Left, Top, Width, Height;
            const char* Parent;
        };
        const Control controls[] = {
            {"Shape1", 30, 45, 4260, 420, "frmMain"},         {"Label1", 15, 150, 630, 285, "frmMain"},
            {"Text2", 660, 120, 2685, 285, "frmMain"},        {"Command1", 3345, 120, 870, 285, "frmMain"},
            {"Shape2", 4305, 45, 4740, 420, "frmMain"},       {"Label2", 4290, 150, 630, 285, "frmMain"},
            {"Text3", 4935, 120, 3045, 285, "frmMain"},       {"Command2", 8040, 120, 870, 285, "frmMain"},
            {"Text1", 30, 495, 1905, 1335, "frmMain"},        {"Picture1_0", 2010, 495, 1590, 1320, "frmMain"},
            {"Option1_0", 180, 75, 1215, 255, "Picture1_0"},  {"Option1_2", 180, 345, 1215, 255, "Picture1_0"},
            {"Option1_1", 180, 615, 1215, 255, "Picture1_0"}, {"Command3", 165, 930, 1215, 285, "Picture1_0"},
            {"Picture1_1", 3585, 495, 5460, 1320, "frmMain"}, {"Option2_0", 330, 165, 1215, 225, "Picture1_1"},
            {"Option2_1", 330, 420, 1215, 225, "Picture1_1"}, {"Option2_2", 330, 675, 1215, 225, "Picture1_1"},
            {"Option2_3", 330, 915, 1215, 225, "Picture1_1"}, {"Option2_4", 1845, 150, 1215, 225, "Picture1_1"},
            {"Option2_5", 1830, 435, 1215, 225, "Picture1_1"}, {"Option2_6", 1845, 705, 1215, 225, "Picture1_1"},
            {"Command4", 3405, 240, 1215, 495, "Picture1_1"}, {"Check1", 6510, 1455, 2280, 270, "frmMain"},
            {"LV2", 30, 1860, 9015, 6570, "frmMain"},         {"pb", 315, 3930, 8100, 225, "frmMain"},
            {"Command5", 3540, 8535, 1215, 315, "frmMain"},
        };
        const int dpi = window->logicalDpiY();
        const auto px = [dpi](int twips) { return quillet::TwipsToPixels(twips, dpi); };
        for (const Control& c : controls) {
            QWidget* widget = Child<QWidget>(QString::fromLatin1(c.Name));
            QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(c.Parent));
            QCOMPARE(widget->geometry(), QRect(px(c.Left), px(c.Top), px(c.Width), px(c.Height)));
        }
        QCOMPARE(window->windowTitle(), QStringLiteral("Quillet"));
        QCOMPARE(window->size(), QSize(px(9135), px(8970)));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!window->windowIcon().isNull());

        const std::pair<const char*, const char*> captions[] = {
            {"Command1", "Open"},     {"Command2", "Browse"},   {"Command3", "Columns"},   {"Command4", "Save"},
            {"Command5", "About"},    {"Option1_0", "All records"}, {"Option1_1", "Only deleted"},
            {"Option1_2", "Skip deleted"}, {"Option2_0", "Text file"}, {"Option2_1", "CSV file"},
            {"Option2_2", "HTML file"}, {"Option2_3", "RTF file"},  {"Option2_4", "XML file"},
            {"Option2_5", "Excel file"}, {"Option2_6", "SQL file"}, {"Check1", "Open folder when done"},
        };
        for (const auto& [name, caption] : captions) {
            QCOMPARE(Child<QAbstractButton>(QString::fromLatin1(name))->text(), QString::fromLatin1(caption));
        }
        QCOMPARE(Child<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("Source:"));
        QCOMPARE(Child<QLabel>(QStringLiteral("Label2"))->text(), QStringLiteral("Save:"));
    }

    void tabOrderFollowsTheLayoutTable() {
        QStringList order;
        QWidget* widget = Child<QWidget>(QStringLiteral("Command1"));
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) && !widget->objectName().isEmpty()) order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget->objectName() != QStringLiteral("Command1"));
        QCOMPARE(order, QStringList({"Command1", "Text1", "LV2", "Text2", "Text3", "Command2", "Command3", "Option1_2",
                                     "Option1_1", "Option1_0", "Option2_6", "Option2_5", "Option2_4", "Option2_3",
                                     "Option2_2", "Option2_1", "Option2_0", "Command4", "Command5", "Check1"}));
    }

    void startUpStateAndDefaults() {
        QVERIFY(Info().isEmpty());
        QVERIFY(Source().isEmpty());
        QVERIFY(SaveBox().isEmpty());
        QCOMPARE(List()->rowCount(), 0);
        QCOMPARE(List()->columnCount(), 0);
        QVERIFY(Child<QTableView>(QStringLiteral("LV2"))->showGrid());
        QVERIFY(Child<QTableView>(QStringLiteral("LV2"))->isVisible());
        QVERIFY(!Child<QProgressBar>(QStringLiteral("pb"))->isVisible());
        QVERIFY(Child<QRadioButton>(QStringLiteral("Option1_0"))->isChecked());
        QVERIFY(Child<QRadioButton>(QStringLiteral("Option2_1"))->isChecked());
        QVERIFY(Child<QCheckBox>(QStringLiteral("Check1"))->isChecked());
        QCOMPARE(window->ChosenRecordFilter(), quillet::RecordFilter::AllRecords);
        QCOMPARE(window->Settings().OutputFormat, quillet::OutputFormat::CSV);
        QCOMPARE(std::string(ExtensionOf(window->Settings().OutputFormat)), std::string(".csv"));
        QVERIFY(window->Settings().OptionsAccepted);
        QVERIFY(!window->TableLoaded());

        // Exactly one record filter at a time, within its panel only.
        Click(*window, "Option1_1");
        QCOMPARE(window->ChosenRecordFilter(), quillet::RecordFilter::OnlyDeleted);
        QVERIFY(!Child<QRadioButton>(QStringLiteral("Option1_0"))->isChecked());
        QVERIFY(Child<QRadioButton>(QStringLiteral("Option2_1"))->isChecked());

        // "Save" finds no table; "Columns" does nothing before a file was chosen.
        Click(*window, "Command4");
        Click(*window, "Command3");
        QCOMPARE(platform->Messages.size(), 1);
        QCOMPARE(platform->Messages[0].Caption, QStringLiteral("Quillet"));
        QCOMPARE(platform->Messages[0].Text, QStringLiteral("Need to open a file first!"));
        QCOMPARE(platform->Messages[0].Icon, MessageIcon::Critical);
    }

    void openingASampleShowsItsFactsAndRecords() {
        window->SetOpenFolder(kSamples);
        const QString path = kSamples + QStringLiteral("/customers.dbf");
        QVERIFY(Open(path));
        QCOMPARE(platform->FileRequests.size(), 1);
        QCOMPARE(platform->FileRequests[0].Filter, QStringLiteral("DBF Files (*.dbf)"));
        QCOMPARE(platform->FileRequests[0].StartFolder, kSamples);
        QVERIFY(platform->Messages.isEmpty());

        QCOMPARE(Source(), path);
        QCOMPARE(QString::fromStdString(quillet::InformationText(window->Table())),
                 QStringLiteral("File name: ") + path +
                     QStringLiteral("\r\nVersion: FoxBASE+/Dbase III plus, no memo\r\nTotal records: 7\r\nLast Update: 1/5/2024\r\n"));
        QCOMPARE(Info(), QStringLiteral("File name: ") + path +
                             QStringLiteral("\nVersion: FoxBASE+/Dbase III plus, no memo\nTotal records: 7\nLast Update: 1/5/2024\n"));
        QCOMPARE(Titles(), QStringList({"Deleted", "NAME", "CITY", "BALANCE", "JOINED", "ACTIVE"}));
        QCOMPARE(List()->rowCount(), 7);
        QCOMPARE(Cell(0, 1), QStringLiteral("Ana Müller              "));
        QCOMPARE(Cell(0, 2), QStringLiteral("Zürich          "));
        QCOMPARE(Cell(0, 3), QStringLiteral("1250.5"));
        QCOMPARE(Cell(0, 4), QStringLiteral("20190314"));
        QCOMPARE(Cell(0, 5), QStringLiteral("True"));
        QVERIFY(Cell(2, 0).isEmpty());
        QCOMPARE(RowImage(2), TableListModel::DeletedImage().toImage());
        QCOMPARE(RowImage(0), TableListModel::LiveImage().toImage());
        QVERIFY(TableListModel::DeletedImage().toImage() != TableListModel::LiveImage().toImage());
        QCOMPARE(TableListModel::DeletedImage().size(), QSize(16, 16));

        QVERIFY(window->TableLoaded());
        QCOMPARE(window->Table().TableBaseName, std::string("customers"));
        QCOMPARE(QString::fromStdString(window->Table().SourcePath), path);
        QCOMPARE(window->Table().ColumnCount, 5);
        QCOMPARE(window->Table().ColumnSelected, std::vector<std::uint8_t>(5, 1));
        QVERIFY(Child<QTableView>(QStringLiteral("LV2"))->isVisible());
        QVERIFY(!Child<QProgressBar>(QStringLiteral("pb"))->isVisible());

        // The next dialog starts where the last table came from.
        QVERIFY(Open(kSamples + QStringLiteral("/empty.dbf")));
        QCOMPARE(platform->FileRequests[1].StartFolder, kSamples);
    }

    void smallTablesShowTheirExactRows() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        window = std::make_unique<frmMain>(*platform);
        window->show();

        SmallTable().WriteTo(*dir / "small.dbf");
        QVERIFY(Open(Path(*dir, "small.dbf")));
        QCOMPARE(Titles(), QStringList({"Deleted", "NAME", "AMOUNT", "PAID"}));
        QCOMPARE(List()->rowCount(), 2);
        QCOMPARE(RowImage(0), TableListModel::LiveImage().toImage());
        QCOMPARE(RowImage(1), TableListModel::DeletedImage().toImage());
        QCOMPARE(Cell(0, 2), QStringLiteral("12,5"));
        QCOMPARE(Cell(1, 2), QStringLiteral("-3"));
        QCOMPARE(Cell(1, 3), QStringLiteral("False"));
        QVERIFY(Info().endsWith(QStringLiteral("\nTotal records: 2\nLast Update: 31/1/2005\n")));

        TableBuilder empty;
        empty.Field("ID", 'N', 6).Field("LABEL", 'C', 20);
        empty.WriteTo(*dir / "empty.dbf");
        QVERIFY(Open(Path(*dir, "empty.dbf")));
        QCOMPARE(Titles(), QStringList({"Deleted", "ID", "LABEL"}));
        QCOMPARE(List()->rowCount(), 0);
        QVERIFY(Info().contains(QStringLiteral("\nTotal records: 0\n")));
    }

    void onlyTheLeadingNamedFieldsBecomeColumns() {
        TableBuilder padded;
        padded.Version(0x30).Field("CODE", 'C', 4).Field("QTY", 'N', 3).HeaderTail(263).Record({"A1", "7"});
        padded.WriteTo(*dir / "padded.dbf");
        QVERIFY(Open(Path(*dir, "padded.dbf")));
        QCOMPARE(window->Table().FieldCount, 10);
        QCOMPARE(window->Table().ColumnCount, 2);
        QCOMPARE(Titles(), QStringList({"Deleted", "CODE", "QTY"}));
        QCOMPARE(window->Table().ColumnSelected.size(), std::size_t(2));

        TableBuilder gap;
        gap.Field("FIRST", 'C', 3).Field(std::string(11, ' '), 'C', 3).Field("THIRD", 'C', 3).Record({"a", "b", "c"});
        gap.WriteTo(*dir / "gap.dbf");
        QVERIFY(Open(Path(*dir, "gap.dbf")));
        QCOMPARE(Titles(), QStringList({"Deleted", "FIRST"}));
    }

    void cancellingTheDialogKeepsEverything() {
        platform->CancelFileDialog();
        Click(*window, "Command1");
        QVERIFY(window->isEnabled());
        QVERIFY(!window->TableLoaded());
        QCOMPARE(List()->columnCount(), 0);

        SmallTable().WriteTo(*dir / "small.dbf");
        QVERIFY(Open(Path(*dir, "small.dbf")));
        const Shown before = Now();
        platform->CancelFileDialog();
        QSignalSpy finished(window.get(), &frmMain::OpenFinished);
        Click(*window, "Command1");
        QVERIFY(window->isEnabled());
        QVERIFY(Now() == before);
        QCOMPARE(finished.size(), 0);
        QVERIFY(platform->Messages.isEmpty());
    }

    void aRejectedFileKeepsThePreviousTable() {
        SmallTable().WriteTo(*dir / "small.dbf");
        QVERIFY(Open(Path(*dir, "small.dbf")));
        Child<QLineEdit>(QStringLiteral("Text3"))->setText(QStringLiteral("/out/small.csv"));
        window->Settings().SaveFolder = "/out";
        const Shown before = Now();

        SmallTable().Version(0x04).WriteTo(*dir / "other.dbf");
        QVERIFY(Open(Path(*dir, "other.dbf")));
        QVERIFY(Now() == before);
        QCOMPARE(platform->Messages.size(), 1);
        QCOMPARE(platform->Messages[0].Caption, QStringLiteral("Quillet"));
        QCOMPARE(platform->Messages[0].Text, QStringLiteral("This is not a dBASE III file & \x04"));
        QCOMPARE(platform->Messages[0].Icon, MessageIcon::None);

        QVERIFY(Open(Path(*dir, "missing.dbf")));
        QVERIFY(Now() == before);
        QCOMPARE(platform->Messages[1].Icon, MessageIcon::Critical);
        QVERIFY(platform->Messages[1].Text.contains(Path(*dir, "missing.dbf")));

        SmallTable().HeaderLength(40).WriteTo(*dir / "damaged.dbf");
        QVERIFY(Open(Path(*dir, "damaged.dbf")));
        QVERIFY(Now() == before);
        QCOMPARE(platform->Messages[2].Icon, MessageIcon::Critical);
        QVERIFY(platform->Messages[2].Text.contains(Path(*dir, "damaged.dbf")));
        QCOMPARE(platform->Messages.size(), 3);
        QVERIFY(Child<QTableView>(QStringLiteral("LV2"))->isVisible());
    }

    void aRejectedFirstFileLeavesTheListEmpty() {
        SmallTable().Version(0x04).WriteTo(*dir / "other.dbf");
        QVERIFY(Open(Path(*dir, "other.dbf")));
        QCOMPARE(List()->columnCount(), 0);
        QVERIFY(Source().isEmpty());
        QVERIFY(Info().isEmpty());
        QVERIFY(window->TableLoaded());  // a file was chosen; the columns dialog opens empty
        QCOMPARE(platform->Messages.size(), 1);
    }

    void closingWhileATableLoadsIsSafe() {
        TableBuilder big;
        big.Field("NAME", 'C', 40).Field("AMOUNT", 'N', 12, 2);
        for (int r = 0; r < 50000; ++r) big.Record({"somebody", std::to_string(r)});
        big.WriteTo(*dir / "big.dbf");
        platform->AnswerFileDialog(Path(*dir, "big.dbf"));
        Click(*window, "Command1");
        QVERIFY(window->Opening());
        window.reset();
    }

    void aShortFileShowsItsRecordsAndSaysHowManyAreMissing() {
        SmallTable().RecordCount(10).WriteTo(*dir / "short.dbf");
        QVERIFY(Open(Path(*dir, "short.dbf")));
        QCOMPARE(List()->rowCount(), 2);
        QCOMPARE(platform->Messages.size(), 1);
        QCOMPARE(platform->Messages[0].Caption, QStringLiteral("Quillet"));
        QCOMPARE(platform->Messages[0].Icon, MessageIcon::Warning);
        const QString text = platform->Messages[0].Text;
        QVERIFY2(text.contains(QStringLiteral("8 of the 10 records")), qPrintable(text));
        QVERIFY(text.contains(Path(*dir, "short.dbf")));
    }

    void theSaveBoxFollowsTheOpenTableOnlyWhenFilled() {
        SmallTable().WriteTo(*dir / "a.b.dbf");
        SmallTable().WriteTo(*dir / "PLAIN");
        QVERIFY(Open(Path(*dir, "a.b.dbf")));
        QCOMPARE(window->Table().TableBaseName, std::string("a"));
        QVERIFY(SaveBox().isEmpty());

        window->Settings().SaveFolder = "/data/out";
        Child<QLineEdit>(QStringLiteral("Text3"))->setText(QStringLiteral("/data/out"));
        QVERIFY(Open(Path(*dir, "PLAIN")));
        QCOMPARE(window->Table().TableBaseName, std::string("PLAIN"));
        QCOMPARE(SaveBox(), QStringLiteral("/data/out/PLAIN.csv"));

        // Another format renames the file the box names; a folder at the root gives one separator.
        Click(*window, "Option2_5");
        QCOMPARE(std::string(ExtensionOf(window->Settings().OutputFormat)), std::string(".xls"));
        QCOMPARE(SaveBox(), QStringLiteral("/data/out/PLAIN.xls"));
        window->Settings().SaveFolder = "/";
        QVERIFY(Open(Path(*dir, "a.b.dbf")));
        QCOMPARE(SaveBox(), QStringLiteral("/a.xls"));

        // With the Save box empty, a format choice leaves it empty.
        Child<QLineEdit>(QStringLiteral("Text3"))->clear();
        Click(*window, "Option2_6");
        QCOMPARE(std::string(ExtensionOf(window->Settings().OutputFormat)), std::string(".sql"));
        QVERIFY(SaveBox().isEmpty());
        Click(*window, "Command4");
        QCOMPARE(platform->Messages.last().Text, QStringLiteral("Need to open a save location!"));
    }
};

QUILLET_UI_TEST(MainWindowTest);

#include "main_window_test.moc"
