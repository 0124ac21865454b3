#include "cli/convert_command.h"

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <map>

#include "cli/progress_line.h"
#include "cli/table_argument.h"
#include "export/exporters.h"

namespace quillet::cli {

namespace {

// The desktop program writes numbers with the user's decimal separator; so does this one.
char LocaleDecimalSeparator() {
    char separator = '.';
    if (std::setlocale(LC_NUMERIC, "") != nullptr) {
        const char* point = std::localeconv()->decimal_point;
        if (point != nullptr && point[0] != '\0' && point[1] == '\0') separator = point[0];
    }
    std::setlocale(LC_NUMERIC, "C");
    return separator;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string ColumnList(const OpenTable& table) {
    std::string list;
    for (int f = 0; f < table.ColumnCount; ++f) {
        if (f > 0) list += ", ";
        list += table.FieldNames[static_cast<std::size_t>(f)];
    }
    return list.empty() ? "none" : list;
}

// Selects exactly the named columns. An unknown name is the caller's mistake: nothing is
// written for this table, and the message lists the names it has.
bool SelectColumns(OpenTable& table, const std::vector<std::string>& names, const std::string& argument) {
    std::vector<std::uint8_t> selected(static_cast<std::size_t>(table.ColumnCount), 0);
    for (const std::string& name : names) {
        bool found = false;
        for (int f = 0; f < table.ColumnCount; ++f) {
            if (SameName(table.FieldNames[static_cast<std::size_t>(f)], name)) {
                selected[static_cast<std::size_t>(f)] = 1;
                found = true;
            }
        }
        if (!found) {
            Complain("\"" + argument + "\" has no column \"" + name + "\"; its columns are: " + ColumnList(table) + ".");
            return false;
        }
    }
    table.ColumnSelected = std::move(selected);
    return true;
}

std::string FolderOf(const std::string& fullPath) {
    const std::string folder = std::filesystem::path(fullPath).parent_path().string();
    return folder.empty() ? "." : folder;
}

std::string Identity(const std::string& path) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

}  // namespace

Outcome RunConvert(const Invocation& invocation) {
    ExportSettings settings = invocation.Settings;
    settings.DecimalSeparator = LocaleDecimalSeparator();
    const bool showProgress = StandardErrorIsTerminal();

    // Two tables of one call must not write the same file: the second would silently
    // replace the first one's output (a/x.dbf and b/x.dbf with one --out, or x.dbf and x.old.dbf).
    std::map<std::string, std::string> writtenFrom;

    Outcome outcome = Outcome::Done;
    for (const std::string& argument : invocation.Tables) {
        outcome = Worse(outcome, ForTable(argument, [&] {
            OpenTable table = OpenTableArgument(argument, invocation.Encoding);
            if (invocation.Columns && !SelectColumns(table, *invocation.Columns, argument)) return Outcome::Misused;

            settings.SaveFolder = invocation.OutFolder ? *invocation.OutFolder : FolderOf(table.SourcePath);
            const std::string target = OutputPath(table, settings, settings.OutputFormat);
            const auto [earlier, isNew] = writtenFrom.emplace(Identity(target), argument);
            if (!isNew) {
                Complain("Cannot write \"" + target + "\" for \"" + argument + "\": it was just written from \"" +
                         earlier->second + "\" in this call.");
                return Outcome::Failed;
            }

            ExportResult result;
            {
                // Wiped before the path is printed, which may go to the same terminal.
                ProgressLine progress(stderr, argument, showProgress);
                result = ExportTable(table, settings, [&](std::int64_t done, std::int64_t total) { progress.Update(done, total); });
            }
            std::printf("%s\n", target.c_str());
            std::fflush(stdout);
            for (const std::string& note : result.Notes) Complain(note);
            return Outcome::Done;
        }));
    }
    return outcome;
}

}  // namespace quillet::cli
