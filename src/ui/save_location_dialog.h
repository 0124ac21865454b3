#pragma once

#include <QDialog>
#include <QList>
#include <optional>

#include "ui/platform/platform.h"

class QComboBox;
class QLineEdit;

namespace quillet {

class FolderList;

// "Save Location": the folder conversions write into. The drive list holds the mounted file
// systems, the folder list the folder tree, the box under them the folder OK takes.
class SaveLocationDialog final : public QDialog {
    Q_OBJECT
public:
    // Starts at startFolder, or at the process's current folder when that cannot be read.
    SaveLocationDialog(Platform& platform, const QString& startFolder, QWidget* parent = nullptr);

    // After OK the open folder; after "Cancel" empty; after Esc or the close box nothing, which
    // keeps the folder chosen before.
    std::optional<QString> folder() const { return folder_; }

    // The user picked a volume in the drive list.
    void chooseDrive(int index);

private:
    // The volume whose root holds path most closely, or -1.
    int VolumeOf(const QString& path) const;
    // Where the folder list goes on that volume: the process's current folder when it lies there.
    QString StartOn(int volume) const;
    void ShowPath();
    void Refuse(const QString& folder, const QString& reason);

    Platform& platform_;
    QList<Volume> volumes_;
    std::optional<QString> folder_;

    QComboBox* driveBox_;
    FolderList* folderList_;
    QLineEdit* pathBox_;
};

}  // namespace quillet
