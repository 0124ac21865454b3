#pragma once

#include <QDialog>
#include <QList>

#include "export/export_settings.h"
#include "ui/platform/platform.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace quillet {

class FolderList;

// "Save Location": the folder conversions write into. The drive list holds the roots of the
// mounted file systems, the folder list the folder tree; both start at the process's current
// folder. OK takes the open folder, Cancel forgets any folder, the close box keeps SaveFolder.
class frmSave final : public QDialog {
    Q_OBJECT
public:
    // saveBox is the main window's Save box, which every way of closing fills with SaveFolder.
    frmSave(Platform& platform, ExportSettings& settings, QLineEdit& saveBox, QWidget* parent = nullptr);

    // The user picked another volume in the drive list.
    void Drive1_Change();
    void OKButton_Click();
    void CancelButton_Click();

    void done(int result) override;

private:
    void BuildControls();
    // The volume whose root holds path most closely, or -1.
    int VolumeOf(const QString& path) const;
    // Where the folder list goes on that volume: the process's current folder when it lies there.
    QString CurrentFolderOn(int volume) const;
    void ShowDriveOf(const QString& path);
    void Refuse(const QString& folder, const QString& reason);

    Platform& platform_;
    ExportSettings& settings_;
    QLineEdit& saveBox_;
    QList<Volume> volumes_;

    QComboBox* Drive1 = nullptr;
    FolderList* Dir1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
};

}  // namespace quillet
