#pragma once

#include <QDir>
#include <QList>
#include <QMap>
#include <deque>

#include "ui/platform/platform.h"

namespace quillet::testing {

// The desktop for tests: dialogs answer from a script, everything asked is recorded, nothing
// waits for a person. A dialog asked for without a scripted answer is recorded in Unexpected and
// answered with a cancel, so a test sees the surprise instead of hanging.
class ScriptedPlatform final : public Platform {
public:
    struct Message {
        QString Caption;
        QString Text;
        MessageIcon Icon;
    };
    struct FileRequest {
        QString Filter;
        QString StartFolder;
    };
    struct ProgramStart {
        QString Program;
        QStringList Arguments;
    };

    // Script, consumed in order.
    void AnswerFileDialog(const QString& path) { fileAnswers_.push_back({false, path}); }
    void CancelFileDialog() { fileAnswers_.push_back({true, {}}); }
    void AnswerColorDialog(const QColor& color) { colorAnswers_.push_back({false, color}); }
    void CancelColorDialog() { colorAnswers_.push_back({true, {}}); }
    bool ProgramsStart = true;
    bool FoldersOpen = true;
    QList<Volume> Volumes;
    QString Current = QDir::currentPath();
    // Folders are read from the real file system, except these, which fail with their description.
    QMap<QString, QString> UnreadableFolders;
    // Programs "installed" on PATH: name, full path. None unless a test puts them here.
    QMap<QString, QString> InstalledPrograms;

    // What the windows asked for.
    QList<FileRequest> FileRequests;
    QList<Message> Messages;
    QList<QColor> ColorRequests;
    QList<ProgramStart> ProgramsStarted;
    QStringList FoldersShown;
    QStringList ProgramsLookedUp;
    QStringList Unexpected;

    std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& filter, const QString& startFolder) override;
    void ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) override;
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& current) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
    bool ShowFolder(const QString& folder) override;
    QList<Volume> MountedVolumes() override { return Volumes; }
    QString CurrentFolder() override { return Current; }
    FolderListing ListFolders(const QString& folder) override;
    QString FindProgram(const QString& name) override;

private:
    template <typename T>
    struct Answer {
        bool Cancel;
        T Value;
    };
    std::deque<Answer<QString>> fileAnswers_;
    std::deque<Answer<QColor>> colorAnswers_;
};

}  // namespace quillet::testing
