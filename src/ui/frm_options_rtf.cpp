#include "ui/frm_options_rtf.h"

#include <QCheckBox>
#include <QPushButton>

#include "ui/caption_font.h"
#include "ui/twips.h"

namespace quillet {

frmOptionsRtf::frmOptionsRtf(ExportSettings& settings, QWidget* parent) : OptionsDialog(settings, parent) {
    setObjectName(QStringLiteral("frmOptionsRtf"));
    setWindowTitle(QStringLiteral("RTF Options"));
    BuildControls();
}

void frmOptionsRtf::BuildControls() {
    const TwipsLayout layout(*this);
    setFixedSize(layout.Pixels(4575), layout.Pixels(1095));

    Check1 = new QCheckBox(QStringLiteral("Include header"), this);
    layout.Place(Check1, "Check1", 240, 165, 2790, 285);
    Check1->setChecked(true);
    AddSaveAndCancel(layout);

    setTabOrder(Check1, OKButton);
    setTabOrder(OKButton, CancelButton);
    FitCaptions(this, {});
}

void frmOptionsRtf::StoreChoices() { settings_.Rtf.IncludeHeader = Check1->isChecked(); }

}  // namespace quillet
