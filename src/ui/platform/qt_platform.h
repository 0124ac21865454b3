#pragma once

#include "ui/platform/platform.h"

namespace quillet {

// The desktop as Qt offers it: Qt's dialogs, QProcess, QDesktopServices, QStorageInfo and the file system.
class QtPlatform final : public Platform {
public:
    std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& filter, const QString& startFolder) override;
    void ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) override;
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& current) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
    bool ShowFolder(const QString& folder) override;
    QList<Volume> MountedVolumes() override;
    QString CurrentFolder() override;
    FolderListing ListFolders(const QString& folder) override;
    QString FindProgram(const QString& name) override;
};

}  // namespace quillet
