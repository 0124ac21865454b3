#include "ui/frm_options_rtf.h"

#include <QCheckBox>
#include <QPushButton>

#include "ui/caption_font.h"
#include "ui/escape_presses.h"
#include "ui/twips.h"

namespace quillet {

frmOptionsRtf::frmOptionsRtf(ExportSettings& settings, QWidget* parent) : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("frmOptionsRtf"));
    setWindowTitle(QStringLiteral("RTF Options"));
    BuildControls();
}

void frmOptionsRtf::BuildControls() {
    const int dpi = logicalDpiY();
    const auto place = [dpi](QWidget* widget, const char* name, int left, int top, int width, int height) {
        widget->setObjectName(QString::fromLatin1(name));
        PlaceInTwips(widget, left, top, width, height, dpi);
    };
    setFixedSize(TwipsToPixels(4575, dpi), TwipsToPixels(1095, dpi));

    Check1 = new QCheckBox(QStringLiteral("Include header"), this);
    place(Check1, "Check1", 240, 165, 2790, 285);
    Check1->setChecked(true);
    OKButton = new QPushButton(QStringLiteral("Save"), this);
    place(OKButton, "OKButton", 3255, 120, 1215, 375);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    place(CancelButton, "CancelButton", 3255, 600, 1215, 375);
    PressOnEscape(*this, *CancelButton);

    setTabOrder(Check1, OKButton);
    setTabOrder(OKButton, CancelButton);
    FitCaptions(this, {});

    connect(OKButton, &QPushButton::clicked, this, &frmOptionsRtf::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmOptionsRtf::CancelButton_Click);
}

void frmOptionsRtf::OKButton_Click() {
    settings_.RtfIncludeHeader = Check1->isChecked();
    settings_.OptionsAccepted = true;
    accept();
}

void frmOptionsRtf::CancelButton_Click() {
    settings_.RtfIncludeHeader = Check1->isChecked();
    settings_.OptionsAccepted = false;
    reject();
}

}  // namespace quillet
