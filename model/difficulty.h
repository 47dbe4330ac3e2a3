// How hard a solvable figure is to play, as a word beside the verdict.
//
// The measure: a player lays pieces where they fit, and on a hard figure such
// a start leads nowhere more often. Forty boards of eight pieces are laid at
// random, each piece on a random empty cell among the unused pieces that break
// no rule there; the share of those boards that no solution completes is the
// dead-end share. Over random figures it spreads from 0 to 1 (median 0.57),
// two runs with other boards agree closely (correlation 0.92), and a
// player who lays random fitting pieces until none fits gets stuck sooner
// where it is high (correlation -0.64). The bounds lie near the thirds of the
// random figures (0.40 to 0.47 and 0.70 to 0.75 at grid sizes 7, 12 and 24):
// below 0.40 Easy, from 0.75 Hard. Numbers: bench/random_figure_bench --study.
#pragma once

#include <cstdint>

#include "model/types.h"

namespace murlen {

enum class Difficulty { Easy, Medium, Hard };

struct DifficultyRating {
    double deadEndShare = 0;  // of the boards the solver decided
    Difficulty level = Difficulty::Easy;
};

// For a solvable figure (`figurePoints` as SolveFigure takes them). The boards
// come from `seed`, so with the same seed a figure always gets the same rating,
// wherever it lies. Some 10 ms at the median, 35 ms at the 99th percentile,
// at most 126 ms over 3,000 random figures (bench/random_figure_bench).
DifficultyRating RateDifficulty(const CellArray<Triangle>& figurePoints, std::uint64_t seed = 1);

}  // namespace murlen
