// Runs the solver off the user interface thread (see BackgroundWork), so that
// a window stays responsive while a figure or a board is decided. Answers come
// back on the thread that owns the BackgroundSolver, through the `finished`
// signal; only the latest request is answered.
#pragma once

#include <QObject>
#include <chrono>
#include <cstdint>

#include "app/background_work.h"
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
    explicit BackgroundSolver(QObject* parent = nullptr) : QObject(parent) {}

    // Starts deciding the figure with the pieces `placed` kept where they lie
    // (see SolveFigure). A request still running is cancelled.
    void Solve(const CellArray<Triangle>& figurePoints, const CellArray<std::int16_t>& placed);
    // Drops the current request: its answer will not be delivered.
    void Cancel() { work_.Cancel(); }
    // The time limit of the requests from now on (kBackgroundTimeLimit unless
    // changed; tests make it tiny).
    void SetTimeLimit(std::chrono::nanoseconds limit) { timeLimit_ = limit; }
    // True from Solve until its answer has been delivered or cancelled.
    bool Busy() const { return work_.Busy(); }
    // True when the worker has no request running or waiting. Any thread.
    bool WorkerIdle() const { return work_.WorkerIdle(); }

signals:
    // The answer to the latest request, on the owner's thread.
    void finished(const murlen::SolveResult& result);

private:
    std::chrono::nanoseconds timeLimit_ = kBackgroundTimeLimit;
    BackgroundWork work_;  // last, so that it is gone before what its answers use
};

}  // namespace murlen
