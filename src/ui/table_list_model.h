#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QStringList>
#include <string>

#include "table/open_table.h"

namespace quillet {

// The list's view of the open table: column 0 "Deleted" carries only the record's image, the
// other columns are the listed fields. Cells are made when the view asks for them, so a table of
// millions of records costs nothing here beyond its column titles.
class TableListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableListModel(QObject* parent = nullptr);

    // Shows table, which must stay alive and unchanged until the next call; nullptr shows nothing.
    void SetTable(const OpenTable* table, char decimalSeparator);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The two images of the "Deleted" column: image 1 marks a deleted record, image 2 a live one.
    static QPixmap DeletedImage();
    static QPixmap LiveImage();

private:
    QString CellString(int record, int field) const;
    bool IsBinary(int record, int field) const;

    const OpenTable* table_ = nullptr;
    char decimalSeparator_ = '.';
    QStringList titles_;
    QPixmap deletedImage_;
    QPixmap liveImage_;
    mutable std::string cellBytes_;
};

}  // namespace quillet
