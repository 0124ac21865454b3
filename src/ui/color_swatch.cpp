#include "ui/color_swatch.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace quillet {

ColorSwatch::ColorSwatch(const QColor& color, QWidget* parent) : QFrame(parent), color_(color) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void ColorSwatch::SetColor(const QColor& color) {
    color_ = color;
    update();
}

QSize ColorSwatch::sizeHint() const {
    const int side = fontMetrics().height() * 3 / 2;
    return {side, side};
}

void ColorSwatch::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), color_);
        if (hasFocus()) {
            painter.setPen(QPen(color_.lightness() < 128 ? Qt::white : Qt::black, 1, Qt::DotLine));
            painter.drawRect(contentsRect().adjusted(1, 1, -2, -2));
        }
    }
    QFrame::paintEvent(event);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit Clicked();
}

void ColorSwatch::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        emit Clicked();
        return;
    }
    QFrame::keyPressEvent(event);
}

}  // namespace quillet
