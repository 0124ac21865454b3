#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QtConcurrent>
#include <cstdint>
#include <functional>
#include <utility>

namespace quillet {

// The one shape of the window's long work (reading a table, writing a file): the work runs on
// a pool thread and reports its progress; its result comes back on the window's thread. The work
// must catch its own failures and return them as data: nothing is thrown across threads.
template <typename Result>
class BackgroundJob {
public:
    using Progress = std::function<void(std::int64_t done, std::int64_t total)>;
    using Work = std::function<Result(const Progress&)>;

    // onProgress gets permille; onFinished the result, once per Start; both on context's thread.
    BackgroundJob(QObject* context, std::function<void(int)> onProgress, std::function<void(Result)> onFinished) {
        QObject::connect(&watcher_, &QFutureWatcher<Result>::progressValueChanged, context, std::move(onProgress));
        QObject::connect(&watcher_, &QFutureWatcher<Result>::finished, context,
                         [this, onFinished = std::move(onFinished)] {
                             running_ = false;
                             onFinished(watcher_.result());
                         });
    }
    // The work may still read what its owner holds.
    ~BackgroundJob() { Wait(); }

    void Start(Work work) {
        running_ = true;
        watcher_.setFuture(QtConcurrent::run([work = std::move(work)](QPromise<Result>& promise) {
            promise.setProgressRange(0, 1000);
            int shown = 0;
            promise.addResult(work([&promise, &shown](std::int64_t done, std::int64_t total) {
                const int permille = total > 0 ? static_cast<int>(done * 1000 / total) : 1000;
                if (permille == shown) return;  // a few hundred events, not one per record
                shown = permille;
                promise.setProgressValue(permille);
            }));
        }));
    }
    // From Start until its result has been handed over.
    bool Running() const { return running_; }
    void Wait() { watcher_.waitForFinished(); }

private:
    QFutureWatcher<Result> watcher_;
    bool running_ = false;
};

}  // namespace quillet
