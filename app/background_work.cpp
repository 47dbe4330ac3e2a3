#include "app/background_work.h"

#include <utility>

namespace murlen {

BackgroundWork::BackgroundWork(QObject* parent) : QObject(parent) {
    worker_ = std::thread(&BackgroundWork::WorkerLoop, this);
}

BackgroundWork::~BackgroundWork() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_.reset();
        cancel_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void BackgroundWork::Post(Job job) {
    ++latest_;
    busy_ = true;
    {
        const std::lock_guard lock(mutex_);
        waiting_.emplace(latest_, std::move(job));
        cancel_ = true;  // the request running now, if any; the worker clears it for the next
    }
    wake_.notify_one();
}

void BackgroundWork::Cancel() {
    ++latest_;
    busy_ = false;
    const std::lock_guard lock(mutex_);
    waiting_.reset();
    cancel_ = true;
}

bool BackgroundWork::WorkerIdle() const {
    const std::lock_guard lock(mutex_);
    return !running_ && !waiting_;
}

void BackgroundWork::WorkerLoop() {
    for (;;) {
        std::uint64_t id = 0;
        Job job;
        {
            std::unique_lock lock(mutex_);
            running_ = false;
            wake_.wait(lock, [this] { return stopping_ || waiting_.has_value(); });
            if (stopping_) return;
            std::tie(id, job) = std::move(*waiting_);
            waiting_.reset();
            cancel_ = false;
            running_ = true;
        }
        std::function<void()> answer = job(cancel_);
        // Cancelled work has no answer worth sending. One cancelled after it
        // ended is still sent, and dropped by Deliver.
        if (cancel_) continue;
        QMetaObject::invokeMethod(
            this, [this, id, answer = std::move(answer)] { Deliver(id, answer); }, Qt::QueuedConnection);
    }
}

void BackgroundWork::Deliver(std::uint64_t id, const std::function<void()>& answer) {
    if (id != latest_ || !busy_) return;
    busy_ = false;
    answer();
}

}  // namespace murlen
