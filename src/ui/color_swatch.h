#pragma once

#include <QColor>
#include <QFrame>

namespace quillet {

// A small square of one colour that the user clicks (or presses Space on) to choose another.
class ColorSwatch final : public QFrame {
    Q_OBJECT
public:
    explicit ColorSwatch(const QColor& color, QWidget* parent = nullptr);

    const QColor& Color() const { return color_; }
    void SetColor(const QColor& color);
    // A square a little taller than a line of text.
    QSize sizeHint() const override;

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor color_;
};

}  // namespace quillet
