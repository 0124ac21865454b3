#include "ui/frm_ops_htm.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "ui/caption_font.h"
#include "ui/escape_presses.h"
#include "ui/color_swatch.h"
#include "ui/twips.h"

namespace quillet {

std::string HtmlColorOf(const QColor& color) {
    return color.name(QColor::HexRgb).mid(1).toUpper().toStdString();
}

frmOpsHtm::frmOpsHtm(Platform& platform, ExportSettings& settings, QWidget* parent)
    : QDialog(parent), platform_(platform), settings_(settings) {
    setObjectName(QStringLiteral("frmOpsHtm"));
    setWindowTitle(QStringLiteral("Html Options"));
    BuildControls();
}

void frmOpsHtm::BuildControls() {
    const int dpi = logicalDpiY();
    const auto place = [dpi](QWidget* widget, const char* name, int left, int top, int width, int height) {
        widget->setObjectName(QString::fromLatin1(name));
        PlaceInTwips(widget, left, top, width, height, dpi);
    };
    setFixedSize(TwipsToPixels(4575, dpi), TwipsToPixels(2055, dpi));

    Picture2[0] = new ColorSwatch(Qt::black, this);
    place(Picture2[0], "Picture2_0", 240, 240, 375, 375);
    Label1 = new QLabel(QStringLiteral("Text Color"), this);
    place(Label1, "Label1", 735, 300, 2295, 255);
    Picture2[1] = new ColorSwatch(Qt::white, this);
    place(Picture2[1], "Picture2_1", 240, 780, 375, 375);
    Label2 = new QLabel(QStringLiteral("Background Color"), this);
    place(Label2, "Label2", 735, 840, 2295, 255);
    Check1 = new QCheckBox(QStringLiteral("Include header"), this);
    place(Check1, "Check1", 240, 1380, 2790, 285);
    Check1->setChecked(true);

    OKButton = new QPushButton(QStringLiteral("Save"), this);
    place(OKButton, "OKButton", 3255, 120, 1215, 375);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    place(CancelButton, "CancelButton", 3255, 600, 1215, 375);
    PressOnEscape(*this, *CancelButton);

    setTabOrder(Picture2[0], Picture2[1]);
    setTabOrder(Picture2[1], Check1);
    setTabOrder(Check1, OKButton);
    setTabOrder(OKButton, CancelButton);
    FitCaptions(this, {Label1, Label2});
    // A swatch with the focus wears a dotted frame; the dialog opens looking as it is, on "Save".
    OKButton->setFocus();

    connect(Picture2[0], &ColorSwatch::Clicked, this, [this] { Picture2_Click(0); });
    connect(Picture2[1], &ColorSwatch::Clicked, this, [this] { Picture2_Click(1); });
    connect(OKButton, &QPushButton::clicked, this, &frmOpsHtm::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmOpsHtm::CancelButton_Click);
}

void frmOpsHtm::Picture2_Click(int index) {
    if (const std::optional<QColor> chosen = platform_.ChooseColor(this, Picture2[index]->Color())) {
        Picture2[index]->SetColor(*chosen);
    }
}

void frmOpsHtm::OKButton_Click() {
    settings_.OptionsAccepted = true;
    settings_.HtmlBackColor = HtmlColorOf(Picture2[1]->Color());
    settings_.HtmlTextColor = HtmlColorOf(Picture2[0]->Color());
    settings_.HtmlIncludeHeader = Check1->isChecked();
    accept();
}

void frmOpsHtm::CancelButton_Click() {
    settings_.OptionsAccepted = false;
    reject();
}

}  // namespace quillet
