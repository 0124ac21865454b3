#pragma once

#include <QStringList>
#include <QWidget>

#include "ui/record_search.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace quillet {

// The bar Ctrl+F opens above the list: a text to find, a filter text, and how both compare
// (one column or all, case, whole cell). It only asks; the record browser answers.
class FindBar final : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    // The fields the column choice offers, after "All columns".
    void SetFields(const QStringList& names);
    TextQuery FindQuery() const;
    TextQuery FilterQuery() const;
    // "3 of 12", "not found", or nothing.
    void ShowOutcome(const QString& text);
    // Shows the bar with the find text selected for typing over.
    void Open();

signals:
    void findChanged();
    void filterChanged();
    void nextRequested();
    void previousRequested();
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Close();
    TextQuery QueryFor(const QString& text) const;

    QLineEdit* findBox_;
    QLineEdit* filterBox_;
    QComboBox* fieldChoice_;
    QCheckBox* matchCase_;
    QCheckBox* wholeCell_;
    QLabel* outcome_;
};

}  // namespace quillet
