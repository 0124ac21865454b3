#pragma once

#include <QWidget>

namespace quillet {

// The window's layout is drawn in twips (1/1440 inch); on screen they become pixels at the
// screen's logical DPI, so 15 twips are one pixel at 96 dpi and the window grows with larger fonts.
inline int TwipsToPixels(int twips, int logicalDpi) {
    return (twips * logicalDpi + 720) / 1440;
}

inline void PlaceInTwips(QWidget* widget, int left, int top, int width, int height, int logicalDpi) {
    widget->setGeometry(TwipsToPixels(left, logicalDpi), TwipsToPixels(top, logicalDpi),
                        TwipsToPixels(width, logicalDpi), TwipsToPixels(height, logicalDpi));
}

}  // namespace quillet
