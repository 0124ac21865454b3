#pragma once

#include <QStyledItemDelegate>

namespace quillet {

// Draws a cell without the blanks that pad it to its field's width: the text stays exact in the
// model, but "Ana" in a 24-byte field should not end in an ellipsis of blanks.
class ListCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace quillet
