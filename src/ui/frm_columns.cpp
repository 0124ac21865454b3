#include "ui/frm_columns.h"

#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "ui/caption_font.h"
#include "ui/decoded_text.h"
#include "ui/twips.h"

namespace quillet {

namespace {

// A field name as the list shows it: without NUL and CR, which a name may carry from a damaged header.
std::string ListedName(std::string name) {
    std::erase_if(name, [](char c) { return c == '\0' || c == '\r'; });
    return name;
}

}  // namespace

frmColumns::frmColumns(OpenTable& table, QWidget* parent) : QDialog(parent), table_(table) {
    setObjectName(QStringLiteral("frmColumns"));
    setWindowTitle(QStringLiteral("Columns"));
    BuildControls();
    Form_Load();
}

void frmColumns::BuildControls() {
    const TwipsLayout layout(*this);
    setFixedSize(layout.Pixels(4935), layout.Pixels(3870));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    layout.Place(OKButton, "OKButton", 3615, 120, 1215, 375);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    layout.Place(CancelButton, "CancelButton", 3615, 600, 1215, 375);
    List1 = new QListWidget(this);
    layout.Place(List1, "List1", 120, 120, 3375, 3120);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setUniformItemSizes(true);
    Command1[1] = new QPushButton(QStringLiteral("Select all"), this);
    layout.Place(Command1[1], "Command1_1", 120, 3360, 1635, 375);
    Command1[0] = new QPushButton(QStringLiteral("Deselect all"), this);
    layout.Place(Command1[0], "Command1_0", 1860, 3360, 1635, 375);

    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, List1);
    setTabOrder(List1, Command1[1]);
    setTabOrder(Command1[1], Command1[0]);
    FitCaptions(this, {});

    connect(OKButton, &QPushButton::clicked, this, &frmColumns::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmColumns::CancelButton_Click);
    connect(Command1[1], &QPushButton::clicked, this, [this] { Command1_Click(1); });
    connect(Command1[0], &QPushButton::clicked, this, [this] { Command1_Click(0); });
}

void frmColumns::Form_Load() {
    // The list is built out of sight, so a wide table does not repaint it entry by entry.
    List1->setUpdatesEnabled(false);
    List1->clear();
    const bool setUp = !table_.ColumnSelected.empty();
    for (std::size_t i = 0; i < table_.FieldNames.size(); ++i) {
        const std::string name = ListedName(table_.FieldNames[i]);
        if (name.empty()) break;
        auto* entry = new QListWidgetItem(Decoded(*table_.TableCodePage, name), List1);
        entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        const bool checked = !setUp || (i < table_.ColumnSelected.size() && table_.ColumnSelected[i] != 0);
        entry->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    if (List1->count() > 0) List1->setCurrentRow(0);
    List1->setUpdatesEnabled(true);
    if (!setUp) table_.ColumnSelected.assign(static_cast<std::size_t>(List1->count()), 1);
}

void frmColumns::Command1_Click(int index) {
    List1->setUpdatesEnabled(false);
    for (int k = 0; k < List1->count(); ++k) List1->item(k)->setCheckState(index != 0 ? Qt::Checked : Qt::Unchecked);
    if (List1->count() > 0) List1->setCurrentRow(0);
    List1->setUpdatesEnabled(true);
}

void frmColumns::OKButton_Click() {
    const auto count = static_cast<std::size_t>(List1->count());
    table_.ColumnSelected.resize(std::max(count, table_.ColumnSelected.size()));
    for (std::size_t i = 0; i < count; ++i) {
        table_.ColumnSelected[i] = List1->item(static_cast<int>(i))->checkState() == Qt::Checked ? 1 : 0;
    }
    accept();
}

void frmColumns::CancelButton_Click() { reject(); }

}  // namespace quillet
