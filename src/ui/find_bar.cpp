#include "ui/find_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace quillet {

FindBar::FindBar(QWidget* parent)
    : QWidget(parent),
      findBox_(new QLineEdit),
      filterBox_(new QLineEdit),
      fieldChoice_(new QComboBox),
      matchCase_(new QCheckBox(tr("Match case"))),
      wholeCell_(new QCheckBox(tr("Whole cell"))),
      outcome_(new QLabel) {
    setObjectName(QStringLiteral("findBar"));
    // No access keys here: the window's letters are taken. Ctrl+F reaches the bar, Tab the rest.
    findBox_->setObjectName(QStringLiteral("findBox"));
    filterBox_->setObjectName(QStringLiteral("filterBox"));
    fieldChoice_->setObjectName(QStringLiteral("findField"));
    matchCase_->setObjectName(QStringLiteral("matchCase"));
    wholeCell_->setObjectName(QStringLiteral("wholeCell"));
    outcome_->setObjectName(QStringLiteral("findOutcome"));
    findBox_->setClearButtonEnabled(true);
    filterBox_->setClearButtonEnabled(true);
    filterBox_->setPlaceholderText(tr("Show only records with"));
    fieldChoice_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    SetFields({});

    const auto button = [this](const QString& text, const QString& tip, const QString& name) {
        auto* b = new QToolButton;
        b->setText(text);
        b->setToolTip(tip);
        b->setObjectName(name);
        b->setAutoRaise(true);
        return b;
    };
    QToolButton* previous = button(QStringLiteral("\u25B2"), tr("Previous match (Shift+F3)"), QStringLiteral("findPrevious"));
    QToolButton* next = button(QStringLiteral("\u25BC"), tr("Next match (F3)"), QStringLiteral("findNext"));
    QToolButton* close = button(QStringLiteral("\u2715"), tr("Close (Esc)"), QStringLiteral("findClose"));

    auto* findLabel = new QLabel(tr("Find:"));
    findLabel->setBuddy(findBox_);
    auto* filterLabel = new QLabel(tr("Filter:"));
    filterLabel->setBuddy(filterBox_);
    auto* fieldLabel = new QLabel(tr("In:"));
    fieldLabel->setBuddy(fieldChoice_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{findLabel, findBox_, previous, next, outcome_, filterLabel, filterBox_,
                                                      fieldLabel, fieldChoice_, matchCase_, wholeCell_, close}) {
        layout->addWidget(w);
    }
    layout->setStretchFactor(findBox_, 2);
    layout->setStretchFactor(filterBox_, 2);

    connect(findBox_, &QLineEdit::textChanged, this, &FindBar::findChanged);
    connect(filterBox_, &QLineEdit::textChanged, this, &FindBar::filterChanged);
    connect(findBox_, &QLineEdit::returnPressed, this, &FindBar::nextRequested);
    connect(next, &QToolButton::clicked, this, &FindBar::nextRequested);
    connect(previous, &QToolButton::clicked, this, &FindBar::previousRequested);
    connect(close, &QToolButton::clicked, this, &FindBar::Close);
    for (QObject* option : std::initializer_list<QObject*>{matchCase_, wholeCell_}) {
        connect(static_cast<QCheckBox*>(option), &QCheckBox::toggled, this, &FindBar::findChanged);
        connect(static_cast<QCheckBox*>(option), &QCheckBox::toggled, this, &FindBar::filterChanged);
    }
    connect(fieldChoice_, &QComboBox::currentIndexChanged, this, &FindBar::findChanged);
    connect(fieldChoice_, &QComboBox::currentIndexChanged, this, &FindBar::filterChanged);
}

void FindBar::SetFields(const QStringList& names) {
    const QSignalBlocker quiet(fieldChoice_);
    fieldChoice_->clear();
    fieldChoice_->addItem(tr("All columns"));
    fieldChoice_->addItems(names);
}

TextQuery FindBar::QueryFor(const QString& text) const {
    return {text, matchCase_->isChecked(), wholeCell_->isChecked(), fieldChoice_->currentIndex() - 1};
}

TextQuery FindBar::FindQuery() const { return QueryFor(findBox_->text()); }

TextQuery FindBar::FilterQuery() const { return QueryFor(filterBox_->text()); }

void FindBar::ShowOutcome(const QString& text) { outcome_->setText(text); }

void FindBar::Open() {
    show();
    findBox_->setFocus(Qt::ShortcutFocusReason);
    findBox_->selectAll();
}

// A filter stays only while the bar shows it.
void FindBar::Close() {
    hide();
    filterBox_->clear();
    emit closed();
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Close();
    } else {
        QWidget::keyPressEvent(event);
    }
}

}  // namespace quillet
