#include "ui/frm_main.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <memory>

#include "table/table_info.h"
#include "ui/app_icon.h"
#include "ui/app_identity.h"
#include "ui/caption_font.h"
#include "ui/decimal_separator.h"
#include "ui/frm_about.h"
#include "ui/frm_columns.h"
#include "ui/frm_options.h"
#include "ui/frm_options_rtf.h"
#include "ui/frm_ops_htm.h"
#include "ui/frm_save.h"
#include "ui/list_cell_delegate.h"
#include "ui/output_path_text.h"
#include "ui/path_bytes.h"
#include "ui/table_exporter.h"
#include "ui/table_list_model.h"
#include "ui/table_loader.h"
#include "ui/twips.h"

namespace quillet {

frmMain::frmMain(Platform& platform, QWidget* parent) : QWidget(parent), platform_(platform) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ProgramName());
    setWindowIcon(AppIcon());
    settings_.DecimalSeparator = DecimalSeparatorOf(QLocale());

    model_ = new TableListModel(this);
    loader_ = new TableLoader(this);
    connect(loader_, &TableLoader::Progress, this, &frmMain::ShowProgress);
    connect(loader_, &TableLoader::Finished, this, &frmMain::FinishOpen);
    exporter_ = new TableExporter(this);
    connect(exporter_, &TableExporter::Progress, this, &frmMain::ShowProgress);
    connect(exporter_, &TableExporter::Finished, this, &frmMain::FinishExport);

    BuildControls();
    SetTabOrder();
    Form_Load();
}

frmMain::~frmMain() {
    // Neither the list nor a write still running may read the table once the members go their ways.
    exporter_->Wait();
    model_->SetTable(nullptr, settings_.DecimalSeparator);
}

bool frmMain::Opening() const { return loader_->Running(); }

bool frmMain::Exporting() const { return exporter_->Running(); }

void frmMain::BuildControls() {
    const TwipsLayout layout(*this);
    setFixedSize(layout.Pixels(9135), layout.Pixels(8970));

    Shape1 = new QFrame(this);
    layout.Place(Shape1, "Shape1", 30, 45, 4260, 420);
    Shape1->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(QStringLiteral("Source:"), this);
    layout.Place(Label1, "Label1", 15, 150, 630, 285);
    Text2 = new QLineEdit(this);
    layout.Place(Text2, "Text2", 660, 120, 2685, 285);
    Command1 = new QPushButton(QStringLiteral("Open"), this);
    layout.Place(Command1, "Command1", 3345, 120, 870, 285);

    Shape2 = new QFrame(this);
    layout.Place(Shape2, "Shape2", 4305, 45, 4740, 420);
    Shape2->setFrameShape(QFrame::StyledPanel);
    Label2 = new QLabel(QStringLiteral("Save:"), this);
    layout.Place(Label2, "Label2", 4290, 150, 630, 285);
    Text3 = new QLineEdit(this);
    layout.Place(Text3, "Text3", 4935, 120, 3045, 285);
    Command2 = new QPushButton(QStringLiteral("Browse"), this);
    layout.Place(Command2, "Command2", 8040, 120, 870, 285);

    for (QLabel* label : {Label1, Label2}) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The program writes these boxes and reads them back; typing into them would only mislead.
    for (QLineEdit* box : {Text2, Text3}) box->setReadOnly(true);

    Text1 = new QPlainTextEdit(this);
    layout.Place(Text1, "Text1", 30, 495, 1905, 1335);
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);

    Picture1[0] = new QFrame(this);
    layout.Place(Picture1[0], "Picture1_0", 2010, 495, 1590, 1320);
    Picture1[1] = new QFrame(this);
    layout.Place(Picture1[1], "Picture1_1", 3585, 495, 5460, 1320);
    for (QFrame* panel : Picture1) panel->setFrameShape(QFrame::StyledPanel);

    static const char* const kFilterCaptions[] = {"All records", "Only deleted", "Skip deleted"};
    static const int kFilterTops[] = {75, 615, 345};
    for (int i = 0; i < 3; ++i) {
        Option1[i] = new QRadioButton(QString::fromLatin1(kFilterCaptions[i]), Picture1[0]);
        layout.Place(Option1[i], QStringLiteral("Option1_%1").arg(i), 180, kFilterTops[i], 1215, 255);
    }
    Command3 = new QPushButton(QStringLiteral("Columns"), Picture1[0]);
    layout.Place(Command3, "Command3", 165, 930, 1215, 285);

    struct FormatButton {
        const char* Caption;
        int Left;
        int Top;
    };
    static const FormatButton kFormats[] = {
        {"Text file", 330, 165}, {"CSV file", 330, 420},   {"HTML file", 330, 675}, {"RTF file", 330, 915},
        {"XML file", 1845, 150}, {"Excel file", 1830, 435}, {"SQL file", 1845, 705},
    };
    formatButtons_ = new QButtonGroup(this);
    for (int i = 0; i < 7; ++i) {
        Option2[i] = new QRadioButton(QString::fromLatin1(kFormats[i].Caption), Picture1[1]);
        layout.Place(Option2[i], QStringLiteral("Option2_%1").arg(i), kFormats[i].Left, kFormats[i].Top, 1215, 225);
        formatButtons_->addButton(Option2[i], i);
    }
    Command4 = new QPushButton(QStringLiteral("Save"), Picture1[1]);
    layout.Place(Command4, "Command4", 3405, 240, 1215, 495);

    // The check box belongs to the window, not to the panel it stands on.
    Check1 = new QCheckBox(QStringLiteral("Open folder when done"), this);
    layout.Place(Check1, "Check1", 6510, 1455, 2280, 270);
    Check1->raise();

    LV2 = new QTableView(this);
    layout.Place(LV2, "LV2", 30, 1860, 9015, 6570);
    LV2->setModel(model_);
    LV2->setItemDelegate(new ListCellDelegate(LV2));
    LV2->setAlternatingRowColors(true);
    LV2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV2->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV2->setSelectionMode(QAbstractItemView::SingleSelection);
    LV2->setWordWrap(false);
    LV2->setTextElideMode(Qt::ElideRight);
    LV2->setIconSize(QSize(16, 16));
    LV2->verticalHeader()->hide();
    LV2->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    LV2->verticalHeader()->setDefaultSectionSize(std::max(layout.Pixels(285), fontMetrics().height() + 4));
    LV2->horizontalHeader()->setHighlightSections(false);
    LV2->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    pb = new QProgressBar(this);
    layout.Place(pb, "pb", 315, 3930, 8100, 225);
    pb->setRange(0, 1000);
    pb->setTextVisible(false);
    pb->hide();

    Command5 = new QPushButton(QStringLiteral("About"), this);
    layout.Place(Command5, "Command5", 3540, 8535, 1215, 315);

    FitCaptions(this, {Label1, Label2});

    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmMain::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frmMain::Command5_Click);
    connect(formatButtons_, &QButtonGroup::idClicked, this, &frmMain::Option2_Click);
}

void frmMain::SetTabOrder() {
    QWidget* const order[] = {
        Command1,   Text1,      LV2,        Text2,      Text3,      Command2,   Command3,   Option1[2],
        Option1[1], Option1[0], Option2[6], Option2[5], Option2[4], Option2[3], Option2[2], Option2[1],
        Option2[0], Command4,   Command5,   Check1,
    };
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void frmMain::Form_Load() {
    LV2->setShowGrid(true);
    Option1[0]->setChecked(true);
    Check1->setChecked(true);
    Option2[1]->setChecked(true);
    Option2_Click(1);
}

RecordFilter frmMain::ChosenRecordFilter() const {
    if (Option1[1]->isChecked()) return RecordFilter::OnlyDeleted;
    if (Option1[2]->isChecked()) return RecordFilter::SkipDeleted;
    return RecordFilter::AllRecords;
}

void frmMain::Command1_Click() {
    if (Opening() || Exporting()) return;
    const std::optional<QString> chosen =
        platform_.ChooseFileToOpen(this, QStringLiteral("DBF Files (*.dbf)"), openFolder_);
    if (!chosen) return;
    openFolder_ = QFileInfo(*chosen).absolutePath();
    tableLoaded_ = true;
    openingPath_ = *chosen;

    setEnabled(false);
    pb->setValue(0);
    LV2->hide();
    pb->show();
    loader_->Start(openingPath_);
}

void frmMain::ShowProgress(int permille) { pb->setValue(permille); }

void frmMain::FinishOpen() {
    TableLoader::Outcome outcome = loader_->TakeOutcome();
    const bool read = outcome.Table != nullptr;
    if (read) ShowTable(std::move(*outcome.Table), openingPath_);
    pb->hide();
    LV2->show();
    setEnabled(true);

    if (!read) {
        // An unknown version is a table of another kind, not a fault: no icon, as for other notes.
        Tell(outcome.Message,
             outcome.Refusal == TableError::Kind::UnknownVersion ? MessageIcon::None : MessageIcon::Critical);
    } else if (table_.RecordsPromised > table_.RecordCount()) {
        const std::int64_t lost = table_.RecordsPromised - table_.RecordCount();
        Tell(QStringLiteral("The file \"%1\" ends early: %2 of the %3 records that its header promises could not be "
                            "read. The list shows the %4 it holds.")
                 .arg(openingPath_, QString::number(lost), QString::number(table_.RecordsPromised),
                      QString::number(table_.RecordCount())),
             MessageIcon::Warning);
    }
    emit OpenFinished();
}

void frmMain::ShowTable(OpenTable&& table, const QString& path) {
    model_->SetTable(nullptr, settings_.DecimalSeparator);
    table_ = std::move(table);
    table_.ListColumns();
    table_.SetSource(PathBytes(path));
    Text2->setText(path);
    Text1->setPlainText(PathText(InformationText(table_)));
    model_->SetTable(&table_, settings_.DecimalSeparator);
    LV2->scrollToTop();
    if (!Text3->text().isEmpty()) RefreshSaveBox();
}

void frmMain::RefreshSaveBox() {
    Text3->setText(PathText(OutputPathText(settings_.SaveFolder, table_.TableBaseName, ExtensionOf(settings_.OutputFormat))));
}

void frmMain::Tell(const QString& text, MessageIcon icon) { platform_.ShowMessage(this, ProgramName(), text, icon); }

void frmMain::Command2_Click() {
    {
        frmSave dialog(platform_, settings_, *Text3, this);
        dialog.exec();
    }
    if (!settings_.SaveFolder.empty() && !Text2->text().isEmpty()) {
        RefreshSaveBox();
    } else {
        Text3->clear();
    }
}

void frmMain::Command3_Click() {
    if (!tableLoaded_) return;
    frmColumns dialog(table_, this);
    dialog.exec();
}

void frmMain::Command4_Click() {
    if (Opening() || Exporting()) return;
    if (model_->rowCount() == 0) {
        Tell(QStringLiteral("Need to open a file first!"), MessageIcon::Critical);
        return;
    }
    if (Text3->text().isEmpty()) {
        Tell(QStringLiteral("Need to open a save location!"), MessageIcon::Critical);
        return;
    }
    const auto format = static_cast<OutputFormat>(formatButtons_->checkedId());
    if (!OptionsAccepted(format)) return;
    StartExport(format);
}

bool frmMain::OptionsAccepted(OutputFormat format) {
    std::unique_ptr<OptionsDialog> dialog;
    switch (format) {
    case OutputFormat::Text:
    case OutputFormat::CSV:
        dialog = std::make_unique<frmOptions>(settings_, this);
        break;
    case OutputFormat::HTML:
        dialog = std::make_unique<frmOpsHtm>(platform_, settings_, this);
        break;
    case OutputFormat::RTF:
        dialog = std::make_unique<frmOptionsRtf>(settings_, this);
        break;
    case OutputFormat::XML:
    case OutputFormat::Excel:
    case OutputFormat::SQL:
    case OutputFormat::Xlsx:
    case OutputFormat::Sqlite:
        break;
    }
    if (dialog == nullptr) return true;  // a format without options
    dialog->exec();
    return settings_.OptionsAccepted;
}

void frmMain::StartExport(OutputFormat format) {
    settings_.OutputFormat = format;
    settings_.RecordFilter = ChosenRecordFilter();
    setEnabled(false);
    pb->setValue(0);
    pb->raise();
    pb->show();
    exporter_->Start(table_, settings_);
}

void frmMain::FinishExport() {
    const TableExporter::Outcome outcome = exporter_->TakeOutcome();
    pb->hide();
    setEnabled(true);
    if (!outcome.Written) {
        Tell(outcome.Message, MessageIcon::Critical);
    } else if (Check1->checkState() != Qt::Unchecked) {
        const QString folder = PathText(settings_.SaveFolder);
        if (!platform_.ShowFolder(folder)) {
            Tell(QStringLiteral("The file was written, but the folder \"%1\" could not be shown in the file browser.")
                     .arg(folder),
                 MessageIcon::Warning);
        }
    }
    emit ExportFinished();
}

void frmMain::Command5_Click() {
    frmAbout dialog(platform_, this);
    dialog.exec();
}

void frmMain::Option2_Click(int index) {
    if (index >= 0 && index <= 6) {
        settings_.OutputFormat = static_cast<OutputFormat>(index);
    }
    if (!Text2->text().isEmpty() && !Text3->text().isEmpty()) RefreshSaveBox();
}

}  // namespace quillet
