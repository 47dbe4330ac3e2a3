// Runs the solver on a worker thread of its own, so that a window stays
// responsive while a figure or a board is decided. Answers come back on the
// thread that owns the BackgroundSolver, through the `finished` signal.
//
// Only the latest request counts: a new request cancels the one still running,
// and an answer that has been superseded or cancelled is never delivered.
#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "model/solver.h"

namespace murlen {

// A request that the solver cannot decide within this time is answered
// Undecided: the busy cursor never stays longer, and the window says so.
constexpr std::chrono::milliseconds kBackgroundTimeLimit{1000};
// A fixed seed: the same question always gets the same board.
constexpr std::uint64_t kBackgroundSeed = 1;

class BackgroundSolver : public QObject {
    Q_OBJECT
public:
    explicit BackgroundSolver(QObject* parent = nullptr);
    // Cancels the running request and waits for the worker, which notices the
    // cancel flag within a few thousand search nodes.
    ~BackgroundSolver() override;

    // Starts deciding the figure with the pieces `placed` kept where they lie
    // (see SolveFigure). A request still running is cancelled.
    void Solve(const CellArray<Triangle>& figurePoints, const CellArray<std::int16_t>& placed);
    // Drops the current request: its answer will not be delivered.
    void Cancel();
    // The time limit of the requests from now on (kBackgroundTimeLimit unless
    // changed; tests make it tiny).
    void SetTimeLimit(std::chrono::nanoseconds limit) { timeLimit_ = limit; }
    // True from Solve until its answer has been delivered or cancelled.
    bool Busy() const { return busy_; }
    // True when the worker has no request running or waiting. An answer it
    // has produced is then already queued for the owner's thread. Any thread.
    bool WorkerIdle() const;

signals:
    // The answer to the latest request, on the owner's thread.
    void finished(const murlen::SolveResult& result);

private:
    struct Request {
        std::uint64_t id = 0;
        CellArray<Triangle> figurePoints;
        CellArray<std::int16_t> placed;
        std::chrono::nanoseconds timeLimit{};
    };

    void Work();
    void Deliver(std::uint64_t id, const SolveResult& result);

    // Owner's thread only.
    std::uint64_t latest_ = 0;  // the id of the request whose answer is wanted
    bool busy_ = false;
    std::chrono::nanoseconds timeLimit_ = kBackgroundTimeLimit;

    // Shared with the worker, under mutex_ (cancel_ is also read by the search).
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Request> waiting_;
    bool running_ = false;
    bool stopping_ = false;
    std::atomic<bool> cancel_{false};
    std::thread worker_;
};

}  // namespace murlen
