#include "ui/table_list_model.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <limits>

#include "table/cell_text.h"
#include "table/table_error.h"
#include "ui/decoded_text.h"

namespace quillet {

TableListModel::TableListModel(QObject* parent)
    : QAbstractTableModel(parent), deletedImage_(DeletedImage()), liveImage_(LiveImage()) {}

QPixmap TableListModel::DeletedImage() {
    return QPixmap(QStringLiteral(":/quillet/deleted.png"));
}

QPixmap TableListModel::LiveImage() {
    return QPixmap(QStringLiteral(":/quillet/live.png"));
}

void TableListModel::SetTable(const OpenTable* table, char decimalSeparator) {
    beginResetModel();
    table_ = table;
    decimalSeparator_ = decimalSeparator;
    titles_.clear();
    if (table_ != nullptr) {
        titles_.append(QStringLiteral("Deleted"));
        for (int field = 0; field < table_->ColumnCount; ++field) {
            titles_.append(Decoded(*table_->TableCodePage, table_->FieldNames[static_cast<std::size_t>(field)]));
        }
    }
    endResetModel();
}

int TableListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || table_ == nullptr) return 0;
    // A view holds at most INT_MAX rows; a dBASE table may hold up to 2^32 - 1 records. The list
    // then ends early, while exports still take every record.
    return static_cast<int>(std::min<std::int64_t>(table_->RecordCount(), std::numeric_limits<int>::max()));
}

int TableListModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(titles_.size());
}

QString TableListModel::CellString(int record, int field) const {
    const CellValue cell = table_->Cell(record, field);
    if (cell.Kind == CellKind::Binary) return QString::fromStdString(BinaryCellText(cell.ByteSize));
    cellBytes_.clear();
    AppendCellText(cellBytes_, cell, decimalSeparator_);
    return Decoded(*table_->TableCodePage, cellBytes_);
}

bool TableListModel::IsBinary(int record, int field) const {
    // Only memo and varying fields hold binary cells; the others need not be looked at.
    const FieldStorage storage = table_->Fields[static_cast<std::size_t>(field)].Storage;
    return (storage == FieldStorage::Memo || storage == FieldStorage::Varying) && table_->Cell(record, field).Kind == CellKind::Binary;
}

QVariant TableListModel::data(const QModelIndex& index, int role) const {
    if (table_ == nullptr || !index.isValid()) return {};
    const int record = index.row();
    try {
        HoldRecord(*table_, record);
    } catch (const TableError&) {
        return {};  // a file cut short since it was opened: its lost records show empty
    }
    if (index.column() == 0) {
        if (role == Qt::DecorationRole) return table_->IsDeleted(record) ? deletedImage_ : liveImage_;
        return {};
    }
    const int field = index.column() - 1;
    switch (role) {
    case Qt::DisplayRole:
        return CellString(record, field);
    case Qt::TextAlignmentRole: {
        const bool number = table_->Fields[static_cast<std::size_t>(field)].Storage == FieldStorage::Number;
        return static_cast<int>(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    case Qt::ForegroundRole:
        // A binary cell shows its size, not its content: muted, so it does not read as text.
        if (IsBinary(record, field)) return QGuiApplication::palette().color(QPalette::PlaceholderText);
        return {};
    default:
        return {};
    }
}

QVariant TableListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= titles_.size()) return {};
    return titles_[section];
}

}  // namespace quillet
