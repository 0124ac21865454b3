#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillet {

// Puts finished output files in place on a thread of its own while the threads that wrote them
// go on with the next tables. The files that wait meanwhile are made lasting as a group: the disk
// is given all their data before the first sync waits, so their writes overlap, where a sync per
// file waits for each file's writes in turn. For a batch: the targets handed to one queue are
// distinct.
class CommitQueue {
public:
    CommitQueue();
    CommitQueue(const CommitQueue&) = delete;
    CommitQueue& operator=(const CommitQueue&) = delete;
    // Finishes every file handed over.
    ~CommitQueue();

    // A file written through fd under a temporary name: it is synced, closed and renamed to
    // `written`, the target with its symbolic links followed. Waits while many files are waiting.
    void Take(int fd, std::string temporary, std::string written, std::string target);
    // Waits until target is in place; throws ExportError naming it and the reason when it could
    // not be put there, and then nothing of it is left behind.
    void Wait(const std::string& target);

private:
    struct File {
        int Fd;
        std::string Temporary, Written, Target;
    };
    void Run(const std::stop_token& stop);
    void Commit(std::vector<File>& group);

    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::vector<File> waiting_;
    std::map<std::string, std::string> done_;  // target: why it failed, empty when in place
    std::jthread thread_;                      // last: it starts once the rest exists
};

}  // namespace quillet
