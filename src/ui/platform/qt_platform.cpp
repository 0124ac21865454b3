#include "ui/platform/qt_platform.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

#include "ui/platform/folder_listing.h"

namespace quillet {

std::optional<QString> QtPlatform::ChooseFileToOpen(QWidget* parent, const QString& filter, const QString& startFolder) {
    const QString path = QFileDialog::getOpenFileName(parent, QString(), startFolder, filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

void QtPlatform::ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) {
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    if (icon == MessageIcon::Information) shown = QMessageBox::Information;
    if (icon == MessageIcon::Warning) shown = QMessageBox::Warning;
    if (icon == MessageIcon::Critical) shown = QMessageBox::Critical;
    QMessageBox box(shown, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QColor> QtPlatform::ChooseColor(QWidget* parent, const QColor& current) {
    const QColor chosen = QColorDialog::getColor(current, parent);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

bool QtPlatform::StartProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

bool QtPlatform::ShowFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QList<Volume> QtPlatform::MountedVolumes() {
    QList<Volume> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        // Single files mounted into containers are no place to save into.
        if (!storage.isValid() || !QFileInfo(storage.rootPath()).isDir()) continue;
        const QString name = storage.displayName();
        volumes.append({storage.rootPath(), name.isEmpty() ? storage.rootPath() : name, storage.isReady()});
    }
    return volumes;
}

QString QtPlatform::CurrentFolder() { return QDir::currentPath(); }

FolderListing QtPlatform::ListFolders(const QString& folder) { return ReadSubfolders(folder); }

QString QtPlatform::FindProgram(const QString& name) { return QStandardPaths::findExecutable(name); }

}  // namespace quillet
