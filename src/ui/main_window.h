#pragma once

#include <QMainWindow>
#include <QString>
#include <atomic>
#include <memory>

#include "export/export_settings.h"
#include "table/open_table.h"
#include "table/table_stream.h"
#include "ui/background_job.h"
#include "ui/platform/platform.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSettings;
class QStackedWidget;
class QTableView;
class QVBoxLayout;

namespace quillet {

class RecordBrowser;
class TableListModel;

// The program's one window: open a table and show it, choose records, columns, format and
// folder, convert. It owns the open table and the export settings, and stores what the dialogs
// return; every question it asks the desktop goes through the platform layer, and what outlives
// a run (its size and place, the last folders, the recent tables) goes into settings.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Platform& platform, QSettings& settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    const OpenTable& table() const { return *table_; }
    const ExportSettings& exportSettings() const { return exportSettings_; }
    bool busy() const { return loader_.Running() || writer_.Running(); }

    // The list reads a window of this many bytes of records at a time around what it shows.
    static constexpr std::uint64_t kListWindowBytes = 1u << 20;
    void setListWindowBytes(std::uint64_t bytes) { listWindowBytes_ = bytes; }

    // Where the open dialog starts when no table has been opened from elsewhere yet.
    void setDefaultOpenFolder(const QString& folder);

    // "Open": asks for a table file, then openFile.
    void openTable();
    // Reads path's header and first records on a worker thread while the window waits, then shows
    // the list while the deleted records are counted and the memos read through; tableOpened
    // follows that, or the refusal.
    void openFile(const QString& path);
    // "Browse": the save-location dialog, then the Save box from the folder chosen.
    void browse();
    // "Columns": the columns dialog, once a table file has been chosen.
    void chooseColumns();
    // "Save": the format's options, then the file written on a worker thread; converted follows.
    void convert();
    void showAbout();

signals:
    // The list shows the table's first records; its deleted count and warnings follow.
    void tableShown();
    void tableOpened();
    void converted();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Loaded {
        std::shared_ptr<TableStream> Stream;  // null when the file was refused
        QString Message;                   // why it was refused, or what the user must know of it
        MessageIcon Icon = MessageIcon::Critical;
    };
    // What reading the whole table once told.
    struct Surveyed {
        std::int64_t Deleted = 0;
        std::vector<std::string> Warnings;  // what could not be read, ready to show
        int Number = 0;                     // which survey: a later table's counts alone
    };
    struct Written {
        QString Failure;  // why nothing was written; empty when the file was
        QString Notes;    // what the user must know of the file written
    };

    void BuildMenus();
    QWidget* BuildCentralArea();
    void BuildStatusBar();
    void ShowBusy(const QString& what);
    void ShowRecords();
    void FinishOpen(Loaded loaded);
    void ShowTable(std::shared_ptr<TableStream> stream);
    void StopSurvey();
    void FinishSurvey(const Surveyed& surveyed);
    void ChooseCodePage(int index);
    void ShowCodePage();
    void RememberRecent(const QString& path);
    void FillRecentMenu();
    void RefreshSaveBox();
    void ChooseFormat(int format);
    bool AskOptions(OutputFormat format);
    void FinishConvert(const Written& written);
    void Tell(const QString& text, MessageIcon icon);
    static Loaded Read(const QString& path, std::uint64_t windowBytes);
    static Surveyed Survey(TableStream& stream, const std::atomic<bool>& stop, const BackgroundJob<Surveyed>::Progress& progress);

    Platform& platform_;
    QSettings& settings_;
    OpenTable noTable_;
    std::shared_ptr<TableStream> stream_;  // the table shown; the list holds a window of it
    OpenTable* table_ = &noTable_;
    std::uint64_t listWindowBytes_ = kListWindowBytes;
    QString openMessage_;  // told once the survey is done
    MessageIcon openIcon_ = MessageIcon::Critical;
    ExportSettings exportSettings_;
    bool tableLoaded_ = false;
    QString defaultOpenFolder_;
    QString openingPath_;

    TableListModel* model_;
    QLineEdit* sourceBox_;
    QLineEdit* saveBox_;
    QPlainTextEdit* infoBox_;
    QVBoxLayout* factsLayout_;
    QComboBox* codePageBox_;
    QButtonGroup* recordFilter_;
    QButtonGroup* formatButtons_;
    QCheckBox* openFolderCheck_;
    QStackedWidget* listArea_;
    RecordBrowser* browser_;  // the list with its sort, find, filter, details and copy
    QTableView* recordView_;
    QLabel* busyLabel_;
    QProgressBar* progressBar_;
    QLabel* codePageLabel_;
    QLabel* recordCountLabel_;
    QLabel* deletedCountLabel_;
    QMenu* recentMenu_;

    BackgroundJob<Loaded> loader_;
    BackgroundJob<Written> writer_;
    std::shared_ptr<std::atomic<bool>> stopSurvey_ = std::make_shared<std::atomic<bool>>(false);
    int surveys_ = 0;
    BackgroundJob<Surveyed> surveyor_;
};

}  // namespace quillet
