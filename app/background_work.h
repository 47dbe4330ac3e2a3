// Runs work off the user interface thread, one request at a time on a worker
// thread of its own, and hands the result back on the thread that owns the
// BackgroundWork, so that no work of ours holds a window for longer than a
// frame.
//
// Only the latest request counts: a new request cancels the one still running,
// and an answer that has been superseded or cancelled is never delivered. An
// answer is delivered through the owner's event loop and never after the
// BackgroundWork is gone, so it may use the object that owns the
// BackgroundWork. To have several things worked out, ask for them in one
// request.
#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace murlen {

class BackgroundWork : public QObject {
public:
    explicit BackgroundWork(QObject* parent = nullptr);
    // Cancels the running request and waits until the worker has finished it.
    ~BackgroundWork() override;

    // Runs `work(cancel)` on the worker, where it may read only what it
    // holds itself; it should return soon after `cancel` turns true. When it
    // has returned and neither a later request nor Cancel came meanwhile,
    // `answer(result)` runs on the owner's thread. A request still running is
    // cancelled.
    template <class Work, class Answer>
    void Run(Work work, Answer answer) {
        Post([work, answer](const std::atomic<bool>& cancel) mutable -> std::function<void()> {
            return [answer, result = work(cancel)] { answer(result); };
        });
    }
    // Drops the current request: its answer will not be delivered.
    void Cancel();
    // True from Run until its answer has been delivered or cancelled.
    bool Busy() const { return busy_; }
    // True when the worker has no request running or waiting. An answer it
    // has produced is then already queued for the owner's thread. Any thread.
    bool WorkerIdle() const;

private:
    // Runs on the worker and gives what is to run on the owner's thread.
    using Job = std::function<std::function<void()>(const std::atomic<bool>& cancel)>;

    void Post(Job job);
    void WorkerLoop();
    void Deliver(std::uint64_t id, const std::function<void()>& answer);

    // Owner's thread only.
    std::uint64_t latest_ = 0;  // the id of the request whose answer is wanted
    bool busy_ = false;

    // Shared with the worker, under mutex_ (cancel_ is also read by the work).
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::pair<std::uint64_t, Job>> waiting_;
    bool running_ = false;
    bool stopping_ = false;
    std::atomic<bool> cancel_{false};
    std::thread worker_;
};

}  // namespace murlen
