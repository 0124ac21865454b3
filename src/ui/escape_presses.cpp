#include "ui/escape_presses.h"

#include <QAbstractButton>
#include <QDialog>
#include <QKeyEvent>

namespace quillet {

namespace {

class EscapePresses final : public QObject {
public:
    EscapePresses(QDialog& dialog, QAbstractButton& button) : QObject(&dialog), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            button_.click();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractButton& button_;
};

}  // namespace

void PressOnEscape(QDialog& dialog, QAbstractButton& button) {
    dialog.installEventFilter(new EscapePresses(dialog, button));
}

}  // namespace quillet
