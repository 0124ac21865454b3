#include "ui/frm_options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "ui/caption_font.h"
#include "ui/twips.h"

namespace quillet {

namespace {

// The delimiter the box names: the entry chosen, or a text typed in its place, where the words
// SPACE and TAB stand for their characters.
std::string ItemsDelimiterOf(const QComboBox& box) {
    QString text = box.currentText();
    if (text.isEmpty()) text = box.itemText(box.currentIndex());
    if (text.compare(QLatin1String("SPACE"), Qt::CaseInsensitive) == 0) return " ";
    if (text.compare(QLatin1String("TAB"), Qt::CaseInsensitive) == 0) return "\t";
    return text.toStdString();
}

// The entry chosen, or the one whose name was typed; any other text keeps the choice.
LineEnd RowDelimiterOf(const QComboBox& box) {
    const int typed = box.findText(box.currentText(), Qt::MatchFixedString);
    return box.itemText(typed >= 0 ? typed : box.currentIndex()) == QLatin1String("LF") ? LineEnd::LF : LineEnd::CRLF;
}

}  // namespace

frmOptions::frmOptions(ExportSettings& settings, QWidget* parent) : OptionsDialog(settings, parent) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    BuildControls();
    Form_Load();
}

void frmOptions::BuildControls() {
    const TwipsLayout layout(*this);
    setFixedSize(layout.Pixels(4575), layout.Pixels(2655));

    Frame1 = new QFrame(this);
    layout.Place(Frame1, "Frame1", 120, 120, 3015, 2415);
    Frame1->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(QStringLiteral("Items delimiter:"), Frame1);
    layout.Place(Label1, "Label1", 120, 105, 2775, 255);
    Combo1 = new QComboBox(Frame1);
    layout.Place(Combo1, "Combo1", 120, 375, 2775, 345);
    Label2 = new QLabel(QStringLiteral("Row delimiter:"), Frame1);
    layout.Place(Label2, "Label2", 120, 810, 2775, 255);
    Combo2 = new QComboBox(Frame1);
    layout.Place(Combo2, "Combo2", 120, 1080, 2775, 345);
    Check1 = new QCheckBox(QStringLiteral("Include header in export"), Frame1);
    layout.Place(Check1, "Check1", 120, 1560, 2775, 285);
    Check2 = new QCheckBox(QStringLiteral("Put items in quotes"), Frame1);
    layout.Place(Check2, "Check2", 120, 1935, 2775, 285);

    for (QComboBox* box : {Combo1, Combo2}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    // A typed delimiter is written as it is, so it stays within the characters every code page shares.
    Combo1->lineEdit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[ -~]{0,16}")), Combo1));
    Combo2->addItems({QStringLiteral("CRLF"), QStringLiteral("LF")});
    Check1->setChecked(true);
    Check2->setChecked(true);

    AddSaveAndCancel(layout);

    setTabOrder(Combo1, Combo2);
    setTabOrder(Combo2, Check1);
    setTabOrder(Check1, Check2);
    setTabOrder(Check2, OKButton);
    setTabOrder(OKButton, CancelButton);
    FitCaptions(this, {Label1, Label2});
}

void frmOptions::Form_Load() {
    Combo1->addItems({QStringLiteral(","), QStringLiteral(";"), QStringLiteral(":"), QStringLiteral("SPACE"),
                      QStringLiteral("TAB")});
    Combo1->setCurrentIndex(0);
    Combo2->setCurrentIndex(0);
    settings_.OptionsAccepted = true;
}

void frmOptions::StoreChoices() {
    settings_.Delimited.Delimiter = ItemsDelimiterOf(*Combo1);
    settings_.Delimited.IncludeHeader = Check1->isChecked();
    settings_.Delimited.QuoteItems = Check2->isChecked();
    settings_.Delimited.RowEnd = RowDelimiterOf(*Combo2);
}

}  // namespace quillet
