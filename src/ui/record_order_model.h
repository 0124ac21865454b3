#pragma once

#include <QAbstractProxyModel>
#include <QFutureWatcher>
#include <QSet>
#include <QThreadPool>
#include <cstdint>
#include <optional>
#include <vector>

#include "table/open_table.h"
#include "ui/record_search.h"

namespace quillet {

// The list's records in the order the user chose: sorted by a column, filtered by a text, or in
// file order. A "#" column in front gives each record's number in the file. The order is a
// vector of record numbers built off the GUI thread; the table itself is never reordered, so
// exports keep table order.
//
// The source model shows the table: column 0 marks deleted records, column 1 + f is field f.
class RecordOrderModel final : public QAbstractProxyModel {
    Q_OBJECT
public:
    static constexpr int kNumberColumn = 0;

    explicit RecordOrderModel(QObject* parent = nullptr);
    ~RecordOrderModel() override;

    void setSourceModel(QAbstractItemModel* source) override;
    // The table the source model shows (nullptr: none), after the source has been given it.
    // Starts in file order, unfiltered. A source reset drops the table until this is called again.
    void SetTable(const OpenTable* table, char decimalSeparator);
    const OpenTable* Table() const { return table_; }
    char DecimalSeparator() const { return decimalSeparator_; }

    // The field a column shows; -1 for "#" and the deleted marks.
    int FieldOfColumn(int column) const;
    int ColumnOfField(int field) const { return field + kFirstFieldColumn; }
    std::int64_t RecordAt(int row) const;
    int RowOf(std::int64_t record) const;  // -1 when the filter hides it

    // A click on a column's header: sorted ascending, again descending, a third time file order;
    // "#" goes back to file order at once.
    void CycleSort(int column);
    int SortColumn() const { return sortColumn_; }  // -1: file order
    Qt::SortOrder SortOrder() const { return descending_ ? Qt::DescendingOrder : Qt::AscendingOrder; }
    // Keeps the records with a cell matching query; an empty text shows every record.
    void SetFilter(const TextQuery& query);
    bool Filtered() const { return !shown_.empty(); }
    // Counts each record's cells matching query; matchesCounted follows unless asked again first.
    void CountMatchesOf(const TextQuery& query);
    // Whether a sort, filter or count has started and not yet been applied.
    bool Busy() const { return !pending_.isEmpty(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void arranged();  // the rows were sorted or filtered anew
    void busyChanged(bool busy);
    void progress(int permille);
    void matchesCounted(std::vector<std::uint16_t> counts);  // per record, file order

private:
    static constexpr int kFirstFieldColumn = 2;

    template <typename Result, typename Work>
    void Start(QFutureWatcher<std::optional<Result>>& job, Work work);
    template <typename Result>
    void WhenDone(QFutureWatcher<std::optional<Result>>& job, void (RecordOrderModel::*apply)(Result));
    void ApplySort(std::vector<std::int32_t> order);
    void ApplyFilter(std::vector<std::uint16_t> counts);
    void StopJobs();
    void ClearOrder();
    void Arrange();

    const OpenTable* table_ = nullptr;
    char decimalSeparator_ = '.';
    int sortColumn_ = -1;
    bool descending_ = false;
    std::vector<std::int32_t> sorted_;  // records in sorted order; empty: file order
    std::vector<std::uint16_t> shown_;  // per record, not 0 where the filter keeps it; empty: no filter
    bool fileOrder_ = true;             // rows are records, rows_ unused
    std::vector<std::int32_t> rows_;
    mutable std::vector<std::int32_t> rowOf_;  // rows_ inverted, made when first asked

    QThreadPool pool_;
    QSet<const QFutureWatcherBase*> pending_;
    QFutureWatcher<std::optional<std::vector<std::int32_t>>> sortJob_;
    QFutureWatcher<std::optional<std::vector<std::uint16_t>>> filterJob_;
    QFutureWatcher<std::optional<std::vector<std::uint16_t>>> findJob_;
};

}  // namespace quillet
