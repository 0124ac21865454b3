#pragma once

#include <QDialog>
#include <string>

#include "export/export_settings.h"
#include "ui/platform/platform.h"

class QCheckBox;
class QComboBox;
class QLayout;

namespace quillet {

class ColorSwatch;

// What the three options dialogs share: the options above or beside "Save" and "Cancel".
// "Save" accepts; "Cancel", Esc and the close box all reject, so that no way of leaving the
// dialog but "Save" starts a conversion. Each dialog opens at its defaults every time.
class OptionsDialog : public QDialog {
    Q_OBJECT
protected:
    OptionsDialog(const QString& title, QWidget* parent);
    // Puts the dialog's own controls at the left of the buttons.
    void SetOptions(QLayout* options);
};

// "Options" of delimited text and CSV. A delimiter may also be typed; SPACE and TAB name theirs.
class DelimitedOptionsDialog final : public OptionsDialog {
    Q_OBJECT
public:
    explicit DelimitedOptionsDialog(QWidget* parent = nullptr);
    DelimitedOptions options() const;

private:
    QComboBox* delimiterBox_;
    QComboBox* rowEndBox_;
    QCheckBox* headerCheck_;
    QCheckBox* quoteCheck_;
    QCheckBox* utf8Check_;
};

// "Html Options": the page's text and background colours and the header row.
class HtmlOptionsDialog final : public OptionsDialog {
    Q_OBJECT
public:
    explicit HtmlOptionsDialog(Platform& platform, QWidget* parent = nullptr);
    HtmlOptions options() const;
    // Lets the user pick the swatch's colour; a cancelled colour dialog keeps it.
    void chooseColor(ColorSwatch* swatch);

private:
    Platform& platform_;
    ColorSwatch* textSwatch_;
    ColorSwatch* backSwatch_;
    QCheckBox* headerCheck_;
};

// "RTF Options": the header row. Its choice is kept after "Cancel" too.
class RtfOptionsDialog final : public OptionsDialog {
    Q_OBJECT
public:
    explicit RtfOptionsDialog(QWidget* parent = nullptr);
    RtfOptions options() const;

private:
    QCheckBox* headerCheck_;
};

// A colour as the HTML export writes it after "#": six upper-case hexadecimal digits, red, green, blue.
std::string HtmlColorOf(const QColor& color);

}  // namespace quillet
