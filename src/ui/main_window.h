#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>

#include "export/export_settings.h"
#include "table/open_table.h"
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

    const OpenTable& table() const { return table_; }
    const ExportSettings& exportSettings() const { return exportSettings_; }
    bool busy() const { return loader_.Running() || writer_.Running(); }

    // Where the open dialog starts when no table has been opened from elsewhere yet.
    void setDefaultOpenFolder(const QString& folder);

    // "Open": asks for a table file, then openFile.
    void openTable();
    // Reads path on a worker thread while the window waits; tableOpened follows, whatever became of it.
    void openFile(const QString& path);
    // "Browse": the save-location dialog, then the Save box from the folder chosen.
    void browse();
    // "Columns": the columns dialog, once a table file has been chosen.
    void chooseColumns();
    // "Save": the format's options, then the file written on a worker thread; converted follows.
    void convert();
    void showAbout();

signals:
    void tableOpened();
    void converted();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Loaded {
        std::shared_ptr<OpenTable> Table;  // null when the file was refused
        QString Message;                   // why it was refused, or what the user must know of it
        MessageIcon Icon = MessageIcon::Critical;
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
    void ShowTable(OpenTable&& table);
    void ChooseCodePage(int index);
    void ShowCodePage();
    void RememberRecent(const QString& path);
    void FillRecentMenu();
    void RefreshSaveBox();
    void ChooseFormat(int format);
    bool AskOptions(OutputFormat format);
    void FinishConvert(const Written& written);
    void Tell(const QString& text, MessageIcon icon);
    static Loaded Read(const QString& path, const BackgroundJob<Loaded>::Progress& progress);

    Platform& platform_;
    QSettings& settings_;
    OpenTable table_;
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
};

}  // namespace quillet
