#include "ui/columns_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>

namespace quillet {

ColumnsDialog::ColumnsDialog(const QStringList& names, const std::vector<std::uint8_t>& selected, QWidget* parent)
    : QDialog(parent), list_(new QListWidget) {
    setObjectName(QStringLiteral("ColumnsDialog"));
    setWindowTitle(tr("Columns"));
    list_->setObjectName(QStringLiteral("columnList"));
    list_->setUniformItemSizes(true);
    for (int i = 0; i < names.size(); ++i) {
        auto* entry = new QListWidgetItem(names[i], list_);
        entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        const bool checked = static_cast<std::size_t>(i) >= selected.size() || selected[static_cast<std::size_t>(i)] != 0;
        entry->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    list_->setCurrentRow(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* selectAll = new QPushButton(tr("Select &all"));
    auto* deselectAll = new QPushButton(tr("&Deselect all"));
    selectAll->setObjectName(QStringLiteral("selectAllButton"));
    deselectAll->setObjectName(QStringLiteral("deselectAllButton"));
    connect(selectAll, &QPushButton::clicked, this, [this] { markAll(true); });
    connect(deselectAll, &QPushButton::clicked, this, [this] { markAll(false); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(list_, 0, 0, 1, 2);
    grid->addWidget(buttons, 0, 2, 2, 1);
    grid->addWidget(selectAll, 1, 0);
    grid->addWidget(deselectAll, 1, 1);
    setTabOrder(buttons, list_);
    setTabOrder(list_, selectAll);
    setTabOrder(selectAll, deselectAll);
    list_->setFocus();
}

void ColumnsDialog::markAll(bool checked) {
    for (int k = 0; k < list_->count(); ++k) list_->item(k)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    list_->setCurrentRow(0);
}

std::vector<std::uint8_t> ColumnsDialog::selection() const {
    std::vector<std::uint8_t> marks;
    for (int k = 0; k < list_->count(); ++k) marks.push_back(list_->item(k)->checkState() == Qt::Checked ? 1 : 0);
    return marks;
}

}  // namespace quillet
