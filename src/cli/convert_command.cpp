#include "cli/convert_command.h"

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/progress_line.h"
#include "cli/table_argument.h"
#include "export/commit_queue.h"
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
bool SelectColumns(OpenTable& table, const std::vector<std::string>& names, const std::string& argument,
                   Transcript& transcript) {
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
            transcript.Complain("\"" + argument + "\" has no column \"" + name + "\"; its columns are: " + ColumnList(table) + ".");
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

// The file a table argument is written to, known before the table is read.
std::string TargetOf(const Invocation& invocation, const std::string& argument) {
    OpenTable named;
    named.SetSource(FullPath(argument));
    ExportSettings settings = invocation.Settings;
    settings.SaveFolder = invocation.OutFolder ? *invocation.OutFolder : FolderOf(named.SourcePath);
    return Identity(OutputPath(named, settings, settings.OutputFormat));
}

// A table as far as its conversion went: what it has to say so far and, once converted, the
// file it wrote and what to tell of it, both printed once the file is in place.
struct Converted {
    Transcript Said;
    Outcome Result = Outcome::Done;
    std::string Waiting;
    std::vector<std::string> Notes;
};

// Converts one table; its file is in place, or handed to the settings' commit queue. writtenFrom
// holds the files written so far in this call, each with the argument it came from: two tables
// of one call must not write the same file, or the second would silently replace the first
// one's output (a/x.dbf and b/x.dbf with one --out, or x.dbf and x.old.dbf).
void ConvertTable(const Invocation& invocation, ExportSettings settings, const std::string& argument,
                  std::map<std::string, std::string>& writtenFrom, Converted& converted, bool showProgress) {
    Transcript& transcript = converted.Said;
    converted.Result = ForTable(argument, transcript, [&] {
        const std::unique_ptr<TableStream> stream = OpenTableArgument(argument, invocation.Encoding);
        OpenTable& table = stream->Table();
        if (invocation.Columns && !SelectColumns(table, *invocation.Columns, argument, transcript)) return Outcome::Misused;

        settings.SaveFolder = invocation.OutFolder ? *invocation.OutFolder : FolderOf(table.SourcePath);
        const std::string target = OutputPath(table, settings, settings.OutputFormat);
        const auto [earlier, isNew] = writtenFrom.emplace(Identity(target), argument);
        if (!isNew) {
            transcript.Complain("Cannot write \"" + target + "\" for \"" + argument + "\": it was just written from \"" +
                                earlier->second + "\" in this call.");
            return Outcome::Failed;
        }

        ExportResult result;
        {
            // Wiped before the path is printed, which may go to the same terminal.
            ProgressLine progress(stderr, argument, showProgress);
            result = ExportTable(table, settings, [&](std::int64_t done, std::int64_t total) { progress.Update(done, total, "records"); });
        }
        // What could not be read of the records (memos) is said, but the table still counts as done.
        for (const std::string& warning : stream->Warnings()) transcript.Complain(warning);
        converted.Waiting = target;
        converted.Notes = std::move(result.Notes);
        return Outcome::Done;
    });
}

// Prints what a table has to say, its file's path once the file is in place: at once, or when
// the queue that took it has put it there.
Outcome Report(Converted& converted, CommitQueue* queue) {
    if (!converted.Waiting.empty()) {
        try {
            if (queue != nullptr) queue->Wait(converted.Waiting);
            converted.Said.Say(converted.Waiting);
            for (std::string& note : converted.Notes) converted.Said.Complain(std::move(note));
        } catch (const ExportError& e) {
            converted.Said.Complain(e.what());
            converted.Result = Worse(converted.Result, Outcome::Failed);
        }
    }
    converted.Said.Print();
    return converted.Result;
}

// One table after another, each printed when done, with its progress line.
Outcome ConvertInTurn(const Invocation& invocation, const ExportSettings& settings) {
    const bool showProgress = StandardErrorIsTerminal();
    std::map<std::string, std::string> writtenFrom;
    Outcome outcome = Outcome::Done;
    for (const std::string& argument : invocation.Tables) {
        Converted converted;
        ConvertTable(invocation, settings, argument, writtenFrom, converted, showProgress);
        outcome = Worse(outcome, Report(converted, nullptr));
    }
    return outcome;
}

// Tables on several threads at once, printed in the order of their arguments as each one's
// turn comes; the progress line counts the tables done. Tables whose files would have the same
// name are converted in turn on one thread, so that the earlier argument writes the file and
// the later ones are refused, as when converting one after another. The files are put in place
// by a queue, several at a time, while the threads go on with the next tables.
Outcome ConvertAtOnce(const Invocation& invocation, const ExportSettings& settings, unsigned jobs) {
    const std::vector<std::string>& tables = invocation.Tables;
    std::vector<std::vector<std::size_t>> groups;
    std::map<std::string, std::size_t> groupOf;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const auto [at, isNew] = groupOf.emplace(TargetOf(invocation, tables[i]), groups.size());
        if (isNew) groups.emplace_back();
        groups[at->second].push_back(i);
    }

    std::vector<Converted> converted(tables.size());
    std::vector<std::uint8_t> finished(tables.size(), 0);
    std::mutex mutex;
    std::condition_variable tableDone;
    std::size_t finishedCount = 0;
    std::atomic<std::size_t> nextGroup = 0;
    // The cores are busy with other tables: a second thread per table would only make more work.
    ExportSettings oneThread = settings;
    oneThread.TwoThreadFormatting = false;
    CommitQueue queue;
    oneThread.Committer = &queue;
    const auto work = [&] {
        for (std::size_t g; (g = nextGroup++) < groups.size();) {
            std::map<std::string, std::string> writtenFrom;
            for (const std::size_t i : groups[g]) {
                ConvertTable(invocation, oneThread, tables[i], writtenFrom, converted[i], false);
                const std::lock_guard lock(mutex);
                finished[i] = 1;
                ++finishedCount;
                tableDone.notify_all();
            }
        }
    };
    std::vector<std::jthread> threads;
    try {
        for (unsigned k = 0; k < std::min<std::size_t>(jobs, groups.size()); ++k) threads.emplace_back(work);
    } catch (const std::system_error&) {
        // The system gives no more threads: those started do the work, or this one alone.
        if (threads.empty()) work();
    }

    const bool showProgress = StandardErrorIsTerminal();
    Outcome outcome = Outcome::Done;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        {
            ProgressLine progress(stderr, "quillet-cli", showProgress);
            std::unique_lock lock(mutex);
            while (!tableDone.wait_for(lock, std::chrono::milliseconds(100), [&] { return finished[i] != 0; })) {
                progress.Update(static_cast<std::int64_t>(finishedCount), static_cast<std::int64_t>(tables.size()), "tables");
            }
        }
        outcome = Worse(outcome, Report(converted[i], &queue));
    }
    return outcome;
}

}  // namespace

Outcome RunConvert(const Invocation& invocation) {
    ExportSettings settings = invocation.Settings;
    settings.DecimalSeparator = LocaleDecimalSeparator();
    const unsigned jobs = invocation.Jobs > 0 ? invocation.Jobs : std::max(1u, std::thread::hardware_concurrency());
    // One job is one core: a table's records are formatted on this thread too, and a batch's
    // tables gain what a second formatting thread would cost in handing blocks over.
    if (jobs == 1) settings.TwoThreadFormatting = false;
    if (jobs == 1 || invocation.Tables.size() == 1) return ConvertInTurn(invocation, settings);
    return ConvertAtOnce(invocation, settings, jobs);
}

}  // namespace quillet::cli
