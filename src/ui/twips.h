#pragma once

#include <QString>
#include <QWidget>

namespace quillet {

// The window's layout is drawn in twips (1/1440 inch); on screen they become pixels at the
// screen's logical DPI, so 15 twips are one pixel at 96 dpi and the window grows with larger fonts.
inline int TwipsToPixels(int twips, int logicalDpi) {
    return (twips * logicalDpi + 720) / 1440;
}

// Lays out one window's controls at the window's DPI. Every control placed also gets its name:
// the tests and the screenshot tool find controls by it.
class TwipsLayout {
public:
    explicit TwipsLayout(const QWidget& window) : dpi_(window.logicalDpiY()) {}

    int Pixels(int twips) const { return TwipsToPixels(twips, dpi_); }

    void Place(QWidget* widget, const QString& name, int left, int top, int width, int height) const {
        widget->setObjectName(name);
        widget->setGeometry(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
    }
    void Place(QWidget* widget, const char* name, int left, int top, int width, int height) const {
        Place(widget, QString::fromLatin1(name), left, top, width, height);
    }

private:
    int dpi_;
};

}  // namespace quillet
