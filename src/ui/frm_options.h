#pragma once

#include "ui/options_dialog.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;

namespace quillet {

// "Options" of the delimited-text and CSV formats, shown right before such a conversion. Opens
// at its defaults every time; "Save" stores the four settings and lets the conversion go on.
class frmOptions final : public OptionsDialog {
    Q_OBJECT
public:
    frmOptions(ExportSettings& settings, QWidget* parent = nullptr);

private:
    void BuildControls();
    void Form_Load();
    void StoreChoices() override;

    QFrame* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
};

}  // namespace quillet
