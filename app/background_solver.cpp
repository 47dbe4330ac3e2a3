#include "app/background_solver.h"

namespace murlen {

void BackgroundSolver::Solve(const CellArray<Triangle>& figurePoints, const CellArray<std::int16_t>& placed) {
    SolverOptions options;
    options.seed = kBackgroundSeed;
    options.timeLimit = timeLimit_;
    work_.Run(
        [figurePoints, placed, options](const std::atomic<bool>& cancel) mutable {
            options.cancel = &cancel;
            return SolveFigure(figurePoints, placed, options);
        },
        [this](const SolveResult& result) { emit finished(result); });
}

}  // namespace murlen
