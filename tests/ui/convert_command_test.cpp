#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "export/exporters.h"
#include "support/files.h"
#include "support/modal_dialogs.h"
#include "support/opened_table.h"
#include "support/scripted_platform.h"
#include "support/test_registry.h"
#include "support/write_limit.h"
#include "ui/frm_main.h"

using quillet::ExportSettings;
using quillet::LineEnd;
using quillet::frmMain;
using quillet::MessageIcon;
using quillet::OutputFormat;
using quillet::testing::ChildOf;
using quillet::testing::Click;
using quillet::testing::FolderEntries;
using quillet::testing::ModalDialogs;
using quillet::testing::ReadFileBytes;
using quillet::testing::ScriptedPlatform;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

// Cells that each format escapes its own way, three types, and a deleted record.
TableBuilder Mixed() {
    TableBuilder t;
    t.Field("NAME", 'C', 14).Field("AMOUNT", 'N', 8, 2).Field("PAID", 'L', 1).Field("JOINED", 'D', 8);
    t.Record({"Ann \"A\" & <b>", "12.50", "T", "20240101"});
    t.Deleted({"Bob;{x}", "-3", "F", ""});
    t.Record({"Cy\\z", "0", "T", "19991231"});
    return t;
}

TableBuilder ManyRecords(int count) {
    TableBuilder t;
    t.Field("N", 'N', 6).Field("TEXT", 'C', 20);
    for (int i = 0; i < count; ++i) t.Record({std::to_string(i), "row " + std::to_string(i)});
    return t;
}

QString Text(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

class ConvertCommandTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<ModalDialogs> dialogs;
    std::unique_ptr<TempDir> tables;
    std::unique_ptr<TempDir> out;

    QString SaveBox() const { return ChildOf<QLineEdit>(*window, QStringLiteral("Text3"))->text(); }
    const std::string& SaveFolder() const { return window->Settings().SaveFolder; }

    bool Open(const TableBuilder& table, const std::string& name = "t.dbf") {
        table.WriteTo(*tables / name);
        platform->AnswerFileDialog(Text(*tables / name));
        QSignalSpy finished(window.get(), &frmMain::OpenFinished);
        Click(*window, "Command1");
        return finished.wait(30000);
    }

    enum class Leave { Ok, Cancel, CloseBox };
    // "Browse", leaving the save-location dialog at folder, which is where it starts.
    void Browse(const QString& folder, Leave how = Leave::Ok) {
        platform->Current = folder;
        platform->Volumes = {{QStringLiteral("/"), QStringLiteral("/"), true}};
        dialogs->Answer(QStringLiteral("frmSave"), [how](QDialog& dialog) {
            QVERIFY(dialog.isModal());
            if (how == Leave::Ok) Click(dialog, "OKButton");
            if (how == Leave::Cancel) Click(dialog, "CancelButton");
            if (how == Leave::CloseBox) dialog.close();
        });
        Click(*window, "Command2");
    }

    void Choose(OutputFormat format) {
        QTest::mouseClick(ChildOf<QRadioButton>(*window, QStringLiteral("Option2_%1").arg(int(format))), Qt::LeftButton);
    }

    // Presses "Save". When a conversion starts, checks the window while it runs and waits for its end.
    bool Save() {
        QSignalSpy finished(window.get(), &frmMain::ExportFinished);
        Click(*window, "Command4");
        if (window->isEnabled()) return false;
        if (!ChildOf<QProgressBar>(*window, QStringLiteral("pb"))->isVisible()) return false;
        return finished.wait(30000) && window->isEnabled() && !ChildOf<QProgressBar>(*window, QStringLiteral("pb"))->isVisible();
    }

    // The file the core exporter writes for table with these settings, written into another folder.
    std::string CoreExport(const quillet::OpenTable& table, ExportSettings settings) {
        const TempDir elsewhere;
        settings.SaveFolder = elsewhere.Path().string();
        quillet::ExportTable(table, settings);
        return ReadFileBytes(quillet::OutputPath(table, settings, settings.OutputFormat));
    }

    void ExpectMessage(int index, const QString& text, MessageIcon icon) {
        QVERIFY2(platform->Messages.size() > index, qPrintable(text));
        QCOMPARE(platform->Messages[index].Caption, QStringLiteral("Quillet"));
        QCOMPARE(platform->Messages[index].Text, text);
        QCOMPARE(platform->Messages[index].Icon, icon);
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        platform = std::make_unique<ScriptedPlatform>();
        dialogs = std::make_unique<ModalDialogs>();
        tables = std::make_unique<TempDir>();
        out = std::make_unique<TempDir>();
        window = std::make_unique<frmMain>(*platform);
        window->show();
    }
    void cleanup() {
        window.reset();
        QVERIFY2(platform->Unexpected.isEmpty(), qPrintable(platform->Unexpected.join(", ")));
        QVERIFY2(dialogs->Unexpected.isEmpty(), qPrintable(dialogs->Unexpected.join(", ")));
        QVERIFY(dialogs->AllAnswered());
    }

    void saveRefusesWithoutRecordsFirstAndWithoutALocationSecond() {
        // Neither a table nor a Save box: the table is asked for, once.
        Browse(Text(out->Path()));
        QVERIFY(!SaveFolder().empty());
        QVERIFY(SaveBox().isEmpty());
        QVERIFY(!Save());
        QCOMPARE(platform->Messages.size(), 1);
        ExpectMessage(0, QStringLiteral("Need to open a file first!"), MessageIcon::Critical);

        // A table without records, with a filled Save box.
        QVERIFY(Open(TableBuilder().Field("ID", 'N', 4)));
        QVERIFY(SaveBox().isEmpty());  // the folder was chosen before the table
        Browse(Text(out->Path()));
        QCOMPARE(SaveBox(), Text(*out / "t.csv"));
        QVERIFY(!Save());
        ExpectMessage(1, QStringLiteral("Need to open a file first!"), MessageIcon::Critical);

        // Records, but the save location was forgotten by Cancel.
        QVERIFY(Open(Mixed()));
        Browse(Text(out->Path()), Leave::Cancel);
        QVERIFY(SaveBox().isEmpty());
        QVERIFY(SaveFolder().empty());
        QVERIFY(!Save());
        ExpectMessage(2, QStringLiteral("Need to open a save location!"), MessageIcon::Critical);
        QCOMPARE(platform->Messages.size(), 3);
        QVERIFY(FolderEntries(out->Path()).empty());
        QVERIFY(platform->FoldersShown.isEmpty());
        QCOMPARE(dialogs->Shown, QStringList({"frmSave", "frmSave", "frmSave"}));
    }

    void theSaveBoxFollowsBrowseAndTheFormat() {
        // A folder chosen before the table leaves the box empty until Browse runs again.
        Browse(Text(out->Path()));
        QVERIFY(Open(Mixed()));
        QVERIFY(SaveBox().isEmpty());
        QVERIFY(!Save());
        ExpectMessage(0, QStringLiteral("Need to open a save location!"), MessageIcon::Critical);
        Browse(Text(out->Path()));
        QCOMPARE(SaveBox(), Text(*out / "t.csv"));

        Choose(OutputFormat::Excel);
        QCOMPARE(SaveBox(), Text(*out / "t.xls"));
        QCOMPARE(std::string(ExtensionOf(window->Settings().OutputFormat)), std::string(".xls"));
        Choose(OutputFormat::HTML);
        QCOMPARE(SaveBox(), Text(*out / "t.htm"));

        // The close box keeps the folder and rebuilds the box from it.
        Browse(QStringLiteral("/"), Leave::CloseBox);
        QCOMPARE(SaveBox(), Text(*out / "t.htm"));
        // A folder at the root gives one separator.
        Browse(QStringLiteral("/"));
        QCOMPARE(SaveFolder(), std::string("/"));
        QCOMPARE(SaveBox(), QStringLiteral("/t.htm"));
        Browse(Text(out->Path()), Leave::Cancel);
        QVERIFY(SaveBox().isEmpty());
        Choose(OutputFormat::SQL);
        QVERIFY(SaveBox().isEmpty());
        QCOMPARE(std::string(ExtensionOf(window->Settings().OutputFormat)), std::string(".sql"));
    }

    void eachFormatWritesTheFileTheSaveBoxNamesAsTheCoreDoes() {
        QVERIFY(Open(Mixed()));
        Browse(Text(out->Path()));
        Click(*window, "Option1_2");  // Skip deleted
        dialogs->Answer(QStringLiteral("frmColumns"), [](QDialog& dialog) {
            ChildOf<QListWidget>(dialog, QStringLiteral("List1"))->item(2)->setCheckState(Qt::Unchecked);
            Click(dialog, "OKButton");
        });
        Click(*window, "Command3");

        quillet::OpenTable expectedTable = quillet::testing::OpenTableAt(*tables / "t.dbf");
        expectedTable.ColumnSelected = {1, 1, 0, 1};
        ExportSettings expected;
        expected.RecordFilter = quillet::RecordFilter::SkipDeleted;

        struct Case {
            OutputFormat Format;
            const char* Dialog;  // the options dialog, or nothing
            std::function<void(QDialog&)> Answer;
            std::function<void(ExportSettings&)> Expect;
        };
        const Case cases[] = {
            {OutputFormat::Text, "frmOptions",
             [](QDialog& d) {
                 ChildOf<QComboBox>(d, QStringLiteral("Combo1"))->setCurrentIndex(1);
                 ChildOf<QComboBox>(d, QStringLiteral("Combo2"))->setCurrentIndex(1);
                 ChildOf<QCheckBox>(d, QStringLiteral("Check2"))->setChecked(false);
                 Click(d, "OKButton");
             },
             [](ExportSettings& s) {
                 s.Delimited.Delimiter = ";";
                 s.Delimited.RowEnd = LineEnd::LF;
                 s.Delimited.QuoteItems = false;
             }},
            {OutputFormat::CSV, "frmOptions", [](QDialog& d) { Click(d, "OKButton"); },
             [](ExportSettings& s) {
                 s.Delimited.Delimiter = ",";
                 s.Delimited.RowEnd = LineEnd::CRLF;
                 s.Delimited.QuoteItems = true;
             }},
            {OutputFormat::HTML, "frmOpsHtm",
             [this](QDialog& d) {
                 platform->AnswerColorDialog(QColor(255, 0, 0));
                 QTest::mouseClick(ChildOf<QWidget>(d, QStringLiteral("Picture2_0")), Qt::LeftButton);
                 ChildOf<QCheckBox>(d, QStringLiteral("Check1"))->setChecked(false);
                 Click(d, "OKButton");
             },
             [](ExportSettings& s) {
                 s.Html.TextColor = "FF0000";
                 s.Html.IncludeHeader = false;
             }},
            {OutputFormat::RTF, "frmOptionsRtf",
             [](QDialog& d) {
                 ChildOf<QCheckBox>(d, QStringLiteral("Check1"))->setChecked(false);
                 Click(d, "OKButton");
             },
             [](ExportSettings& s) { s.Rtf.IncludeHeader = false; }},
            {OutputFormat::XML, nullptr, {}, [](ExportSettings&) {}},
            {OutputFormat::Excel, nullptr, {}, [](ExportSettings&) {}},
            {OutputFormat::SQL, nullptr, {}, [](ExportSettings&) {}},
        };
        QStringList written;
        for (const Case& c : cases) {
            Choose(c.Format);
            const QString target = SaveBox();
            QCOMPARE(target, Text(*out / ("t" + std::string(quillet::ExtensionOf(c.Format)))));
            if (c.Dialog != nullptr) dialogs->Answer(QString::fromLatin1(c.Dialog), c.Answer);
            QVERIFY2(Save(), c.Dialog);
            QVERIFY(dialogs->AllAnswered());
            written << QFileInfo(target).fileName();
            QCOMPARE(int(FolderEntries(out->Path()).size()), written.size());

            expected.OutputFormat = c.Format;
            c.Expect(expected);
            const std::string bytes = ReadFileBytes(target.toStdString());
            QVERIFY(!bytes.empty());
            QVERIFY2(bytes == CoreExport(expectedTable, expected), qPrintable(target));
        }
        // The bytes hold the choices: the deleted record and the unselected column are left out.
        const std::string csv = ReadFileBytes(*out / "t.csv");
        QCOMPARE(csv, std::string("\"NAME\",\"AMOUNT\",\"JOINED\"\r\n\"Ann \"\"A\"\" & <b>\",\"12.5\",\"20240101\"\r\n"
                                  "\"Cy\\z\",\"0\",\"19991231\"\r\n"));
        QCOMPARE(dialogs->Shown, QStringList({"frmSave", "frmColumns", "frmOptions", "frmOptions", "frmOpsHtm", "frmOptionsRtf"}));
        QCOMPARE(platform->FoldersShown, QStringList(7, Text(out->Path())));
        QVERIFY(platform->Messages.isEmpty());
    }

    void cancellingAnOptionsDialogWritesNothing() {
        QVERIFY(Open(Mixed()));
        Browse(Text(out->Path()));
        const std::pair<OutputFormat, const char*> formats[] = {
            {OutputFormat::Text, "frmOptions"}, {OutputFormat::CSV, "frmOptions"},
            {OutputFormat::HTML, "frmOpsHtm"},  {OutputFormat::RTF, "frmOptionsRtf"}};
        for (const auto& [format, dialog] : formats) {
            Choose(format);
            dialogs->Answer(QString::fromLatin1(dialog), [](QDialog& d) { Click(d, "CancelButton"); });
            QVERIFY(!Save());
        }
        QVERIFY(FolderEntries(out->Path()).empty());
        QVERIFY(platform->FoldersShown.isEmpty());
        QVERIFY(platform->Messages.isEmpty());
        QVERIFY(window->isEnabled());
    }

    // The close box of an options dialog leaves OptionsAccepted as the last dialog left it.
    void theCloseBoxConvertsUnlessTheLastOptionsWereCancelled() {
        QVERIFY(Open(Mixed()));
        Browse(Text(out->Path()));
        const auto closeBox = [](QDialog& d) { d.close(); };

        // The delimited-text dialog accepts as it opens: its close box converts with the settings it had.
        dialogs->Answer(QStringLiteral("frmOptions"), closeBox);
        QVERIFY(Save());
        QCOMPARE(FolderEntries(out->Path()), std::set<std::string>({"t.csv"}));

        Choose(OutputFormat::Text);
        dialogs->Answer(QStringLiteral("frmOptions"), [](QDialog& d) { Click(d, "CancelButton"); });
        QVERIFY(!Save());
        Choose(OutputFormat::HTML);
        dialogs->Answer(QStringLiteral("frmOpsHtm"), closeBox);
        QVERIFY(!Save());
        QCOMPARE(FolderEntries(out->Path()), std::set<std::string>({"t.csv"}));

        // Formats without options convert whatever the last dialog said.
        Choose(OutputFormat::XML);
        QVERIFY(Save());
        Choose(OutputFormat::RTF);
        dialogs->Answer(QStringLiteral("frmOptionsRtf"), [](QDialog& d) { Click(d, "OKButton"); });
        QVERIFY(Save());
        Choose(OutputFormat::HTML);
        dialogs->Answer(QStringLiteral("frmOpsHtm"), closeBox);
        QVERIFY(Save());
        QCOMPARE(FolderEntries(out->Path()), std::set<std::string>({"t.csv", "t.htm", "t.rtf", "t.xml"}));
        QVERIFY(platform->Messages.isEmpty());
    }

    void theFolderOpensOnlyWhenAskedAndAFailureToOpenItIsTold() {
        QVERIFY(Open(Mixed()));
        Browse(Text(out->Path()));
        Choose(OutputFormat::SQL);
        QVERIFY(Save());
        QCOMPARE(platform->FoldersShown, QStringList({Text(out->Path())}));

        Click(*window, "Check1");
        QVERIFY(!ChildOf<QCheckBox>(*window, QStringLiteral("Check1"))->isChecked());
        QVERIFY(Save());
        QCOMPARE(platform->FoldersShown.size(), 1);

        Click(*window, "Check1");
        platform->FoldersOpen = false;
        QVERIFY(Save());
        QCOMPARE(platform->FoldersShown.size(), 2);
        QCOMPARE(platform->Messages.size(), 1);
        QCOMPARE(platform->Messages[0].Caption, QStringLiteral("Quillet"));
        QCOMPARE(platform->Messages[0].Icon, MessageIcon::Warning);
        QVERIFY(platform->Messages[0].Text.contains(Text(out->Path())));
        QVERIFY(std::filesystem::exists(*out / "t.sql"));
        // The program goes on.
        platform->FoldersOpen = true;
        Choose(OutputFormat::XML);
        QVERIFY(Save());
        QCOMPARE(platform->Messages.size(), 1);
    }

    void anExportFailureIsToldAndTheProgramGoesOn() {
        const auto failure = [this](const std::filesystem::path& file, const QString& reason) {
            QCOMPARE(platform->Messages.size(), 1);
            QCOMPARE(platform->Messages[0].Caption, QStringLiteral("Quillet"));
            QCOMPARE(platform->Messages[0].Icon, MessageIcon::Critical);
            const QString text = platform->Messages[0].Text;
            const QString start = QStringLiteral("Cannot write \"%1\": ").arg(Text(file));
            QVERIFY2(text.startsWith(start) && text.size() > start.size() + 3, qPrintable(text));
            QVERIFY2(text.contains(reason), qPrintable(text));
            QVERIFY(platform->FoldersShown.isEmpty());
            QVERIFY(window->isEnabled());
            platform->Messages.clear();
        };

        // The folder went away after it was chosen.
        QVERIFY(Open(ManyRecords(200)));
        std::filesystem::create_directory(*out / "gone");
        Browse(Text(*out / "gone"));
        std::filesystem::remove(*out / "gone");
        Choose(OutputFormat::XML);
        QVERIFY(Save());
        failure(*out / "gone" / "t.xml", QString());

        // The disk fills up.
        Browse(Text(out->Path()));
        Choose(OutputFormat::CSV);
        dialogs->Answer(QStringLiteral("frmOptions"), [](QDialog& d) { Click(d, "OKButton"); });
        {
            const quillet::testing::WriteLimit full(64);
            QVERIFY(Save());
        }
        failure(*out / "t.csv", QString());
        QVERIFY(FolderEntries(out->Path()).empty());

        // No column selected for a SQL script.
        dialogs->Answer(QStringLiteral("frmColumns"), [](QDialog& d) {
            Click(d, "Command1_0");
            Click(d, "OKButton");
        });
        Click(*window, "Command3");
        Choose(OutputFormat::SQL);
        QVERIFY(Save());
        failure(*out / "t.sql", QStringLiteral("Select at least one column to export."));

        // More records than a worksheet holds.
        QVERIFY(Open(ManyRecords(16384), "big.dbf"));
        Choose(OutputFormat::Excel);
        QVERIFY(Save());
        failure(*out / "big.xls", QStringLiteral("16"));

        // Nothing was left behind, and the next conversion works.
        QVERIFY(FolderEntries(out->Path()).empty());
        Choose(OutputFormat::SQL);
        QVERIFY(Save());
        QCOMPARE(FolderEntries(out->Path()), std::set<std::string>({"big.sql"}));
        QVERIFY(platform->Messages.isEmpty());
    }

    void aLongConversionMovesTheProgressBar() {
        QVERIFY(Open(ManyRecords(70000)));
        Browse(Text(out->Path()));
        Choose(OutputFormat::XML);
        QSignalSpy moved(ChildOf<QProgressBar>(*window, QStringLiteral("pb")), &QProgressBar::valueChanged);
        QVERIFY(Save());
        QVERIFY(moved.size() >= 3);
        QCOMPARE(moved.last().at(0).toInt(), 1000);
    }

    void closingTheWindowDuringAConversionFinishesTheFile() {
        QVERIFY(Open(ManyRecords(50000)));
        Browse(Text(out->Path()));
        Choose(OutputFormat::SQL);
        Click(*window, "Command4");
        QVERIFY(window->Exporting());
        window.reset();
        QCOMPARE(FolderEntries(out->Path()), std::set<std::string>({"t.sql"}));
        QCOMPARE(ReadFileBytes(*out / "t.sql"),
                 CoreExport(quillet::testing::OpenTableAt(*tables / "t.dbf"), [] {
                     ExportSettings sql;
                     sql.OutputFormat = OutputFormat::SQL;
                     return sql;
                 }()));
    }

    void theSourceAndSaveBoxesTakeNoTyping() {
        QVERIFY(Open(Mixed()));
        Browse(Text(out->Path()));
        for (const char* name : {"Text2", "Text3"}) {
            auto* box = ChildOf<QLineEdit>(*window, QString::fromLatin1(name));
            const QString before = box->text();
            QVERIFY(box->isReadOnly());
            box->setFocus();
            QTest::keyClicks(box, QStringLiteral("typed"));
            QTest::keyClick(box, Qt::Key_Backspace);
            QCOMPARE(box->text(), before);
        }
    }
};

QUILLET_UI_TEST(ConvertCommandTest);

#include "convert_command_test.moc"
