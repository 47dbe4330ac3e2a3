#include "app/background_solver.h"

#include <utility>

namespace murlen {

BackgroundSolver::BackgroundSolver(QObject* parent) : QObject(parent) {
    worker_ = std::thread(&BackgroundSolver::Work, this);
}

BackgroundSolver::~BackgroundSolver() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_.reset();
        cancel_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void BackgroundSolver::Solve(const CellArray<Triangle>& figurePoints, const CellArray<std::int16_t>& placed) {
    ++latest_;
    busy_ = true;
    {
        const std::lock_guard lock(mutex_);
        waiting_ = Request{latest_, figurePoints, placed, timeLimit_};
        cancel_ = true;  // the request running now, if any; the worker clears it for the next
    }
    wake_.notify_one();
}

void BackgroundSolver::Cancel() {
    ++latest_;
    busy_ = false;
    const std::lock_guard lock(mutex_);
    waiting_.reset();
    cancel_ = true;
}

bool BackgroundSolver::WorkerIdle() const {
    const std::lock_guard lock(mutex_);
    return !running_ && !waiting_;
}

void BackgroundSolver::Work() {
    for (;;) {
        Request request;
        {
            std::unique_lock lock(mutex_);
            running_ = false;
            wake_.wait(lock, [this] { return stopping_ || waiting_.has_value(); });
            if (stopping_) return;
            request = std::move(*waiting_);
            waiting_.reset();
            cancel_ = false;
            running_ = true;
        }
        SolverOptions options;
        options.seed = kBackgroundSeed;
        options.timeLimit = request.timeLimit;
        options.cancel = &cancel_;
        const SolveResult result = SolveFigure(request.figurePoints, request.placed, options);
        // A cancelled search has no answer worth sending. One cancelled after
        // it ended is still sent, and dropped by Deliver.
        if (cancel_) continue;
        QMetaObject::invokeMethod(
            this, [this, id = request.id, result] { Deliver(id, result); }, Qt::QueuedConnection);
    }
}

void BackgroundSolver::Deliver(std::uint64_t id, const SolveResult& result) {
    if (id != latest_ || !busy_) return;
    busy_ = false;
    emit finished(result);
}

}  // namespace murlen
