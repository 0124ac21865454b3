#include "ui/record_order_model.h"

#include <QtConcurrent/QtConcurrentRun>

#include "table/table_stream.h"
#include "ui/field_facts.h"
#include "ui/record_sort.h"

namespace quillet {

RecordOrderModel::RecordOrderModel(QObject* parent) : QAbstractProxyModel(parent) {
    pool_.setMaxThreadCount(3);  // a sort, a filter and a find at once; each splits its own work in two
    WhenDone(sortJob_, &RecordOrderModel::ApplySort);
    WhenDone(filterJob_, &RecordOrderModel::ApplyFilter);
    WhenDone(findJob_, &RecordOrderModel::matchesCounted);
}

RecordOrderModel::~RecordOrderModel() { StopJobs(); }

void RecordOrderModel::setSourceModel(QAbstractItemModel* source) {
    beginResetModel();
    if (sourceModel() != nullptr) disconnect(sourceModel(), nullptr, this, nullptr);
    QAbstractProxyModel::setSourceModel(source);
    // The jobs read the table: they stop before the source lets go of it.
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        beginResetModel();
        StopJobs();
        table_ = nullptr;
        ClearOrder();
    });
    connect(source, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
    ClearOrder();
    endResetModel();
}

void RecordOrderModel::SetTable(const OpenTable* table, char decimalSeparator) {
    beginResetModel();
    StopJobs();
    ClearOrder();
    table_ = table;
    decimalSeparator_ = decimalSeparator;
    endResetModel();
    emit arranged();
}

void RecordOrderModel::ClearOrder() {
    sortColumn_ = -1;
    descending_ = false;
    sorted_.clear();
    shown_.clear();
    fileOrder_ = true;
    rows_.clear();
    rowOf_.clear();
}

void RecordOrderModel::StopJobs() {
    sortJob_.future().cancel();
    filterJob_.future().cancel();
    findJob_.future().cancel();
    pool_.waitForDone();
    pending_.clear();
}

int RecordOrderModel::FieldOfColumn(int column) const {
    const int field = column - kFirstFieldColumn;
    return table_ != nullptr && field >= 0 && field < table_->ColumnCount ? field : -1;
}

std::int64_t RecordOrderModel::RecordAt(int row) const {
    return fileOrder_ ? row : rows_[static_cast<std::size_t>(row)];
}

int RecordOrderModel::RowOf(std::int64_t record) const {
    if (fileOrder_) return record < rowCount() ? static_cast<int>(record) : -1;
    if (rowOf_.empty()) {
        rowOf_.assign(shown_.empty() ? rows_.size() : shown_.size(), -1);
        for (std::size_t row = 0; row < rows_.size(); ++row) rowOf_[static_cast<std::size_t>(rows_[row])] = static_cast<std::int32_t>(row);
    }
    return rowOf_[static_cast<std::size_t>(record)];
}

void RecordOrderModel::CycleSort(int column) {
    const int field = FieldOfColumn(column);
    if (field < 0 && column != kNumberColumn) return;
    if (field >= 0 && column != sortColumn_) {
        sortColumn_ = column;
        descending_ = false;
    } else if (field >= 0 && !descending_) {
        descending_ = true;
    } else {
        sortJob_.future().cancel();
        sortColumn_ = -1;
        descending_ = false;
        ApplySort({});
        return;
    }
    Start(sortJob_, [field, descending = descending_](const OpenTable& table, const JobSteps& steps) {
        return SortRecords(table, field, descending, QLocale(), steps);
    });
}

void RecordOrderModel::SetFilter(const TextQuery& query) {
    filterJob_.future().cancel();
    if (query.Text.isEmpty() || table_ == nullptr) {
        ApplyFilter({});
        return;
    }
    Start(filterJob_, [query, separator = decimalSeparator_](const OpenTable& table, const JobSteps& steps) {
        return CountMatches(table, query, separator, steps);
    });
}

void RecordOrderModel::CountMatchesOf(const TextQuery& query) {
    findJob_.future().cancel();
    if (query.Text.isEmpty() || table_ == nullptr) return;
    Start(findJob_, [query, separator = decimalSeparator_](const OpenTable& table, const JobSteps& steps) {
        return CountMatches(table, query, separator, steps);
    });
}

template <typename Result, typename Work>
void RecordOrderModel::Start(QFutureWatcher<std::optional<Result>>& job, Work work) {
    // The job reads the table on its own, while the list goes on showing it.
    const auto table = std::make_shared<const TableForThread>(*table_);
    job.setFuture(QtConcurrent::run(&pool_, [work, table](QPromise<std::optional<Result>>& promise) {
        promise.setProgressRange(0, 1000);
        const JobSteps steps = [&promise](int permille) {
            promise.setProgressValue(permille);
            return !promise.isCanceled();
        };
        // Out of memory, or the file cut short since it was opened: the order stays as it was.
        try {
            promise.addResult(work(table->Table(), steps));
        } catch (...) {
            promise.addResult(std::optional<Result>());
        }
    }));
    pending_.insert(&job);
    emit busyChanged(true);
}

template <typename Result>
void RecordOrderModel::WhenDone(QFutureWatcher<std::optional<Result>>& job, void (RecordOrderModel::*apply)(Result)) {
    connect(&job, &QFutureWatcherBase::finished, this, [this, &job, apply] {
        pending_.remove(&job);
        QFuture<std::optional<Result>> future = job.future();
        if (!future.isCanceled() && future.resultCount() > 0) {
            if (std::optional<Result> result = future.takeResult()) (this->*apply)(std::move(*result));
        }
        emit busyChanged(Busy());
    });
    connect(&job, &QFutureWatcherBase::progressValueChanged, this, &RecordOrderModel::progress);
}

void RecordOrderModel::ApplySort(std::vector<std::int32_t> order) {
    sorted_ = std::move(order);
    Arrange();
}

void RecordOrderModel::ApplyFilter(std::vector<std::uint16_t> counts) {
    shown_ = std::move(counts);
    Arrange();
}

// Same number of rows: a new layout, the view keeping its current record and selection. A
// filter that changes the count removes every row and inserts the new ones, as a reset would
// forget the columns' widths.
void RecordOrderModel::Arrange() {
    const bool fileOrder = sorted_.empty() && shown_.empty();
    std::vector<std::int32_t> rows;
    if (!fileOrder) {
        const auto count = static_cast<std::int32_t>(std::max(sorted_.size(), shown_.size()));
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t record = sorted_.empty() ? i : sorted_[static_cast<std::size_t>(i)];
            if (shown_.empty() || shown_[static_cast<std::size_t>(record)] != 0) rows.push_back(record);
        }
    }
    const int before = rowCount();
    const int after = fileOrder ? sourceModel()->rowCount() : static_cast<int>(rows.size());
    if (before == after) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList from = persistentIndexList();
        std::vector<std::int64_t> records;
        for (const QModelIndex& index : from) records.push_back(RecordAt(index.row()));
        fileOrder_ = fileOrder;
        rows_ = std::move(rows);
        rowOf_.clear();
        QModelIndexList to;
        for (qsizetype i = 0; i < from.size(); ++i) {
            const int row = RowOf(records[static_cast<std::size_t>(i)]);
            to.append(row < 0 ? QModelIndex() : index(row, from[i].column()));
        }
        changePersistentIndexList(from, to);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    } else {
        if (before > 0) {
            beginRemoveRows({}, 0, before - 1);
            fileOrder_ = false;
            rows_.clear();
            endRemoveRows();
        }
        if (after > 0) beginInsertRows({}, 0, after - 1);
        fileOrder_ = fileOrder;
        rows_ = std::move(rows);
        rowOf_.clear();
        if (after > 0) endInsertRows();
    }
    emit arranged();
}

int RecordOrderModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || sourceModel() == nullptr) return 0;
    return fileOrder_ ? sourceModel()->rowCount() : static_cast<int>(rows_.size());
}

int RecordOrderModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || sourceModel() == nullptr || sourceModel()->columnCount() == 0) return 0;
    return sourceModel()->columnCount() + 1;
}

QModelIndex RecordOrderModel::index(int row, int column, const QModelIndex& parent) const {
    return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
}

QModelIndex RecordOrderModel::parent(const QModelIndex&) const { return {}; }

QModelIndex RecordOrderModel::mapToSource(const QModelIndex& proxyIndex) const {
    if (!proxyIndex.isValid() || proxyIndex.column() == kNumberColumn) return {};
    return sourceModel()->index(static_cast<int>(RecordAt(proxyIndex.row())), proxyIndex.column() - 1);
}

QModelIndex RecordOrderModel::mapFromSource(const QModelIndex& sourceIndex) const {
    const int row = sourceIndex.isValid() ? RowOf(sourceIndex.row()) : -1;
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column() + 1);
}

QVariant RecordOrderModel::data(const QModelIndex& index, int role) const {
    if (index.column() != kNumberColumn) return QAbstractProxyModel::data(index, role);
    if (role == Qt::DisplayRole) return QString::number(RecordAt(index.row()) + 1);
    if (role == Qt::TextAlignmentRole) return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant RecordOrderModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return QAbstractProxyModel::headerData(section, orientation, role);
    if (section == kNumberColumn) {
        if (role == Qt::DisplayRole) return QStringLiteral("#");
        if (role == Qt::ToolTipRole) return tr("The record's number in the file");
        return {};
    }
    const int field = FieldOfColumn(section);
    if (role == Qt::ToolTipRole && field >= 0) return FieldFacts(*table_, field);
    return sourceModel()->headerData(section - 1, orientation, role);
}

Qt::ItemFlags RecordOrderModel::flags(const QModelIndex& index) const {
    if (index.isValid() && index.column() == kNumberColumn) return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return QAbstractProxyModel::flags(index);
}

}  // namespace quillet
