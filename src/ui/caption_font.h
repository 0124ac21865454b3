#pragma once

#include <QList>

class QLabel;
class QWidget;

namespace quillet {

// The windows are laid out in physical units, so their captions are too: 8 points as a rule,
// a little less where the desktop's font runs too wide for a caption to fit its control. Checks
// every captioned button, check box and option button of window, and the one-line labels given.
void FitCaptions(QWidget* window, const QList<const QLabel*>& labels);

}  // namespace quillet
