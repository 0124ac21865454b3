#include "ui/list_cell_delegate.h"

namespace quillet {

void ListCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    qsizetype end = option->text.size();
    while (end > 0 && option->text[end - 1] == u' ') --end;
    option->text.truncate(end);
}

}  // namespace quillet
