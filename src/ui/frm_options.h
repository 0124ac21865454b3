#pragma once

#include <QDialog>

#include "table/export_settings.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace quillet {

// "Options" of the delimited-text and CSV formats, shown right before such a conversion. Opens
// at its defaults every time; "Save" stores the four settings and lets the conversion go on.
class frmOptions final : public QDialog {
    Q_OBJECT
public:
    frmOptions(ExportSettings& settings, QWidget* parent = nullptr);

    void OKButton_Click();
    void CancelButton_Click();

private:
    void BuildControls();
    void Form_Load();

    ExportSettings& settings_;

    QFrame* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
};

}  // namespace quillet
