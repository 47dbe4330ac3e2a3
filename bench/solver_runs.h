// The solver benchmark's measuring: our solver on every question, timed;
// its answers checked against our plain search and the outside solver; a
// line per question and a summary per family with the project's targets.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "bench/outside_solvers.h"
#include "bench/solver_cases.h"
#include "model/solver.h"

namespace murlen::bench {

struct RunSettings {
    SolverOptions options;  // ours, with its time limit
    // Each question is solved up to this many times with the same seed (the
    // same work), and the fastest run counts, so that other processes matter
    // less; a run of 100 ms or more is not repeated.
    int attempts = 3;
    // Every Nth question also by our plain search, without learning or the
    // linear relaxation (0 = none); where both decide, the verdicts must agree.
    int plainEvery = 10;
    // The outside solver on every figure and file, and on every Nth question
    // of the board families (0 = none of them); where both decide, the
    // verdicts must agree.
    bool outside = true;
    int outsideEveryBoard = 10;  // family boards
    int outsideEveryHard = 50;   // family hard
    int outsideEveryCross = 100;  // family cross
    int outsideLimitSeconds = 5;
    // Where CaDiCaL runs out of time, the integer program (glpsol) within
    // this limit.
    int integerLimitSeconds = 60;
    std::filesystem::path folder;  // for the outside solver's files
};

struct Row {
    const Case* question = nullptr;
    SolveResult ours;
    double oursMs = 0;
    bool outsideRan = false;
    OutsideRun outside;
    bool integerRan = false;
    OutsideRun integer;
};

struct Measured {
    std::vector<Row> rows;
    int plainCompared = 0;    // questions both our searches decided
    int outsideCompared = 0;  // questions we and CaDiCaL decided
    int integerCompared = 0;  // questions we and the integer program decided
};

// Every question in turn, a line each as it is answered. Stops the program on
// a board that breaks a rule or a verdict that differs.
Measured MeasureAll(const std::vector<Case>& cases, const RunSettings& settings);

// Per family the decided count, median, 90th and 99th percentile and worst
// time, and our median and largest node counts, for us and for the outside
// solver, and the ratio of the two; the questions that took `showMs` or
// longer; and the targets.
void Summarise(const Measured& measured, const std::vector<std::string>& families, const RunSettings& settings,
               double showMs);

}  // namespace murlen::bench
