#include "ui/frm_ops_htm.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "ui/caption_font.h"
#include "ui/color_swatch.h"
#include "ui/twips.h"

namespace quillet {

std::string HtmlColorOf(const QColor& color) {
    return color.name(QColor::HexRgb).mid(1).toUpper().toStdString();
}

frmOpsHtm::frmOpsHtm(Platform& platform, ExportSettings& settings, QWidget* parent)
    : OptionsDialog(settings, parent), platform_(platform) {
    setObjectName(QStringLiteral("frmOpsHtm"));
    setWindowTitle(QStringLiteral("Html Options"));
    BuildControls();
}

void frmOpsHtm::BuildControls() {
    const TwipsLayout layout(*this);
    setFixedSize(layout.Pixels(4575), layout.Pixels(2055));

    Picture2[0] = new ColorSwatch(Qt::black, this);
    layout.Place(Picture2[0], "Picture2_0", 240, 240, 375, 375);
    Label1 = new QLabel(QStringLiteral("Text Color"), this);
    layout.Place(Label1, "Label1", 735, 300, 2295, 255);
    Picture2[1] = new ColorSwatch(Qt::white, this);
    layout.Place(Picture2[1], "Picture2_1", 240, 780, 375, 375);
    Label2 = new QLabel(QStringLiteral("Background Color"), this);
    layout.Place(Label2, "Label2", 735, 840, 2295, 255);
    Check1 = new QCheckBox(QStringLiteral("Include header"), this);
    layout.Place(Check1, "Check1", 240, 1380, 2790, 285);
    Check1->setChecked(true);
    AddSaveAndCancel(layout);

    setTabOrder(Picture2[0], Picture2[1]);
    setTabOrder(Picture2[1], Check1);
    setTabOrder(Check1, OKButton);
    setTabOrder(OKButton, CancelButton);
    FitCaptions(this, {Label1, Label2});
    // A swatch with the focus wears a dotted frame; the dialog opens looking as it is, on "Save".
    OKButton->setFocus();

    connect(Picture2[0], &ColorSwatch::Clicked, this, [this] { Picture2_Click(0); });
    connect(Picture2[1], &ColorSwatch::Clicked, this, [this] { Picture2_Click(1); });
}

void frmOpsHtm::Picture2_Click(int index) {
    if (const std::optional<QColor> chosen = platform_.ChooseColor(this, Picture2[index]->Color())) {
        Picture2[index]->SetColor(*chosen);
    }
}

void frmOpsHtm::StoreChoices() {
    settings_.Html.BackColor = HtmlColorOf(Picture2[1]->Color());
    settings_.Html.TextColor = HtmlColorOf(Picture2[0]->Color());
    settings_.Html.IncludeHeader = Check1->isChecked();
}

}  // namespace quillet
