#include "export/commit_queue.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#include "export/export_error.h"

namespace quillet {

CommitQueue::CommitQueue() {
    try {
        thread_ = std::jthread([this](const std::stop_token& stop) { Run(stop); });
    } catch (const std::system_error&) {
        // No thread to be had: each file is put in place as it is handed over.
    }
}

CommitQueue::~CommitQueue() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    thread_.join();
}

void CommitQueue::Take(int fd, std::string temporary, std::string written, std::string target) {
    File file{fd, std::move(temporary), std::move(written), std::move(target)};
    if (!thread_.joinable()) {
        std::vector<File> alone;
        alone.push_back(std::move(file));
        Commit(alone);
        return;
    }
    // Each waiting file holds a descriptor open.
    constexpr std::size_t kMostWaiting = 32;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_.size() < kMostWaiting; });
    waiting_.push_back(std::move(file));
    changed_.notify_all();
}

void CommitQueue::Wait(const std::string& target) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_.contains(target); });
    const auto failure = done_.extract(target);
    if (!failure.mapped().empty()) throw ExportError(failure.mapped());
}

void CommitQueue::Run(const std::stop_token& stop) {
    for (;;) {
        std::vector<File> group;
        {
            std::unique_lock lock(mutex_);
            // Asked to stop, it still commits what waits.
            if (!changed_.wait(lock, stop, [&] { return !waiting_.empty(); })) return;
            group.swap(waiting_);
        }
        changed_.notify_all();
        Commit(group);
    }
}

void CommitQueue::Commit(std::vector<File>& group) {
    // The disk is given every file of the group before the first sync waits for one.
    for (const File& file : group) ::sync_file_range(file.Fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    std::vector<std::string> failures(group.size());
    for (std::size_t i = 0; i < group.size(); ++i) {
        // Some file systems report a full disk only when the data reaches it; and without the
        // sync a crash soon after the rename could leave an empty file where the earlier one was.
        if (::fsync(group[i].Fd) != 0) failures[i] = std::strerror(errno);
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        const File& file = group[i];
        if (::close(file.Fd) != 0 && failures[i].empty()) failures[i] = std::strerror(errno);
        if (failures[i].empty() && ::rename(file.Temporary.c_str(), file.Written.c_str()) != 0) failures[i] = std::strerror(errno);
        if (!failures[i].empty()) {
            ::unlink(file.Temporary.c_str());
            failures[i] = "Cannot write \"" + file.Target + "\": " + failures[i] + ".";
        }
    }
    {
        const std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < group.size(); ++i) done_[group[i].Target] = std::move(failures[i]);
    }
    changed_.notify_all();
}

}  // namespace quillet
