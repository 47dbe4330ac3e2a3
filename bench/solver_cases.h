// The solver benchmark's questions, family by family (solver_bench.cpp lists
// them). Every family is drawn from fixed seeds, each figure and each board
// from a generator of its own, so that a question stays the same whatever the
// number of questions asked for.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/types.h"

namespace murlen::bench {

// One question: can this board of this figure be completed? A figure is the
// question with an empty board.
struct Case {
    std::string family;
    std::string name;
    CellArray<Triangle> points;
    CellArray<std::int16_t> placed;
};

// Stops the benchmark on something that can only be a bug, and says why.
[[noreturn]] void Fail(const std::string& why);

CellArray<std::int16_t> EmptyBoard();

// The families; `seed` is the benchmark's --seed.
std::vector<Case> ShippedFigureCases();
std::vector<Case> GrownFigureCases(int count, std::uint64_t seed, bool risingOnly);
std::vector<Case> ThinFigureCases(int count, std::uint64_t seed);
std::vector<Case> ShippedBoardCases(int perFigureAndK, std::uint64_t seed);
std::vector<Case> HardBoardCases(int count, std::uint64_t seed);
std::vector<Case> CrossBoardCases(int perK, std::uint64_t seed);
std::vector<Case> NamedBoardCases();
// A shape file (.dat) as a figure, or a game file (.kyp) as its board on the
// shape file of its figure name in the same folder; exits with a message for
// a file that is neither.
Case FileCase(const std::filesystem::path& path);

// The figure as rows of squares, one character each: '/' and '\\' whole
// squares, 'F' 'J' the upper and lower half of a rising square, '7' 'L' of a
// falling one, '.' none. Then the pieces on the board as cell:piece pairs.
std::string CaseText(const Case& question);

}  // namespace murlen::bench
