#pragma once

#include <QString>
#include <QWidget>

#include "export/export_settings.h"
#include "table/open_table.h"
#include "ui/platform/platform.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;

namespace quillet {

class TableExporter;
class TableListModel;
class TableLoader;

// The program's one window: open a table and show it, choose format, records, columns and
// folder, convert. It owns the open table and the export settings; every question it asks the
// desktop goes through the platform layer.
class frmMain final : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(Platform& platform, QWidget* parent = nullptr);
    ~frmMain() override;

    // Where the open dialog starts until the user has chosen a file; empty leaves it to the desktop.
    void SetOpenFolder(const QString& folder) { openFolder_ = folder; }

    const OpenTable& Table() const { return table_; }
    ExportSettings& Settings() { return settings_; }
    const ExportSettings& Settings() const { return settings_; }
    bool TableLoaded() const { return tableLoaded_; }
    bool Opening() const;
    bool Exporting() const;

    // The state of the record-filter buttons, which a conversion reads when it starts.
    quillet::RecordFilter ChosenRecordFilter() const;

    // "Open": choose a table file and show it. The file is read on a worker thread while the
    // window is disabled; OpenFinished follows, whatever became of the file.
    void Command1_Click();
    // "Browse": shows the save-location dialog, then rebuilds the Save box from SaveFolder.
    void Command2_Click();
    // "Columns": shows the columns dialog once a table file has been chosen.
    void Command3_Click();
    // "Save": the convert command. After the format's options dialog, the file is written on a
    // worker thread while the window is disabled; ExportFinished follows, whatever became of it.
    void Command4_Click();
    // "About": shows the about box.
    void Command5_Click();
    // A format button: records the format and its extension and refreshes a filled Save box.
    void Option2_Click(int index);

signals:
    void OpenFinished();
    void ExportFinished();

private:
    void BuildControls();
    void SetTabOrder();
    void Form_Load();
    void ShowProgress(int permille);
    void FinishOpen();
    void ShowTable(OpenTable&& table, const QString& path);
    void RefreshSaveBox();
    bool OptionsAccepted(OutputFormat format);
    void StartExport(OutputFormat format);
    void FinishExport();
    void Tell(const QString& text, MessageIcon icon);

    Platform& platform_;
    OpenTable table_;
    ExportSettings settings_;
    bool tableLoaded_ = false;
    QString openFolder_;
    QString openingPath_;

    TableListModel* model_ = nullptr;
    TableLoader* loader_ = nullptr;
    TableExporter* exporter_ = nullptr;
    QButtonGroup* formatButtons_ = nullptr;

    QFrame* Shape1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QFrame* Shape2 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPushButton* Command2 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QFrame* Picture1[2] = {};
    QRadioButton* Option1[3] = {};
    QPushButton* Command3 = nullptr;
    QRadioButton* Option2[7] = {};
    QPushButton* Command4 = nullptr;
    QCheckBox* Check1 = nullptr;
    QTableView* LV2 = nullptr;
    QProgressBar* pb = nullptr;
    QPushButton* Command5 = nullptr;
};

}  // namespace quillet
