#pragma once

#include <QDir>
#include <QMap>
#include <deque>

#include "ui/platform/folder_listing.h"
#include "ui/platform/platform.h"

namespace quillet::testing {

// The desktop for tests: dialogs answer from a script (a missing answer is a cancel), what the
// windows ask for is recorded, folders are read from the real file system, nothing waits.
class ScriptedPlatform final : public Platform {
public:
    struct Message {
        QString Caption;
        QString Text;
        MessageIcon Icon;
    };

    std::deque<std::optional<QString>> FileAnswers;
    std::deque<std::optional<QColor>> ColorAnswers;
    bool ProgramsStart = true;
    bool FoldersOpen = true;
    QList<Volume> Volumes;
    QString Current = QDir::currentPath();
    QMap<QString, QString> UnreadableFolders;  // folder, the reason it cannot be read
    QMap<QString, QString> InstalledPrograms;  // name, full path

    QStringList FileDialogStarts;
    QList<Message> Messages;
    QStringList ProgramsStarted;
    QStringList FoldersShown;

    std::optional<QString> ChooseFileToOpen(QWidget*, const QString&, const QString& startFolder) override {
        FileDialogStarts.append(startFolder);
        return Next(FileAnswers);
    }
    void ShowMessage(QWidget*, const QString& caption, const QString& text, MessageIcon icon) override {
        Messages.append({caption, text, icon});
    }
    std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return Next(ColorAnswers); }
    bool StartProgram(const QString& program, const QStringList&) override {
        ProgramsStarted.append(program);
        return ProgramsStart;
    }
    bool ShowFolder(const QString& folder) override {
        FoldersShown.append(folder);
        return FoldersOpen;
    }
    QList<Volume> MountedVolumes() override { return Volumes; }
    QString CurrentFolder() override { return Current; }
    FolderListing ListFolders(const QString& folder) override {
        if (UnreadableFolders.contains(folder)) return {{}, UnreadableFolders[folder]};
        return ReadSubfolders(folder);
    }
    QString FindProgram(const QString& name) override { return InstalledPrograms.value(name); }

private:
    template <typename T>
    static std::optional<T> Next(std::deque<std::optional<T>>& answers) {
        if (answers.empty()) return std::nullopt;
        std::optional<T> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace quillet::testing
