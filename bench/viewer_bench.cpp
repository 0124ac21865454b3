// The viewer's answers on a table, for bench/run.sh: reads TABLE, shows it in the record
// browser (offscreen there) and prints, one line each, the milliseconds until the view shows it
// and the process's CPU milliseconds meanwhile (both cores count), for:
//   sort_text    sorted by NAME (a thousand distinct names)
//   sort_uniq    sorted by NOTE (texts nearly all distinct: a collation key each)
//   sort_num     sorted by AMOUNT
//   find_last         the current cell on a value only the last record holds
//   filter            only the records holding "Paris"
// Needs the fields of ../shared/bench/make_table.py's tables.
//     quillet-viewer-bench TABLE
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <time.h>

#include "table/cell_text.h"
#include "table/table_stream.h"
#include "ui/main_window.h"
#include "ui/record_browser.h"
#include "ui/record_order_model.h"
#include "ui/table_list_model.h"

using namespace quillet;

namespace {

int FieldNamed(const OpenTable& table, const std::string& name) {
    for (int field = 0; field < table.ColumnCount; ++field) {
        if (table.FieldNames[static_cast<std::size_t>(field)] == name) return field;
    }
    std::fprintf(stderr, "the table has no field %s\n", name.c_str());
    std::exit(2);
}

long long CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}

// Since Start: the wall and CPU milliseconds until done() holds after one of object's signal.
struct Clock {
    QElapsedTimer Wall;
    long long Cpu = 0;
    void Start() {
        Cpu = CpuMs();
        Wall.start();
    }
    template <typename Sender, typename Signal>
    void Print(const char* label, const Sender* object, Signal signal, const std::function<bool()>& done) {
        QEventLoop loop;
        QObject::connect(object, signal, &loop, [&] {
            if (done()) loop.quit();
        });
        if (!done()) loop.exec();
        std::printf("%s %lld %lld\n", label, static_cast<long long>(Wall.elapsed()), CpuMs() - Cpu);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Text sorts by the locale's collation; the C locale (bench/run.sh's) would compare code points.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillet-viewer-bench TABLE\n");
        return 2;
    }
    // Read as the desktop program reads it: a window at a time around what the list shows.
    TableStream stream(argv[1], MainWindow::kListWindowBytes);
    OpenTable& table = stream.Table();
    table.ListColumns();
    TableListModel model;
    model.SetTable(&table, '.');
    RecordBrowser browser(&model);
    browser.resize(1200, 800);
    browser.show();
    browser.SetTable(&table, '.');
    RecordOrderModel& order = *browser.Order();
    Clock clock;

    for (const auto& [label, field] : {std::pair{"sort_text", "NAME"}, {"sort_uniq", "NOTE"}, {"sort_num", "AMOUNT"}}) {
        clock.Start();
        order.CycleSort(order.ColumnOfField(FieldNamed(table, field)));
        clock.Print(label, &order, &RecordOrderModel::busyChanged, [&] { return !order.Busy(); });
        order.CycleSort(RecordOrderModel::kNumberColumn);
    }

    const std::int64_t last = table.RecordCount() - 1;
    HoldRecord(table, last);
    const std::string value = CellText(table.Cell(last, FieldNamed(table, "AMOUNT")), '.');
    const auto count = CountMatches(table, {QString::fromStdString(value), false, true, -1}, '.', [](int) { return true; });
    if (std::count_if(count->begin(), count->end(), [](std::uint16_t n) { return n != 0; }) != 1) {
        std::fprintf(stderr, "%s is not the last record's alone\n", value.c_str());
        return 1;
    }
    browser.findChild<QCheckBox*>(QStringLiteral("wholeCell"))->setChecked(true);
    QTableView& view = *browser.View();
    clock.Start();
    browser.findChild<QLineEdit*>(QStringLiteral("findBox"))->setText(QString::fromStdString(value));
    clock.Print("find_last", view.selectionModel(), &QItemSelectionModel::currentChanged,
                [&] { return view.currentIndex().row() == static_cast<int>(last); });

    browser.findChild<QLineEdit*>(QStringLiteral("findBox"))->clear();
    browser.findChild<QCheckBox*>(QStringLiteral("wholeCell"))->setChecked(false);
    clock.Start();
    browser.findChild<QLineEdit*>(QStringLiteral("filterBox"))->setText(QStringLiteral("Paris"));
    clock.Print("filter", &order, &RecordOrderModel::busyChanged, [&] { return order.Filtered() && !order.Busy(); });
    std::fprintf(stderr, "%s\n", qPrintable(browser.FilterText()));
    return 0;
}
