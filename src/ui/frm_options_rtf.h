#pragma once

#include "ui/options_dialog.h"

class QCheckBox;

namespace quillet {

// "RTF Options": whether the document's table starts with a header row. Both buttons store the
// check box; "Save" lets the conversion go on, "Cancel" drops it.
class frmOptionsRtf final : public OptionsDialog {
    Q_OBJECT
public:
    frmOptionsRtf(ExportSettings& settings, QWidget* parent = nullptr);

private:
    void BuildControls();
    void StoreChoices() override;
    void StoreOnCancel() override { StoreChoices(); }

    QCheckBox* Check1 = nullptr;
};

}  // namespace quillet
