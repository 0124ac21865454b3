#pragma once

#include <QDialog>

#include "table/export_settings.h"

class QCheckBox;
class QPushButton;

namespace quillet {

// "RTF Options": whether the document's table starts with a header row. Both buttons store the
// check box; "Save" lets the conversion go on, "Cancel" drops it.
class frmOptionsRtf final : public QDialog {
    Q_OBJECT
public:
    frmOptionsRtf(ExportSettings& settings, QWidget* parent = nullptr);

    void OKButton_Click();
    void CancelButton_Click();

private:
    void BuildControls();

    ExportSettings& settings_;

    QCheckBox* Check1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
};

}  // namespace quillet
