#pragma once

#include <QDialog>

#include "export/export_settings.h"

class QPushButton;

namespace quillet {

class TwipsLayout;

// What the three options dialogs share: "Save" and "Cancel" in a column at the right, Esc
// pressing "Cancel", and OptionsAccepted, by which the main window learns whether the
// conversion goes on. The close box is neither button: it stores nothing and leaves
// OptionsAccepted as it was.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    void OKButton_Click();
    void CancelButton_Click();

protected:
    OptionsDialog(ExportSettings& settings, QWidget* parent);

    // Adds the two buttons; called after the dialog's own controls, which come first on screen.
    void AddSaveAndCancel(const TwipsLayout& layout);

    ExportSettings& settings_;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

private:
    // What "Save" stores into settings_.
    virtual void StoreChoices() = 0;
    // What "Cancel" stores: nothing, unless a dialog keeps some choice even then.
    virtual void StoreOnCancel() {}
};

}  // namespace quillet
