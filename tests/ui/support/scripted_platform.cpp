#include "support/scripted_platform.h"

#include "ui/platform/folder_listing.h"

namespace quillet::testing {

std::optional<QString> ScriptedPlatform::ChooseFileToOpen(QWidget*, const QString& filter, const QString& startFolder) {
    FileRequests.append({filter, startFolder});
    if (fileAnswers_.empty()) {
        Unexpected.append(QStringLiteral("open-file dialog"));
        return std::nullopt;
    }
    const Answer<QString> answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    if (answer.Cancel) return std::nullopt;
    return answer.Value;
}

void ScriptedPlatform::ShowMessage(QWidget*, const QString& caption, const QString& text, MessageIcon icon) {
    Messages.append({caption, text, icon});
}

std::optional<QColor> ScriptedPlatform::ChooseColor(QWidget*, const QColor& current) {
    ColorRequests.append(current);
    if (colorAnswers_.empty()) {
        Unexpected.append(QStringLiteral("colour dialog"));
        return std::nullopt;
    }
    const Answer<QColor> answer = colorAnswers_.front();
    colorAnswers_.pop_front();
    if (answer.Cancel) return std::nullopt;
    return answer.Value;
}

bool ScriptedPlatform::StartProgram(const QString& program, const QStringList& arguments) {
    ProgramsStarted.append({program, arguments});
    return ProgramsStart;
}

bool ScriptedPlatform::ShowFolder(const QString& folder) {
    FoldersShown.append(folder);
    return FoldersOpen;
}

FolderListing ScriptedPlatform::ListFolders(const QString& folder) {
    const auto unreadable = UnreadableFolders.constFind(folder);
    if (unreadable != UnreadableFolders.constEnd()) return {{}, *unreadable};
    return ReadSubfolders(folder);
}

QString ScriptedPlatform::FindProgram(const QString& name) {
    ProgramsLookedUp.append(name);
    return InstalledPrograms.value(name);
}

}  // namespace quillet::testing
