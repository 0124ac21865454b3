#pragma once

#include <QtTest>
#include <QtWidgets>
#include <deque>
#include <functional>

namespace quillet::testing {

// Answers the modal dialogs a window shows, from inside their event loops, in the order the
// test scripted them. A dialog shown without a scripted answer, or under another name, is
// recorded in Unexpected and rejected, so a test sees the surprise instead of hanging.
class ModalDialogs {
public:
    using Act = std::function<void(QDialog&)>;

    ModalDialogs() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    // The next modal dialog must be objectName; act answers it and must close it.
    void Answer(const QString& objectName, Act act) { script_.push_back({objectName, std::move(act)}); }
    bool AllAnswered() const { return script_.empty(); }
    QStringList Unexpected;

private:
    struct Step {
        QString Name;
        Act Do;
    };

    void Poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible() || dialog == answering_) return;
        answering_ = dialog;
        if (!QTest::qWaitForWindowActive(dialog)) Unexpected.append(dialog->objectName() + QStringLiteral(" not active"));
        if (script_.empty() || script_.front().Name != dialog->objectName()) {
            Unexpected.append(dialog->objectName());
        } else {
            const Step step = std::move(script_.front());
            script_.pop_front();
            step.Do(*dialog);
        }
        if (dialog->isVisible()) {
            Unexpected.append(dialog->objectName() + QStringLiteral(" left open"));
            dialog->reject();
        }
        answering_ = nullptr;
    }

    QTimer timer_;
    std::deque<Step> script_;
    QDialog* answering_ = nullptr;
};

// A control of a dialog or window by its name; the test stops when there is none.
template <typename T = QWidget>
T* ChildOf(const QWidget& parent, const QString& name) {
    T* child = parent.findChild<T*>(name);
    if (child == nullptr) qFatal("no control %s in %s", qPrintable(name), qPrintable(parent.objectName()));
    return child;
}

// Clicks the named button of a dialog or window.
inline void Click(const QWidget& parent, const char* name) { ChildOf<QAbstractButton>(parent, QString::fromLatin1(name))->click(); }

}  // namespace quillet::testing
