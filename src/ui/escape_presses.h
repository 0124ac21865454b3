#pragma once

class QAbstractButton;
class QDialog;

namespace quillet {

// Makes the Esc key press button (a dialog's "Cancel"), instead of closing the dialog the way
// its close box does.
void PressOnEscape(QDialog& dialog, QAbstractButton& button);

}  // namespace quillet
