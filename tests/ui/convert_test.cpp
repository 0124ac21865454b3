#include "support/opened_table.h"
#include "support/window_fixture.h"
#include "ui/output_path_text.h"
#include "ui/record_order_model.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

template <typename T = QWidget>
T* In(QDialog& dialog, const char* name) { return ChildOf<T>(dialog, QString::fromLatin1(name)); }

// Answers a format's dialog as words say, then saves: NAME=N picks item N of a list box, NAME=TEXT
// types into it, NAME=1 ticks a check box and NAME=0 clears it; "colors" picks red with a click
// on the text swatch and blue on the background one through its label's access key.
void AnswerAndSave(QDialog& d, ScriptedPlatform& p, const QString& words) {
    for (const QString& word : words.split(u' ', Qt::SkipEmptyParts)) {
        if (word == QStringLiteral("colors")) {
            p.ColorAnswers = {QColor(Qt::red), QColor(Qt::blue)};
            QTest::mouseClick(In(d, "textSwatch"), Qt::RightButton);  // not a choice
            QTest::mouseClick(In(d, "textSwatch"), Qt::LeftButton);
            QTest::keyClick(&d, Qt::Key_B, Qt::AltModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            continue;
        }
        QWidget* control = ChildOf(d, word.section(u'=', 0, 0));
        const QString value = word.section(u'=', 1);
        bool number = false;
        const int n = value.toInt(&number);
        if (auto* box = qobject_cast<QComboBox*>(control)) number ? box->setCurrentIndex(n) : box->setEditText(value);
        if (auto* check = qobject_cast<QCheckBox*>(control)) check->setChecked(n == 1);
    }
    Click(d, "saveButton");
}

}  // namespace

class ConvertTest : public QObject {
    Q_OBJECT

private slots:
    // The window writes numbers with its locale's decimal separator: the golden files have a point.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Every format, through its options dialog where it has one: the file written is the golden
    // file the row names, under tests/data/ui/converted.
    void writesWhatTheUserChose_data() { AddDataRows("ui/conversions.tsv"); }
    void writesWhatTheUserChose() {
        const auto [format, filter, dialog, answers, golden] = DataFields<5>();
        WindowFixture f;
        const TempDir out;
        QVERIFY(f.Open(kSample));
        f.Browse(out.Path());
        Click(*f.Window, filter.toLatin1());
        f.ChooseFormat(static_cast<OutputFormat>(format.toInt()));
        if (!dialog.isEmpty()) f.Dialogs.Answer(dialog, [&](QDialog& d) { AnswerAndSave(d, f.Platform, answers); });
        QVERIFY(f.Convert());
        const auto* progress = ChildOf<QProgressBar>(*f.Window, QStringLiteral("progressBar"));
        QCOMPARE(progress->value(), progress->maximum());
        QVERIFY(f.Dialogs.AllAnswered() && f.Dialogs.Unexpected.isEmpty());
        QVERIFY2(f.Platform.Messages.isEmpty(), qPrintable(f.Platform.Messages.value(0).Text));
        QCOMPARE(f.Platform.FoldersShown, QStringList{QString::fromStdString(out.Path().string())});
        const std::string name = std::string("customers") + ExtensionOf(static_cast<OutputFormat>(format.toInt()));
        QCOMPARE(FolderEntries(out.Path()), std::set<std::string>{name});
        // The XML names the table by its path, which is wherever the checkout is.
        const QByteArray written = QByteArray::fromStdString(ReadFileBytes(out / name)).replace(QUILLET_SAMPLES_DIR, "SAMPLES");
        QVERIFY(MatchesGolden(written.toStdString(), "ui/converted/" + golden.toStdString()));
        QCOMPARE(f.TextOf("saveBox"), QString::fromStdString((out / name).string()));
    }

    // A table whose header says 1252 but which holds 866 text: the choice re-reads the list at
    // once and reaches the file, written as UTF-8 when asked; another open forgets it.
    void choosesTheCodePage() {
        WindowFixture f;
        const TempDir out;
        const QString path = f.PathOf("dos.dbf");
        TableBuilder().LanguageDriver(0x03).Field("NAME", 'C', 6).Record({"\x8F\xE0\xA8\xA2\xA5\xE2"}).WriteTo(path.toStdString());
        QVERIFY(f.Open(path));
        const QAbstractItemModel& list = *ChildOf<QTableView>(*f.Window, QStringLiteral("recordView"))->model();
        const QString russian = QStringLiteral("Привет");
        QVERIFY(list.index(0, 2).data().toString() != russian);
        auto* box = ChildOf<QComboBox>(*f.Window, QStringLiteral("codePageBox"));
        QVERIFY(box->isEnabled());  // once a table is shown
        box->setCurrentIndex(box->findData(866));
        QCOMPARE(list.index(0, 2).data().toString(), russian);
        QCOMPARE(ChildOf<QLabel>(*f.Window, QStringLiteral("codePageLabel"))->text(),
                 QStringLiteral("Code page: 866 (IBM866), chosen by the user"));

        f.Browse(out.Path());
        f.ChooseFormat(OutputFormat::CSV);
        f.Dialogs.Answer(QStringLiteral("DelimitedOptionsDialog"), [](QDialog& d) {
            In<QCheckBox>(d, "headerCheck")->setChecked(false);
            In<QCheckBox>(d, "utf8Check")->setChecked(true);
            Click(d, "saveButton");
        });
        QVERIFY(f.Convert());
        QCOMPARE(QByteArray::fromStdString(ReadFileBytes(out / "dos.csv")), QStringLiteral("\"Привет\"\r\n").toUtf8());
        // 1253 leaves the first byte undefined: the worksheet holds "?" for it, and the user is told.
        box->setCurrentIndex(box->findData(1253));
        f.ChooseFormat(OutputFormat::Excel);
        QVERIFY(f.Convert());
        QCOMPARE(f.Platform.Messages.size(), 1);
        QVERIFY(f.Platform.Messages[0].Text.contains(QString::fromStdString((out / "dos.xls").string()) + QStringLiteral("\" was written, but 1 of")));

        QVERIFY(f.Open(path));
        QCOMPARE(box->currentData().toInt(), 1252);
        QVERIFY(list.index(0, 2).data().toString() != russian);
    }

    // Cancel, Esc and the close box all drop the conversion: no file, no folder shown.
    void cancels_data() { AddDataRows("ui/cancels.tsv"); }
    void cancels() {
        const auto [format, dialog, how, header] = DataFields<4>();
        WindowFixture f;
        const TempDir out;
        QVERIFY(f.Open(kSample));
        f.Browse(out.Path());
        f.ChooseFormat(static_cast<OutputFormat>(format.toInt()));
        f.Dialogs.Answer(dialog, [how](QDialog& d) {
            In<QCheckBox>(d, "headerCheck")->setChecked(false);
            if (how == QStringLiteral("cancel")) Click(d, "cancelButton");
            if (how == QStringLiteral("esc")) QTest::keyClick(&d, Qt::Key_Escape);
            if (how == QStringLiteral("close box")) d.close();
        });
        Click(*f.Window, "convertButton");
        QVERIFY(f.Dialogs.AllAnswered() && f.Dialogs.Unexpected.isEmpty());
        QTest::qWait(50);
        QVERIFY(FolderEntries(out.Path()).empty());
        QVERIFY(f.Platform.FoldersShown.isEmpty() && f.Platform.Messages.isEmpty());
        QCOMPARE(f.Window->exportSettings().Rtf.IncludeHeader, header == QStringLiteral("yes"));
    }

    // While a file is written the window takes no other table, by drop or by Open.
    void takesNoTableWhileWriting() {
        WindowFixture f;
        const TempDir out;
        QVERIFY(f.Open(kSample));
        f.Browse(out.Path());
        f.ChooseFormat(OutputFormat::XML);
        QSignalSpy converted(f.Window.get(), &MainWindow::converted);
        Click(*f.Window, "convertButton");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(kSample)});
        const auto dropTaken = [&] {
            QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(f.Window.get(), &enter);
            return enter.isAccepted();
        };
        QVERIFY(!dropTaken());
        const auto asked = f.Platform.FileDialogStarts.size();
        f.Window->openTable();
        QCOMPARE(f.Platform.FileDialogStarts.size(), asked);
        QVERIFY(converted.wait());
        QVERIFY(dropTaken());
    }

    // Another program cuts the table short while it is open: the records it lost show empty, the
    // order stays as it was, the details and a conversion say what happened.
    void bearsTheTableCutShortWhileOpen() {
        WindowFixture f;
        const TempDir out;
        const QString path = f.PathOf("cut.dbf");
        TableBuilder t;
        t.Field("NAME", 'C', 40);
        for (int i = 0; i < 100; ++i) t.Record({"name " + std::to_string(i)});
        t.WriteTo(path.toStdString());
        QVERIFY(f.Open(path));
        std::filesystem::resize_file(path.toStdString(), 65 + 10 * 41);
        auto* view = ChildOf<QTableView>(*f.Window, QStringLiteral("recordView"));
        auto* order = qobject_cast<RecordOrderModel*>(view->model());
        QCOMPARE(order->index(0, 2).data().toString().trimmed(), QStringLiteral("name 0"));
        view->scrollToBottom();
        QTest::qWait(20);
        QCOMPARE(order->index(99, 2).data().toString(), QString());
        order->CycleSort(order->ColumnOfField(0));
        QVERIFY(QTest::qWaitFor([order] { return !order->Busy(); }));
        QCOMPARE(order->index(1, 0).data().toString(), QStringLiteral("2"));
        Click(*f.Window, "detailsButton");
        view->setCurrentIndex(order->index(99, 2));
        QVERIFY(ChildOf<QTextBrowser>(*f.Window, QStringLiteral("recordDetails"))->toPlainText().contains(QStringLiteral("ended")));

        f.Browse(out.Path());
        f.ChooseFormat(OutputFormat::XML);
        QVERIFY(f.Convert());
        QCOMPARE(f.Platform.Messages.size(), 1);
        QVERIFY(f.Platform.Messages[0].Text.contains(QStringLiteral("Cannot read \"%1\": the file ended").arg(path)));
        QVERIFY(FolderEntries(out.Path()).empty());
    }

    void saysWhyItCannotConvert() {
        WindowFixture f;
        const TempDir out;
        Click(*f.Window, "convertButton");
        QVERIFY(f.Open(kSample));
        Click(*f.Window, "convertButton");
        std::filesystem::create_directory(out.Path() / "gone");
        f.Browse(out.Path() / "gone");
        std::filesystem::remove(out.Path() / "gone");
        ChildOf<QCheckBox>(*f.Window, QStringLiteral("openFolderCheck"))->setChecked(false);
        f.ChooseFormat(OutputFormat::XML);
        QVERIFY(f.Convert());

        QCOMPARE(f.Platform.Messages.size(), 3);
        QCOMPARE(f.Platform.Messages[0].Text, QStringLiteral("Need to open a file first!"));
        QCOMPARE(f.Platform.Messages[1].Text, QStringLiteral("Need to open a save location!"));
        QVERIFY(f.Platform.Messages[2].Text.contains(QString::fromStdString((out.Path() / "gone" / "customers.xml").string())));
        QVERIFY(f.Platform.FoldersShown.isEmpty() && f.Window->isEnabled());
        std::filesystem::create_directory(out.Path() / "gone");
        ChildOf<QCheckBox>(*f.Window, QStringLiteral("openFolderCheck"))->setChecked(true);
        f.Platform.FoldersOpen = false;
        QVERIFY(f.Await(&MainWindow::converted, [&] { ChildOf<QAction>(*f.Window, QStringLiteral("convertAction"))->trigger(); }));
        QCOMPARE(f.Platform.Messages.size(), 4);
        QCOMPARE(f.Platform.Messages[3].Icon, MessageIcon::Warning);
        QVERIFY(std::filesystem::exists(out.Path() / "gone" / "customers.xml"));
        QCOMPARE(OutputPathText("/", "t", ".csv"), "/t.csv");
        QCOMPARE(OutputPathText("/a/", "t", ".csv"), "/a/t.csv");
    }
};

QTEST_MAIN(ConvertTest)
#include "convert_test.moc"
