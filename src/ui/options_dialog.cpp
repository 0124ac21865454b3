#include "ui/options_dialog.h"

#include <QPushButton>

#include "ui/escape_presses.h"
#include "ui/twips.h"

namespace quillet {

OptionsDialog::OptionsDialog(ExportSettings& settings, QWidget* parent) : QDialog(parent), settings_(settings) {}

void OptionsDialog::AddSaveAndCancel(const TwipsLayout& layout) {
    OKButton = new QPushButton(QStringLiteral("Save"), this);
    layout.Place(OKButton, "OKButton", 3255, 120, 1215, 375);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    layout.Place(CancelButton, "CancelButton", 3255, 600, 1215, 375);
    PressOnEscape(*this, *CancelButton);

    connect(OKButton, &QPushButton::clicked, this, &OptionsDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &OptionsDialog::CancelButton_Click);
}

void OptionsDialog::OKButton_Click() {
    StoreChoices();
    settings_.OptionsAccepted = true;
    accept();
}

void OptionsDialog::CancelButton_Click() {
    StoreOnCancel();
    settings_.OptionsAccepted = false;
    reject();
}

}  // namespace quillet
