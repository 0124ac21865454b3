#include "table/table_stream.h"
#include "support/opened_table.h"
#include "support/window_fixture.h"
#include "ui/record_browser.h"
#include "ui/record_order_model.h"
#include "ui/table_list_model.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

// A table in the record browser, as the window shows it: read a few records at a time.
struct Browsed {
    TableStream Stream;
    OpenTable& Table = Stream.Table();
    TableListModel Model;
    RecordBrowser Browser{&Model};
    QTableView& View = *Browser.View();
    RecordOrderModel& Order = *Browser.Order();
    // Every reset, layout change and row change the models announce must be what they do, or a
    // view shows rows that are gone.
    QAbstractItemModelTester ListChecks{&Model, QAbstractItemModelTester::FailureReportingMode::QtTest};
    QAbstractItemModelTester OrderChecks{&Order, QAbstractItemModelTester::FailureReportingMode::QtTest};

    explicit Browsed(const std::string& path) : Stream(path, WindowFixture::kFewRecords) {
        Table.ListColumns();
        Model.SetTable(&Table, '.');
        Browser.SetTable(&Table, '.');
        Browser.resize(1600, 500);
        Browser.show();
        if (!QTest::qWaitForWindowActive(&Browser)) qFatal("the browser never became active");
    }
    int Column(const QString& title) const {
        for (int column = 0; column < Order.columnCount(); ++column) {
            if (Order.headerData(column, Qt::Horizontal, Qt::DisplayRole) == title) return column;
        }
        qFatal("no column %s", qPrintable(title));
    }
    void ClickHeader(int column, Qt::KeyboardModifiers keys = {}) {
        QHeaderView* header = View.horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, keys,
                          {header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2});
    }
    bool Settled() const { return QTest::qWaitFor([this] { return !Order.Busy(); }); }
    // The "#" of every row, in view order.
    QString Numbers() const {
        QStringList numbers;
        for (int row = 0; row < Order.rowCount(); ++row) numbers << Order.index(row, 0).data().toString();
        return numbers.join(u' ');
    }
    // Where the current cell is: "record:FIELD".
    QString Here() const {
        const QModelIndex current = View.currentIndex();
        return current.data().isNull() ? QString()
                                       : Order.index(current.row(), 0).data().toString() + u':' +
                                             Order.headerData(current.column(), Qt::Horizontal, Qt::DisplayRole).toString();
    }
    QString Outcome() const { return ChildOf<QLabel>(Browser, QStringLiteral("findOutcome"))->text(); }
    void SetOptions(bool matchCase, bool wholeCell, const QString& field) {
        ChildOf<QCheckBox>(Browser, QStringLiteral("matchCase"))->setChecked(matchCase);
        ChildOf<QCheckBox>(Browser, QStringLiteral("wholeCell"))->setChecked(wholeCell);
        auto* fields = ChildOf<QComboBox>(Browser, QStringLiteral("findField"));
        fields->setCurrentIndex(field.isEmpty() ? 0 : fields->findText(field));
    }
};

std::string Sample(const std::string& name) { return QUILLET_SAMPLES_DIR "/" + name; }

}  // namespace

class ViewerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Header clicks: ascending, descending, then file order again. Equal values keep file order,
    // empty cells come last both ways, blank numbers are 0, false comes before true.
    void sortsByHeaderClicks_data() { AddDataRows("viewer/sorts.tsv"); }
    void sortsByHeaderClicks() {
        const auto [sample, field, ascending, descending] = DataFields<4>();
        Browsed b(Sample(sample.toStdString()));
        const QString fileOrder = b.Numbers();
        b.View.setCurrentIndex(b.Order.index(1, 2));
        b.View.selectionModel()->select(b.Order.index(2, 2), QItemSelectionModel::Select);
        // The records whose cells are selected, whatever their rows.
        const auto selected = [&b] {
            QStringList numbers;
            for (const QModelIndex& cell : b.View.selectionModel()->selectedIndexes()) numbers << b.Order.index(cell.row(), 0).data().toString();
            numbers.sort();
            return numbers;
        };
        const QString current = b.Here();
        for (const QString& expected : {ascending, descending, fileOrder}) {
            b.ClickHeader(b.Column(field));
            QVERIFY(b.Settled());
            QCOMPARE(b.Numbers(), expected);
            QCOMPARE(b.Here(), current);
            QCOMPARE(selected(), QStringList({"2", "3"}));
        }
        b.ClickHeader(b.Column(field));
        QVERIFY(b.Settled());
        b.ClickHeader(RecordOrderModel::kNumberColumn);
        QCOMPARE(b.Numbers(), fileOrder);
    }

    // Typing finds the first match (=); F3 (+), Enter (/) and the next button (>) step on, Shift+F3
    // (-) and the previous button (<) back, wrapping around.
    void finds_data() { AddDataRows("viewer/finds.tsv"); }
    void finds() {
        const auto [text, options, field, steps] = DataFields<4>();
        Browsed b(Sample("customers.dbf"));
        QTest::keyClick(&b.View, Qt::Key_F, Qt::ControlModifier);
        auto* box = ChildOf<QLineEdit>(b.Browser, QStringLiteral("findBox"));
        QVERIFY(box->hasFocus());
        b.SetOptions(options.contains(u'c'), options.contains(u'w'), field);
        box->setText(text);
        for (const QString& step : steps.split(u'|')) {
            if (step[0] == u'<' || step[0] == u'>') Click(b.Browser, step[0] == u'<' ? "findPrevious" : "findNext");
            if (step[0] == u'/') QTest::keyClick(box, Qt::Key_Return);
            if (step[0] == u'+' || step[0] == u'-') QTest::keyClick(box, Qt::Key_F3, step[0] == u'-' ? Qt::ShiftModifier : Qt::NoModifier);
            QVERIFY(b.Settled());
            QCOMPARE(b.Outcome() == QStringLiteral("not found") ? b.Outcome() : b.Here() + u' ' + b.Outcome(), step.mid(1));
        }
    }

    // The filter keeps the records with a match, in the order chosen; the count says how many.
    void filters_data() { AddDataRows("viewer/filters.tsv"); }
    void filters() {
        const auto [text, options, field, shown, count, byName] = DataFields<6>();
        Browsed b(Sample("customers.dbf"));
        b.SetOptions(false, options.contains(u'w'), field);
        b.View.setCurrentIndex(b.Order.index(1, 2));
        ChildOf<QLineEdit>(b.Browser, QStringLiteral("filterBox"))->setText(text);
        QVERIFY(b.Settled());
        QCOMPARE(b.Numbers(), shown);
        QCOMPARE(b.Here(), shown.split(u' ').contains(QStringLiteral("2")) ? QStringLiteral("2:NAME") : QString());
        QCOMPARE(b.Browser.FilterText(), count);
        b.ClickHeader(b.Column(QStringLiteral("NAME")));
        QVERIFY(b.Settled());
        QCOMPARE(b.Numbers(), byName);
        Click(b.Browser, "findClose");  // closing the find bar takes the filter away
        QVERIFY(b.Settled());
        QCOMPARE(b.Numbers(), QStringLiteral("1 6 2 4 3 5 7"));
    }

    // F4 shows the current record whole: names, types (each a name of its own), values, line breaks kept.
    void detailsShowTheCurrentRecord() {
        TableBuilder t;
        t.Version(0x30).Field("NOTE", 'C', 20).Field("COUNT", 'N', 3).Field("AMOUNT", 'N', 8, 2).Field("RATE", 'F', 8, 1).Field("PRICE", 'Y', 8, 4).Field("WHEN", 'T', 8).Field("STAMP", '@', 8).Field("RATIO", 'O', 8).Field("NEXT", '+', 4).Field("PIC", 'P', 4).Field("SHORT", 'V', 6).Field("RAW", 'Q', 6).Field("BLOB", 'W', 4).Field("REAL", 'B', 8).Field("ODD", 'X', 2).Record({"one\r\ntwo"}).Deleted({"gone\there", "7", "-1.5"});
        const TempDir dir;
        t.WriteTo(dir / "t.dbf");
        Browsed b(dir / "t.dbf");
        auto* details = ChildOf<QTextBrowser>(b.Browser, QStringLiteral("recordDetails"));
        QVERIFY(details->isHidden());
        QTest::keyClick(&b.View, Qt::Key_F4);
        QVERIFY(details->isVisible());
        b.View.setCurrentIndex(b.Order.index(0, 2));
        QString shown = details->toPlainText() + u'\n';
        b.View.setCurrentIndex(b.Order.index(1, 3));
        shown += details->toPlainText() + u'\n';
        b.View.selectionModel()->select(QItemSelection(b.Order.index(0, 2), b.Order.index(1, 2)), QItemSelectionModel::ClearAndSelect);
        b.Browser.CopyAction()->trigger();
        QVERIFY(MatchesGolden(shown + QGuiApplication::clipboard()->text(), "viewer/details.txt"));
        QTest::keyClick(&b.View, Qt::Key_F4);
        QVERIFY(details->isHidden());
    }

    // Memos of real tables: texts whole with their line breaks, binary ones as their size; the
    // find bar finds them as shown.
    void detailsShowMemos_data() { AddDataRows("viewer/memos.tsv"); }
    void detailsShowMemos() {
        auto [table, shown, found] = DataFields<3>();
        shown.replace(u'|', u'\n');
        if (!std::filesystem::exists(QUILLET_CORPUS_DIR)) QSKIP("no corpus at " QUILLET_CORPUS_DIR);
        Browsed b(QUILLET_CORPUS_DIR "/" + table.toStdString());
        ChildOf<QLineEdit>(b.Browser, QStringLiteral("findBox"))->setText(shown.section(u'\n', 1, 1));
        QVERIFY(b.Settled());
        QCOMPARE(b.Outcome(), found);
        b.Browser.DetailsAction()->trigger();
        b.View.setCurrentIndex(b.Order.index(0, 2));
        QVERIFY(ChildOf<QTextBrowser>(b.Browser, QStringLiteral("recordDetails"))->toPlainText().contains(shown));
    }

    // Ctrl+C: selected cells as tab-separated lines, titles first for whole columns, quotes
    // around cells a spreadsheet would otherwise split.
    void copiesSelectedCells() {
        Browsed b(Sample("customers.dbf"));
        const int name = b.Column(QStringLiteral("NAME"));
        const auto copied = [&b](const QItemSelection& cells) {
            b.View.selectionModel()->select(cells, QItemSelectionModel::ClearAndSelect);
            b.View.setFocus();
            QTest::keyClick(&b.View, Qt::Key_C, Qt::ControlModifier);
            return QGuiApplication::clipboard()->text();
        };
        const QString copies = copied(QItemSelection(b.Order.index(0, name), b.Order.index(1, name + 1))) +
                               copied(QItemSelection(b.Order.index(4, 0), b.Order.index(4, name)));
        b.View.clearSelection();
        for (const int column : {name + 2, name + 3}) b.ClickHeader(column, Qt::ControlModifier);  // whole columns, added
        QTest::keyClick(&b.View, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(MatchesGolden(copies + QGuiApplication::clipboard()->text() + b.Order.headerData(name + 2, Qt::Horizontal, Qt::ToolTipRole).toString() + u'\n', "viewer/copied.txt"));
    }

    // Sorting the list leaves the table as it is: a conversion writes table order.
    void sortedListConvertsInTableOrder() {
        WindowFixture f;
        const TempDir out;
        QVERIFY(f.Open(kSample));
        auto* list = ChildOf<QTableView>(*f.Window, QStringLiteral("recordView"));
        auto* order = qobject_cast<RecordOrderModel*>(list->model());
        order->CycleSort(order->ColumnOfField(0));
        order->CycleSort(order->ColumnOfField(0));
        QVERIFY(QTest::qWaitFor([order] { return !order->Busy(); }));
        QCOMPARE(order->index(0, 0).data().toString(), QStringLiteral("7"));
        f.Browse(out.Path());
        f.ChooseFormat(OutputFormat::Excel);
        QVERIFY(f.Convert());
        QVERIFY(ReadFileBytes(out / "customers.xls") == ReadFileBytes(QUILLET_TEST_DATA "/golden/customers.xls"));
    }
};

QTEST_MAIN(ViewerTest)
#include "viewer_test.moc"
