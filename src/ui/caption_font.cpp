#include "ui/caption_font.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>

namespace quillet {

namespace {

// Room a button's caption leaves for its text: the mark and its spacing, or a push button's margins.
int Furniture(const QAbstractButton* button) {
    const QStyle* style = button->style();
    if (qobject_cast<const QRadioButton*>(button) != nullptr) {
        return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    }
    if (qobject_cast<const QCheckBox*>(button) != nullptr) {
        return style->pixelMetric(QStyle::PM_IndicatorWidth) + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    }
    return 8;
}

bool CaptionsFit(const QWidget* window, const QList<const QLabel*>& labels) {
    const QFontMetrics metrics(window->font());
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        QString text = button->text();
        if (text.isEmpty()) continue;  // a list's corner button
        text.remove(QLatin1Char('&'));  // an access key's mark takes no room
        if (metrics.horizontalAdvance(text) + Furniture(button) > button->width()) return false;
    }
    for (const QLabel* label : labels) {
        if (metrics.horizontalAdvance(label->text()) > label->width()) return false;
    }
    return true;
}

}  // namespace

void FitCaptions(QWidget* window, const QList<const QLabel*>& labels) {
    QFont caption = window->font();
    for (double points = 8.0; points >= 6.5; points -= 0.5) {
        caption.setPointSizeF(points);
        window->setFont(caption);
        if (CaptionsFit(window, labels)) return;
    }
}

}  // namespace quillet
