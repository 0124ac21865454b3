#include "ui/options_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "ui/color_swatch.h"

namespace quillet {

namespace {

// The delimiter the box names: the entry chosen, or a text typed in its place, where the words
// SPACE and TAB stand for their characters.
std::string DelimiterOf(const QComboBox& box) {
    QString text = box.currentText();
    if (text.isEmpty()) text = box.itemText(box.currentIndex());
    if (text.compare(QLatin1String("SPACE"), Qt::CaseInsensitive) == 0) return " ";
    if (text.compare(QLatin1String("TAB"), Qt::CaseInsensitive) == 0) return "\t";
    return text.toStdString();
}

QCheckBox* CheckedBox(const QString& caption, const char* name) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(true);
    return box;
}

}  // namespace

std::string HtmlColorOf(const QColor& color) { return color.name(QColor::HexRgb).mid(1).toUpper().toStdString(); }

OptionsDialog::OptionsDialog(const QString& title, QWidget* parent) : QDialog(parent) { setWindowTitle(title); }

void OptionsDialog::SetOptions(QLayout* options) {
    auto* buttons = new QDialogButtonBox(Qt::Vertical);
    QPushButton* save = buttons->addButton(tr("&Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("saveButton"));
    save->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

DelimitedOptionsDialog::DelimitedOptionsDialog(QWidget* parent)
    : OptionsDialog(tr("Options"), parent),
      delimiterBox_(new QComboBox),
      rowEndBox_(new QComboBox),
      headerCheck_(CheckedBox(tr("Include &header in export"), "headerCheck")),
      quoteCheck_(CheckedBox(tr("Put items in &quotes"), "quoteCheck")),
      utf8Check_(CheckedBox(tr("Write text as &UTF-8"), "utf8Check")) {
    setObjectName(QStringLiteral("DelimitedOptionsDialog"));
    delimiterBox_->setObjectName(QStringLiteral("delimiterBox"));
    rowEndBox_->setObjectName(QStringLiteral("rowEndBox"));
    delimiterBox_->addItems({QStringLiteral(","), QStringLiteral(";"), QStringLiteral(":"), QStringLiteral("SPACE"),
                             QStringLiteral("TAB")});
    rowEndBox_->addItems({QStringLiteral("CRLF"), QStringLiteral("LF")});
    delimiterBox_->setEditable(true);
    delimiterBox_->setInsertPolicy(QComboBox::NoInsert);
    // A typed delimiter is written as it is, so it stays within the characters every code page shares.
    delimiterBox_->lineEdit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[ -~]{1,16}")), delimiterBox_));

    auto* form = new QFormLayout;
    form->addRow(tr("&Items delimiter:"), delimiterBox_);
    form->addRow(tr("&Row delimiter:"), rowEndBox_);
    form->addRow(headerCheck_);
    form->addRow(quoteCheck_);
    // Off by default: the file then holds the table's bytes as stored.
    utf8Check_->setChecked(false);
    form->addRow(utf8Check_);
    SetOptions(form);
}

DelimitedOptions DelimitedOptionsDialog::options() const {
    DelimitedOptions chosen;
    chosen.Delimiter = DelimiterOf(*delimiterBox_);
    chosen.RowEnd = rowEndBox_->currentIndex() == 1 ? LineEnd::LF : LineEnd::CRLF;
    chosen.IncludeHeader = headerCheck_->isChecked();
    chosen.QuoteItems = quoteCheck_->isChecked();
    chosen.ToUtf8 = utf8Check_->isChecked();
    return chosen;
}

HtmlOptionsDialog::HtmlOptionsDialog(Platform& platform, QWidget* parent)
    : OptionsDialog(tr("Html Options"), parent),
      platform_(platform),
      textSwatch_(new ColorSwatch(Qt::black)),
      backSwatch_(new ColorSwatch(Qt::white)),
      headerCheck_(CheckedBox(tr("Include &header"), "headerCheck")) {
    setObjectName(QStringLiteral("HtmlOptionsDialog"));
    textSwatch_->setObjectName(QStringLiteral("textSwatch"));
    backSwatch_->setObjectName(QStringLiteral("backSwatch"));
    auto* grid = new QGridLayout;
    int row = 0;
    for (auto [swatch, caption] : {std::pair{textSwatch_, tr("&Text Color")}, std::pair{backSwatch_, tr("&Background Color")}}) {
        auto* label = new QLabel(caption);
        label->setBuddy(swatch);
        grid->addWidget(swatch, row, 0);
        grid->addWidget(label, row++, 1);
        connect(swatch, &ColorSwatch::Clicked, this, [this, swatch] { chooseColor(swatch); });
    }
    grid->addWidget(headerCheck_, row, 0, 1, 2);
    SetOptions(grid);
}

void HtmlOptionsDialog::chooseColor(ColorSwatch* swatch) {
    if (const std::optional<QColor> chosen = platform_.ChooseColor(this, swatch->Color())) swatch->SetColor(*chosen);
}

HtmlOptions HtmlOptionsDialog::options() const {
    HtmlOptions chosen;
    chosen.TextColor = HtmlColorOf(textSwatch_->Color());
    chosen.BackColor = HtmlColorOf(backSwatch_->Color());
    chosen.IncludeHeader = headerCheck_->isChecked();
    return chosen;
}

RtfOptionsDialog::RtfOptionsDialog(QWidget* parent)
    : OptionsDialog(tr("RTF Options"), parent), headerCheck_(CheckedBox(tr("Include &header"), "headerCheck")) {
    setObjectName(QStringLiteral("RtfOptionsDialog"));
    auto* column = new QVBoxLayout;
    column->addWidget(headerCheck_);
    column->addStretch();
    SetOptions(column);
}

RtfOptions RtfOptionsDialog::options() const {
    RtfOptions chosen;
    chosen.IncludeHeader = headerCheck_->isChecked();
    return chosen;
}

}  // namespace quillet
