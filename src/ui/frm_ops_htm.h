#pragma once

#include "ui/options_dialog.h"
#include "ui/platform/platform.h"

class QCheckBox;
class QLabel;

namespace quillet {

class ColorSwatch;

// "Html Options": the page's text and background colours and whether a header row comes first.
// Opens at black on white with the header every time; "Save" stores them and lets the
// conversion go on.
class frmOpsHtm final : public OptionsDialog {
    Q_OBJECT
public:
    frmOpsHtm(Platform& platform, ExportSettings& settings, QWidget* parent = nullptr);

    // Swatch 0 is the text colour, swatch 1 the background colour.
    void Picture2_Click(int index);

private:
    void BuildControls();
    void StoreChoices() override;

    Platform& platform_;

    ColorSwatch* Picture2[2] = {};
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* Check1 = nullptr;
};

// A colour as the HTML export writes it after "#": six upper-case hexadecimal digits, red, green, blue.
std::string HtmlColorOf(const QColor& color);

}  // namespace quillet
