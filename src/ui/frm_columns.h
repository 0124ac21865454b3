#pragma once

#include <QDialog>

#include "table/open_table.h"

class QListWidget;
class QPushButton;

namespace quillet {

// "Columns": which of the open table's listed columns the next conversions write. Shows the
// choice stored last; only OK stores the marks into the table's ColumnSelected.
class frmColumns final : public QDialog {
    Q_OBJECT
public:
    explicit frmColumns(OpenTable& table, QWidget* parent = nullptr);

    // Index 1 "Select all" checks every entry, index 0 "Deselect all" clears every entry.
    void Command1_Click(int index);
    void OKButton_Click();
    void CancelButton_Click();

private:
    void BuildControls();
    void Form_Load();

    OpenTable& table_;

    QListWidget* List1 = nullptr;
    QPushButton* Command1[2] = {};
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
};

}  // namespace quillet
