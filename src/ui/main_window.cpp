#include "ui/main_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <new>

#include "export/exporters.h"
#include "table/read_table.h"
#include "table/table_code_page.h"
#include "table/table_error.h"
#include "table/table_info.h"
#include "ui/about_dialog.h"
#include "ui/app_icon.h"
#include "ui/app_identity.h"
#include "ui/columns_dialog.h"
#include "ui/decimal_separator.h"
#include "ui/decoded_text.h"
#include "ui/list_cell_delegate.h"
#include "ui/options_dialogs.h"
#include "ui/output_path_text.h"
#include "ui/path_bytes.h"
#include "ui/record_browser.h"
#include "ui/save_location_dialog.h"
#include "ui/table_list_model.h"

namespace quillet {

namespace {

// The format choice, in the order of its buttons; a new format is one more row.
struct FormatChoice {
    OutputFormat Format;
    const char* Caption;
};
const FormatChoice kFormats[] = {
    {OutputFormat::Text, QT_TRANSLATE_NOOP("quillet::MainWindow", "&Text file")},
    {OutputFormat::CSV, QT_TRANSLATE_NOOP("quillet::MainWindow", "&CSV file")},
    {OutputFormat::HTML, QT_TRANSLATE_NOOP("quillet::MainWindow", "HT&ML file")},
    {OutputFormat::RTF, QT_TRANSLATE_NOOP("quillet::MainWindow", "&RTF file")},
    {OutputFormat::XML, QT_TRANSLATE_NOOP("quillet::MainWindow", "&XML file")},
    {OutputFormat::Excel, QT_TRANSLATE_NOOP("quillet::MainWindow", "&Excel file")},
    {OutputFormat::SQL, QT_TRANSLATE_NOOP("quillet::MainWindow", "S&QL file")},
    {OutputFormat::Xlsx, QT_TRANSLATE_NOOP("quillet::MainWindow", "Excel &2007+ (.xlsx)")},
    {OutputFormat::Sqlite, QT_TRANSLATE_NOOP("quillet::MainWindow", "SQLite &3 (.sqlite)")},
};
constexpr int kFormatRows = 5;  // buttons per column
constexpr int kRecentTables = 8;

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kOpenFolderKey = QStringLiteral("folders/open");
const QString kSaveFolderKey = QStringLiteral("folders/save");
const QString kRecentKey = QStringLiteral("recentTables");

QPushButton* Button(const QString& caption, const char* name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLineEdit* PathBox(const char* name) {
    auto* box = new QLineEdit;
    box->setObjectName(QString::fromLatin1(name));
    // The program writes these boxes and reads them back; typing into them would only mislead.
    box->setReadOnly(true);
    return box;
}

QLabel* LabelFor(const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

bool IsTableFile(const QUrl& url) {
    return url.isLocalFile() && url.toLocalFile().endsWith(QLatin1String(".dbf"), Qt::CaseInsensitive);
}

// Whether the file ends inside its last record: what is shown of that record is only part of it.
bool LastRecordCut(const OpenTable& table, const QString& path) {
    const std::int64_t held = table.RecordCount();
    if (held == 0) return false;
    return QFileInfo(path).size() < table.Header.HeaderLength + held * table.Header.RecordLength;
}

}  // namespace

MainWindow::MainWindow(Platform& platform, QSettings& settings, QWidget* parent)
    : QMainWindow(parent),
      platform_(platform),
      settings_(settings),
      model_(new TableListModel(this)),
      loader_(this, [this](int permille) { progressBar_->setValue(permille); }, [this](Loaded l) { FinishOpen(std::move(l)); }),
      writer_(this, [this](int permille) { progressBar_->setValue(permille); }, [this](const Written& w) { FinishConvert(w); }),
      surveyor_(this, [this](int permille) { deletedCountLabel_->setText(tr("Deleted: counting... %1%").arg(permille / 10)); },
                [this](const Surveyed& s) { FinishSurvey(s); }) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(ProgramName());
    setWindowIcon(AppIcon());
    setAcceptDrops(true);
    exportSettings_.DecimalSeparator = DecimalSeparatorOf(QLocale());

    setCentralWidget(BuildCentralArea());
    BuildMenus();
    BuildStatusBar();
    ChooseFormat(static_cast<int>(OutputFormat::CSV));
    if (!restoreGeometry(settings_.value(kGeometryKey).toByteArray())) resize(609, 598);
}

MainWindow::~MainWindow() {
    // Neither a write still running nor the list may read the table once the members go their ways.
    writer_.Wait();
    StopSurvey();
    model_->SetTable(nullptr, exportSettings_.DecimalSeparator);
}

void MainWindow::setDefaultOpenFolder(const QString& folder) { defaultOpenFolder_ = folder; }

QWidget* MainWindow::BuildCentralArea() {
    sourceBox_ = PathBox("sourceBox");
    saveBox_ = PathBox("saveBox");
    QPushButton* open = Button(tr("&Open"), "openButton");
    QPushButton* browse = Button(tr("&Browse"), "browseButton");
    auto* places = new QGridLayout;
    places->addWidget(LabelFor(tr("So&urce:"), sourceBox_), 0, 0);
    places->addWidget(sourceBox_, 0, 1);
    places->addWidget(open, 0, 2);
    places->addWidget(LabelFor(tr("Sa&ve:"), saveBox_), 0, 3);
    places->addWidget(saveBox_, 0, 4);
    places->addWidget(browse, 0, 5);
    places->setColumnStretch(1, 1);
    places->setColumnStretch(4, 1);

    infoBox_ = new QPlainTextEdit;
    infoBox_->setObjectName(QStringLiteral("infoBox"));
    infoBox_->setReadOnly(true);
    // Whole lines, however long the path: wrapped anywhere rather than cut.
    infoBox_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    infoBox_->setMinimumWidth(infoBox_->fontMetrics().averageCharWidth() * 24);
    factsLayout_ = new QVBoxLayout;
    factsLayout_->addWidget(infoBox_);
    codePageBox_ = new QComboBox;
    codePageBox_->setObjectName(QStringLiteral("codePageBox"));
    for (const CodePage* page : CodePage::All()) {
        // "windows-1251" and "IBM866" say their number already; "Big5 (950)" needs it beside.
        const QString name = QString::fromLatin1(page->Name()), number = QString::number(page->Number());
        codePageBox_->addItem(name.contains(number) ? name : QStringLiteral("%1 (%2)").arg(name, number), page->Number());
    }
    // As wide as a typical entry, not the longest: the facts column must not widen the window.
    codePageBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    codePageBox_->setMinimumContentsLength(13);
    codePageBox_->setEnabled(false);
    factsLayout_->addWidget(LabelFor(tr("Code pa&ge:"), codePageBox_));
    factsLayout_->addWidget(codePageBox_);

    auto* records = new QGroupBox(tr("Records"));
    auto* recordsLayout = new QVBoxLayout(records);
    recordFilter_ = new QButtonGroup(this);
    const std::tuple<RecordFilter, QString, const char*> filters[] = {
        {RecordFilter::AllRecords, tr("A&ll records"), "allRecordsButton"},
        {RecordFilter::SkipDeleted, tr("S&kip deleted"), "skipDeletedButton"},
        {RecordFilter::OnlyDeleted, tr("Onl&y deleted"), "onlyDeletedButton"}};
    for (const auto& [filter, caption, name] : filters) {
        auto* button = new QRadioButton(caption);
        button->setObjectName(QString::fromLatin1(name));
        recordFilter_->addButton(button, static_cast<int>(filter));
        recordsLayout->addWidget(button);
    }
    recordFilter_->button(static_cast<int>(RecordFilter::AllRecords))->setChecked(true);
    QPushButton* columns = Button(tr("Colum&ns"), "columnsButton");
    recordsLayout->addWidget(columns);

    auto* formats = new QGroupBox(tr("Format"));
    auto* formatsLayout = new QGridLayout(formats);
    formatButtons_ = new QButtonGroup(this);
    for (std::size_t i = 0; i < std::size(kFormats); ++i) {
        auto* button = new QRadioButton(tr(kFormats[i].Caption));
        button->setObjectName(QStringLiteral("format%1").arg(static_cast<int>(kFormats[i].Format)));
        formatButtons_->addButton(button, static_cast<int>(kFormats[i].Format));
        formatsLayout->addWidget(button, static_cast<int>(i) % kFormatRows, static_cast<int>(i) / kFormatRows);
    }
    QPushButton* save = Button(tr("&Save"), "convertButton");
    openFolderCheck_ = new QCheckBox(tr("O&pen folder when done"));
    openFolderCheck_->setObjectName(QStringLiteral("openFolderCheck"));
    openFolderCheck_->setChecked(true);
    // Save and the check box take the row under the formats, however many there are, so that
    // the window keeps its opening width.
    auto* saving = new QHBoxLayout;
    saving->addWidget(save);
    saving->addWidget(openFolderCheck_);
    saving->addStretch();
    formatsLayout->addLayout(saving, kFormatRows, 0, 1, -1);

    browser_ = new RecordBrowser(model_);
    recordView_ = browser_->View();
    recordView_->setObjectName(QStringLiteral("recordView"));
    recordView_->setItemDelegate(new ListCellDelegate(recordView_));
    recordView_->setAlternatingRowColors(true);
    recordView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    recordView_->setWordWrap(false);
    recordView_->verticalHeader()->hide();
    recordView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    recordView_->verticalHeader()->setDefaultSectionSize(recordView_->fontMetrics().height() + 6);
    recordView_->horizontalHeader()->setHighlightSections(false);
    recordView_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* busyPage = new QWidget;
    auto* busyLayout = new QVBoxLayout(busyPage);
    busyLabel_ = new QLabel;
    busyLabel_->setObjectName(QStringLiteral("busyLabel"));
    busyLabel_->setWordWrap(true);
    progressBar_ = new QProgressBar;
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setRange(0, 1000);
    progressBar_->setTextVisible(false);
    busyLayout->addStretch();
    busyLayout->addWidget(busyLabel_);
    busyLayout->addWidget(progressBar_);
    busyLayout->addStretch();
    listArea_ = new QStackedWidget;
    listArea_->addWidget(browser_);
    listArea_->addWidget(busyPage);

    QPushButton* about = Button(tr("&About"), "aboutButton");

    auto* area = new QWidget;
    auto* grid = new QGridLayout(area);
    grid->addLayout(places, 0, 0, 1, 3);
    grid->addLayout(factsLayout_, 1, 0);
    grid->addWidget(records, 1, 1);
    grid->addWidget(formats, 1, 2);
    grid->addWidget(listArea_, 2, 0, 1, 3);
    grid->addWidget(about, 3, 0, 1, 3, Qt::AlignHCenter);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);

    connect(open, &QPushButton::clicked, this, &MainWindow::openTable);
    connect(browse, &QPushButton::clicked, this, &MainWindow::browse);
    connect(columns, &QPushButton::clicked, this, &MainWindow::chooseColumns);
    connect(save, &QPushButton::clicked, this, &MainWindow::convert);
    connect(about, &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(formatButtons_, &QButtonGroup::idClicked, this, &MainWindow::ChooseFormat);
    connect(codePageBox_, &QComboBox::currentIndexChanged, this, &MainWindow::ChooseCodePage);
    return area;
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &MainWindow::openTable)->setObjectName(QStringLiteral("openAction"));
    recentMenu_ = file->addMenu(tr("Open &Recent"));
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    // Filled now and after each open too: a menu left disabled while empty would never show again.
    connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::FillRecentMenu);
    FillRecentMenu();
    file->addAction(tr("&Convert..."), QKeySequence(Qt::CTRL | Qt::Key_S), this, &MainWindow::convert)
        ->setObjectName(QStringLiteral("convertAction"));
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &QWidget::close);
    QMenu* edit = menuBar()->addMenu(tr("E&dit"));
    edit->addActions({browser_->CopyAction(), browser_->FindAction(), browser_->FindNextAction(), browser_->FindPreviousAction()});
    menuBar()->addMenu(tr("Vie&w"))->addAction(browser_->DetailsAction());
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About %1").arg(ProgramName()), this, &MainWindow::showAbout);
}

void MainWindow::BuildStatusBar() {
    codePageLabel_ = new QLabel;
    recordCountLabel_ = new QLabel;
    deletedCountLabel_ = new QLabel;
    codePageLabel_->setObjectName(QStringLiteral("codePageLabel"));
    recordCountLabel_->setObjectName(QStringLiteral("recordCountLabel"));
    deletedCountLabel_->setObjectName(QStringLiteral("deletedCountLabel"));
    for (QLabel* label : {codePageLabel_, recordCountLabel_, deletedCountLabel_}) statusBar()->addPermanentWidget(label);
    auto* details = new QToolButton;
    details->setObjectName(QStringLiteral("detailsButton"));
    details->setDefaultAction(browser_->DetailsAction());
    statusBar()->addPermanentWidget(details);
    // While a filter hides records, the count says how many of how many are shown.
    connect(browser_, &RecordBrowser::filterTextChanged, this, [this](const QString& shown) {
        recordCountLabel_->setText(shown.isEmpty() ? tr("Records: %1").arg(table_->RecordCount()) : shown);
    });
}

void MainWindow::FillRecentMenu() {
    recentMenu_->clear();
    for (const QString& path : settings_.value(kRecentKey).toStringList()) {
        QString caption = path;
        recentMenu_->addAction(caption.replace(QLatin1Char('&'), QLatin1String("&&")), this, [this, path] { openFile(path); });
    }
    recentMenu_->setEnabled(!recentMenu_->isEmpty());
}

void MainWindow::RememberRecent(const QString& path) {
    QStringList recent = settings_.value(kRecentKey).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    settings_.setValue(kRecentKey, recent.mid(0, kRecentTables));
    FillRecentMenu();
}

void MainWindow::openTable() {
    if (busy()) return;
    const QString start = settings_.value(kOpenFolderKey, defaultOpenFolder_).toString();
    const std::optional<QString> chosen = platform_.ChooseFileToOpen(this, tr("DBF Files (*.dbf)"), start);
    if (chosen) openFile(*chosen);
}

void MainWindow::openFile(const QString& path) {
    if (busy()) return;
    settings_.setValue(kOpenFolderKey, QFileInfo(path).absolutePath());
    tableLoaded_ = true;
    openingPath_ = path;
    ShowBusy(tr("Reading \"%1\"...").arg(path));
    loader_.Start([path, windowBytes = listWindowBytes_](const BackgroundJob<Loaded>::Progress&) { return Read(path, windowBytes); });
}

void MainWindow::ShowBusy(const QString& what) {
    setEnabled(false);
    busyLabel_->setText(what);
    statusBar()->showMessage(what);
    progressBar_->setValue(0);
    listArea_->setCurrentIndex(1);
}

void MainWindow::ShowRecords() {
    listArea_->setCurrentIndex(0);
    statusBar()->clearMessage();
    setEnabled(true);
    // Disabling dropped the keyboard focus; the records are what the user came for.
    recordView_->setFocus();
}

MainWindow::Loaded MainWindow::Read(const QString& path, std::uint64_t windowBytes) {
    Loaded loaded;
    try {
        loaded.Stream = std::make_shared<TableStream>(PathBytes(path), windowBytes);
        if (loaded.Stream->Table().RecordCount() > 0) HoldRecord(loaded.Stream->Table(), 0);
    } catch (const TableError& e) {
        if (e.ErrorKind() != TableError::Kind::UnknownVersion) {
            loaded.Message = QFile::decodeName(e.what());
            return loaded;
        }
        // The required text ends in the refused byte as a character; the byte as a number follows.
        const std::string required = e.what();
        const auto byte = static_cast<unsigned char>(required.empty() ? 0 : required.back());
        loaded.Icon = MessageIcon::None;  // a table of another kind, not a fault
        loaded.Message = tr("%1\n\n\"%2\" starts with the version byte 0x%3, which is not one of the table versions %4 reads.")
                             .arg(Decoded(CodePage::Default(), required), path,
                                  QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper(), ProgramName());
        return loaded;
    } catch (const std::bad_alloc&) {
        loaded.Message = tr("Cannot read \"%1\": there is not enough memory to hold it.").arg(path);
        return loaded;
    } catch (const std::exception& e) {
        loaded.Message = tr("Cannot read \"%1\": %2").arg(path, QString::fromLocal8Bit(e.what()));
        return loaded;
    }
    const OpenTable& table = loaded.Stream->Table();
    const std::int64_t lost = table.RecordsPromised - table.RecordCount();
    const bool cut = LastRecordCut(table, path);
    if (lost > 0 || cut) {
        loaded.Icon = MessageIcon::Warning;
        loaded.Message = tr("The file \"%1\" ends early.").arg(path);
        if (lost > 0) {
            loaded.Message += QLatin1Char(' ') + tr("%1 of the %2 records that its header promises could not be read. "
                                                    "The list shows the %3 it holds.")
                                                     .arg(lost)
                                                     .arg(table.RecordsPromised)
                                                     .arg(table.RecordCount());
        }
        if (cut) loaded.Message += QLatin1Char(' ') + tr("The last record shown is itself cut short: its missing fields show empty.");
    }
    return loaded;
}

MainWindow::Surveyed MainWindow::Survey(TableStream& stream, const std::atomic<bool>& stop,
                                        const BackgroundJob<Surveyed>::Progress& progress) {
    Surveyed surveyed;
    const OpenTable& table = stream.Table();
    try {
        for (std::int64_t first = 0; first < table.RecordCount(); first += stream.WindowRecords()) {
            if (stop) return {};  // another table came first
            stream.Hold(first, std::min(table.RecordCount(), first + stream.WindowRecords()));
            for (std::int64_t r = first; r < first + static_cast<std::int64_t>(table.DeletedFlags.size()); ++r) {
                surveyed.Deleted += table.IsDeleted(r) ? 1 : 0;
            }
            progress(first + static_cast<std::int64_t>(table.DeletedFlags.size()), table.RecordCount());
        }
        surveyed.Warnings = stream.Warnings();
    } catch (const std::exception& e) {
        surveyed.Warnings.push_back(e.what());
    }
    return surveyed;
}

void MainWindow::FinishOpen(Loaded loaded) {
    ShowRecords();
    if (!loaded.Stream) {
        // The table shown stays, and so does what its survey has yet to tell.
        Tell(loaded.Message, loaded.Icon);
        emit tableOpened();
        return;
    }
    openMessage_ = loaded.Message;
    openIcon_ = loaded.Icon;
    ShowTable(std::move(loaded.Stream));
    RememberRecent(openingPath_);
}

void MainWindow::StopSurvey() {
    stopSurvey_->store(true);
    surveyor_.Wait();
    stopSurvey_ = std::make_shared<std::atomic<bool>>(false);
}

void MainWindow::FinishSurvey(const Surveyed& surveyed) {
    if (surveyed.Number != surveys_) return;
    deletedCountLabel_->setText(tr("Deleted: %1").arg(surveyed.Deleted));
    if (!surveyed.Warnings.empty()) {
        openIcon_ = MessageIcon::Warning;
        if (openMessage_.isEmpty()) openMessage_ = tr("Not all of \"%1\" could be read.").arg(sourceBox_->text());
        for (const std::string& warning : surveyed.Warnings) openMessage_ += QStringLiteral("\n\n") + PathText(warning);
    }
    if (!openMessage_.isEmpty()) Tell(openMessage_, openIcon_);
    openMessage_.clear();
    emit tableOpened();
}

void MainWindow::ShowTable(std::shared_ptr<TableStream> stream) {
    StopSurvey();
    model_->SetTable(nullptr, exportSettings_.DecimalSeparator);
    stream_ = std::move(stream);
    table_ = &stream_->Table();
    table_->ListColumns();
    table_->SetSource(PathBytes(openingPath_));
    sourceBox_->setText(openingPath_);
    // The facts' lines end as a Windows text's do; a tooltip would show each CR.
    const QString facts = PathText(InformationText(*table_)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed();
    infoBox_->setPlainText(facts);
    infoBox_->setToolTip(facts);
    model_->SetTable(table_, exportSettings_.DecimalSeparator);
    browser_->SetTable(table_, exportSettings_.DecimalSeparator);
    recordView_->scrollToTop();
    ShowCodePage();
    deletedCountLabel_->setText(tr("Deleted: counting..."));
    if (!saveBox_->text().isEmpty()) RefreshSaveBox();
    // Through a stream of its own, so the list goes on holding the records it shows meanwhile.
    surveyor_.Start([survey = std::shared_ptr<TableStream>(stream_->Another(TableStream::kWindowBytes)), stop = stopSurvey_,
                     number = ++surveys_](const BackgroundJob<Surveyed>::Progress& progress) {
        Surveyed surveyed = Survey(*survey, *stop, progress);
        surveyed.Number = number;
        return surveyed;
    });
    emit tableShown();
}

void MainWindow::ChooseCodePage(int index) {
    const CodePage* page = CodePage::ForNumber(codePageBox_->itemData(index).toInt());
    if (sourceBox_->text().isEmpty()) return;  // no table shown to re-read
    // A file being written reads the table's page: it keeps the one it started with.
    if (page != nullptr && !busy()) {
        UseChosenCodePage(*table_, *page);
        // Texts sort and match anew in the new page: the list starts again from file order.
        model_->SetTable(table_, exportSettings_.DecimalSeparator);
        browser_->SetTable(table_, exportSettings_.DecimalSeparator);
    }
    ShowCodePage();
}

void MainWindow::ShowCodePage() {
    const QString line = QString::fromStdString(CodePageLine(*table_));
    codePageLabel_->setText(line);
    codePageBox_->setToolTip(line);
    const QSignalBlocker quiet(codePageBox_);
    codePageBox_->setCurrentIndex(codePageBox_->findData(table_->TableCodePage->Number()));
    codePageBox_->setEnabled(true);
}

void MainWindow::RefreshSaveBox() {
    saveBox_->setText(PathText(OutputPathText(exportSettings_.SaveFolder, table_->TableBaseName,
                                              ExtensionOf(exportSettings_.OutputFormat))));
}

void MainWindow::Tell(const QString& text, MessageIcon icon) { platform_.ShowMessage(this, ProgramName(), text, icon); }

void MainWindow::browse() {
    if (busy()) return;
    const QString start = exportSettings_.SaveFolder.empty() ? settings_.value(kSaveFolderKey).toString()
                                                             : PathText(exportSettings_.SaveFolder);
    SaveLocationDialog dialog(platform_, start, this);
    dialog.exec();
    if (const std::optional<QString> folder = dialog.folder()) {
        exportSettings_.SaveFolder = PathBytes(*folder);
        if (!folder->isEmpty()) settings_.setValue(kSaveFolderKey, *folder);
    }
    if (!exportSettings_.SaveFolder.empty() && !sourceBox_->text().isEmpty()) {
        RefreshSaveBox();
    } else {
        saveBox_->clear();
    }
}

void MainWindow::chooseColumns() {
    if (!tableLoaded_ || busy()) return;
    QStringList names;
    for (int field = 0; field < table_->ColumnCount; ++field) {
        names.append(Decoded(*table_->TableCodePage, table_->FieldNames[static_cast<std::size_t>(field)]));
    }
    ColumnsDialog dialog(names, table_->ColumnSelected, this);
    if (dialog.exec() == QDialog::Accepted) table_->ColumnSelected = dialog.selection();
}

void MainWindow::convert() {
    if (busy()) return;
    if (model_->rowCount() == 0) {
        Tell(tr("Need to open a file first!"), MessageIcon::Critical);
        return;
    }
    if (saveBox_->text().isEmpty()) {
        Tell(tr("Need to open a save location!"), MessageIcon::Critical);
        return;
    }
    const auto format = static_cast<OutputFormat>(formatButtons_->checkedId());
    if (!AskOptions(format)) return;
    exportSettings_.OutputFormat = format;
    exportSettings_.RecordFilter = static_cast<RecordFilter>(recordFilter_->checkedId());
    const std::string path = OutputPath(*table_, exportSettings_, format);
    ShowBusy(tr("Writing \"%1\"...").arg(PathText(path)));
    // The file is written from a reading of the table of its own, while the list goes on showing it.
    writer_.Start([table = std::make_shared<const TableForThread>(*table_), settings = exportSettings_,
                   path](const BackgroundJob<Written>::Progress& progress) {
        Written written;
        try {
            const ExportResult result = ExportTable(table->Table(), settings, progress);
            for (const std::string& note : result.Notes) {
                if (!written.Notes.isEmpty()) written.Notes += QLatin1Char('\n');
                written.Notes += PathText(note);
            }
        } catch (const std::bad_alloc&) {
            written.Failure = tr("Cannot write \"%1\": there is not enough memory to write it.").arg(PathText(path));
        } catch (const std::exception& e) {
            // The exporters name the file in their messages; any other failure gets it put in front.
            const std::string message = e.what();
            written.Failure = message.find(path) != std::string::npos
                                  ? PathText(message)
                                  : tr("Cannot write \"%1\": %2").arg(PathText(path), QString::fromLocal8Bit(e.what()));
        }
        return written;
    });
}

bool MainWindow::AskOptions(OutputFormat format) {
    switch (format) {
    case OutputFormat::Text:
    case OutputFormat::CSV: {
        DelimitedOptionsDialog dialog(this);
        if (dialog.exec() != QDialog::Accepted) return false;
        exportSettings_.Delimited = dialog.options();
        return true;
    }
    case OutputFormat::HTML: {
        HtmlOptionsDialog dialog(platform_, this);
        if (dialog.exec() != QDialog::Accepted) return false;
        exportSettings_.Html = dialog.options();
        return true;
    }
    case OutputFormat::RTF: {
        RtfOptionsDialog dialog(this);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        exportSettings_.Rtf = dialog.options();
        return accepted;
    }
    default:
        return true;
    }
}

void MainWindow::FinishConvert(const Written& written) {
    ShowRecords();
    if (!written.Failure.isEmpty()) {
        Tell(written.Failure, MessageIcon::Critical);
    } else {
        if (!written.Notes.isEmpty()) Tell(written.Notes, MessageIcon::Information);
        const QString folder = PathText(exportSettings_.SaveFolder);
        if (openFolderCheck_->isChecked() && !platform_.ShowFolder(folder)) {
            Tell(tr("The file was written, but the folder \"%1\" could not be shown in the file browser.").arg(folder),
                 MessageIcon::Warning);
        }
    }
    emit converted();
}

void MainWindow::showAbout() {
    AboutDialog dialog(platform_, this);
    dialog.exec();
}

void MainWindow::ChooseFormat(int format) {
    exportSettings_.OutputFormat = static_cast<OutputFormat>(format);
    formatButtons_->button(format)->setChecked(true);
    if (!sourceBox_->text().isEmpty() && !saveBox_->text().isEmpty()) RefreshSaveBox();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    settings_.setValue(kGeometryKey, saveGeometry());
    // A file being written is finished first, so that no half-written file is left behind.
    writer_.Wait();
    QMainWindow::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!busy() && std::any_of(urls.begin(), urls.end(), IsTableFile)) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!IsTableFile(url)) continue;
        event->acceptProposedAction();
        openFile(url.toLocalFile());
        return;
    }
}

}  // namespace quillet
