#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>

#include "table/open_table.h"
#include "ui/record_search.h"

class QAbstractItemModel;
class QAction;
class QItemSelectionModel;
class QProgressBar;
class QSplitter;
class QTableView;
class QTextBrowser;
class QTimer;

namespace quillet {

class FindBar;
class RecordOrderModel;

// The records as the user browses them: the list in the order they chose (sort by a header
// click, filter), the find bar, the details panel beside the list, and copying cells. The
// window puts it where the list goes and its actions into its menus.
class RecordBrowser final : public QWidget {
    Q_OBJECT
public:
    // source shows the table: column 0 marks deleted records, column 1 + f is field f.
    explicit RecordBrowser(QAbstractItemModel* source, QWidget* parent = nullptr);

    QTableView* View() const { return view_; }
    RecordOrderModel* Order() const { return order_; }
    // Once source shows table (nullptr: none): file order, no filter, columns fitted to their
    // first rows. Stops any work on the table before; call it with nullptr before the table goes.
    void SetTable(const OpenTable* table, char decimalSeparator);
    // "12 of 1,000 records" while a filter hides some; otherwise nothing.
    QString FilterText() const;

    // Find (Ctrl+F), next and previous match (F3, Shift+F3), the details panel (F4, checkable),
    // copy the selected cells (Ctrl+C, while the list has the focus).
    QAction* FindAction() const { return findAction_; }
    QAction* FindNextAction() const { return findNextAction_; }
    QAction* FindPreviousAction() const { return findPreviousAction_; }
    QAction* DetailsAction() const { return detailsAction_; }
    QAction* CopyAction() const { return copyAction_; }

signals:
    void filterTextChanged(const QString& text);

private:
    void FitColumns();
    void StartFind();
    void TakeMatches(std::vector<std::uint16_t> counts);
    void Step(bool backward);
    void Go(CellPlace from, bool backward);
    void ShowCurrent();
    void Arranged();
    void Copy();

    RecordOrderModel* order_;
    QTableView* view_;
    FindBar* findBar_;
    QTextBrowser* details_;
    QSplitter* splitter_;
    QProgressBar* progress_;
    QTimer* progressDelay_;
    QAction* findAction_;
    QAction* findNextAction_;
    QAction* findPreviousAction_;
    QAction* detailsAction_;
    QAction* copyAction_;

    std::optional<MatchWalk> matches_;
    TextQuery findQuery_;
    int pendingStep_ = 0;               // +1 next, -1 previous, asked while the matches were counted
    std::int64_t currentRecord_ = -1;   // kept across a filter, which takes every row away
    int currentColumn_ = 0;
};

// The selected cells as tab-separated lines in view order, with the columns' titles first when
// whole columns are selected; cells holding tabs, line breaks or quotes are quoted as
// spreadsheets read them.
QString SelectedCellsText(const QAbstractItemModel& model, const QItemSelectionModel& selection);

}  // namespace quillet
