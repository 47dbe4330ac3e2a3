// The solver benchmark's outside solvers: the same question put to CaDiCaL, a
// general SAT solver (Debian package cadical), as a CNF of its own, and where
// CaDiCaL runs out of time to glpsol (Debian package glpk-utils) as an integer
// program.
//
// The CNF, one file per question:
//   - x(c, p) for every cell c and piece code p: cell c holds piece p;
//   - exactly one piece per cell and exactly one cell per piece: one clause
//     "at least one" each, and "at most one" as a sequential counter (Sinz
//     2005: 3n - 4 clauses and n - 1 counter variables for n literals);
//   - a colour variable per cell and half-edge bit k (true = black), tied to the
//     pieces: x(c, p) -> colour(c, k) == bit k of p;
//   - the halves of every shared edge equal in pairs, the pairs taken from
//     PiecesMatch itself (and checked against it on all 64 x 64 pieces);
//   - the halves on the border black;
//   - for a board, one unit clause x(c, p) per piece on it.
// A satisfying assignment is decoded into a board for the caller to check.
#pragma once

#include <cstdint>
#include <filesystem>

#include "model/geometry.h"
#include "model/types.h"

namespace murlen::bench {

enum class Answer { Solved, Unsolvable, Undecided };
const char* AnswerName(Answer answer);

struct OutsideRun {
    Answer answer = Answer::Undecided;
    double ms = 0;                  // wall clock from starting the program to its end
    CellArray<std::int16_t> board;  // only for Solved: pool indexes 1..64
    std::filesystem::path input;    // the question as the program read it
    std::filesystem::path output;   // and what it wrote
};

// Checks that the pairs of halves of the CNF and the integer program are
// exactly those of PiecesMatch, and makes ready to run outside solvers. False
// when /usr/bin/cadical or /usr/bin/glpsol is missing.
bool PrepareOutsideSolvers();

// Writes the CNF of the board on the figure as `stem`.cnf and runs CaDiCaL on
// it with its own wall clock limit, killing it five seconds after the limit
// should it not stop by itself. Both files stay until RemoveFiles.
OutsideRun RunCadical(const CellArray<NeighbourSlots>& neighbours, const CellArray<std::int16_t>& placed,
                      const std::filesystem::path& stem, int limitSeconds);

// The integer program of the board (see outside_solvers.cpp) as `stem`.lp,
// solved by glpsol (Debian package glpk-utils) within the limit. Its linear
// relaxation refutes many boards that CaDiCaL cannot decide; it stands in
// for CaDiCaL where CaDiCaL runs out of time.
OutsideRun RunIntegerProgram(const CellArray<NeighbourSlots>& neighbours, const CellArray<std::int16_t>& placed,
                             const std::filesystem::path& stem, int limitSeconds);

void RemoveFiles(const OutsideRun& run);

}  // namespace murlen::bench
