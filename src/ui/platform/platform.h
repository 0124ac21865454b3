#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace quillet {

enum class MessageIcon { None, Information, Warning, Critical };

// One mounted file system, as the save-location dialog lists it in place of a drive.
struct Volume {
    QString RootPath;     // where it is mounted, e.g. "/" or "/media/usb"
    QString DisplayName;  // its label, or the root path when it has none
    bool Ready = false;   // false when it holds no medium or cannot be read now
};

// The folders directly inside one folder, or why it cannot be read.
struct FolderListing {
    QStringList Names;  // the subfolders' names in the order a person looks for them
    QString Problem;    // the system's description of the failure; empty when the folder was read
};

// Everything the windows ask of the desktop. Windows take it by reference so that tests can
// answer every dialog by script and record every message, and no path needs a person.
class Platform {
public:
    virtual ~Platform() = default;

    // The modal open-file dialog. filter is Qt's form, "DBF Files (*.dbf)"; an empty startFolder
    // leaves the start at the desktop's default. Returns the chosen file's full path, or nothing
    // when the user cancelled.
    virtual std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& filter, const QString& startFolder) = 0;

    // A modal message box with a single OK button; returns when the user has closed it.
    virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) = 0;

    // The modal colour dialog, starting at current. Returns the confirmed colour, or nothing on cancel.
    virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& current) = 0;

    // Starts a program without waiting for it. Returns false when it could not be started.
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;

    // Opens the folder in the desktop's file browser without waiting. Returns false on failure.
    virtual bool ShowFolder(const QString& folder) = 0;

    // The mounted file systems, in the order the desktop reports them.
    virtual QList<Volume> MountedVolumes() = 0;

    // The process's current folder, where the save-location dialog starts.
    virtual QString CurrentFolder() = 0;

    // The subfolders of folder.
    virtual FolderListing ListFolders(const QString& folder) = 0;

    // The full path of the installed program of this name found on PATH, or empty.
    virtual QString FindProgram(const QString& name) = 0;
};

}  // namespace quillet
