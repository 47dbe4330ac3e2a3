#include "bench/solver_runs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

#include "model/geometry.h"
#include "model/rules.h"

namespace murlen::bench {

namespace {

const char* VerdictName(const SolveResult& result) {
    switch (result.verdict) {
        case SolveVerdict::Solved: return "solved";
        case SolveVerdict::Undecided: return "undecided";
        case SolveVerdict::Unsolvable: break;
    }
    switch (result.reason) {
        case UnsolvableReason::NoSolution: return "unsolvable (search)";
        case UnsolvableReason::PiecesCannotStay: return "cannot stay";
        default: return "unsolvable (counts)";
    }
}

Answer AnswerOf(const SolveResult& result) {
    switch (result.verdict) {
        case SolveVerdict::Solved: return Answer::Solved;
        case SolveVerdict::Unsolvable: return Answer::Unsolvable;
        case SolveVerdict::Undecided: break;
    }
    return Answer::Undecided;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t index = std::size_t(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void PrintTimes(const std::string& family, const char* solver, int decided, std::size_t total,
                const std::vector<double>& ms, const std::vector<double>& nodes) {
    std::printf("%-8s %-8s %5d / %-5zu %11.3f %11.3f %11.3f %11.3f", family.c_str(), solver, decided, total,
                Percentile(ms, 0.5), Percentile(ms, 0.9), Percentile(ms, 0.99), Percentile(ms, 1.0));
    if (!nodes.empty()) std::printf(" %11.0f %11.0f", Percentile(nodes, 0.5), Percentile(nodes, 1.0));
    std::printf("\n");
}

// A board we call solved keeps the rules and every piece that was placed.
void CheckOurBoard(const Case& question, const CellArray<NeighbourSlots>& neighbours, const SolveResult& ours) {
    if (ours.verdict != SolveVerdict::Solved) return;
    if (!BoardKeepsRules(neighbours, ours.board)) Fail("our solved board of " + question.name + " breaks a rule");
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (question.placed[cell] != 0 && ours.board[cell] != question.placed[cell])
            Fail("our solved board of " + question.name + " moves the piece on cell " + std::to_string(cell));
}

void CheckSameAnswer(const Case& question, Answer ours, Answer theirs, const char* whose, const std::string& note = {}) {
    if (ours != Answer::Undecided && theirs != Answer::Undecided && ours != theirs)
        Fail("the verdicts on " + question.name + " disagree: ours " + AnswerName(ours) + ", " + whose + " " +
             AnswerName(theirs) + note);
}

// An outside solver's board keeps the rules, and its verdict is ours; 1 when
// both decided. The question's files go once it passes.
int CheckOutside(const Case& question, const CellArray<NeighbourSlots>& neighbours, Answer ours, const OutsideRun& run,
                 const char* whose) {
    const std::string keep = " (kept: " + run.input.string() + ")";
    if (run.answer == Answer::Solved && !BoardKeepsRules(neighbours, run.board))
        Fail(std::string(whose) + "'s board of " + question.name + " breaks a rule" + keep);
    CheckSameAnswer(question, ours, run.answer, whose, keep);
    RemoveFiles(run);
    return ours != Answer::Undecided && run.answer != Answer::Undecided ? 1 : 0;
}

}  // namespace

Measured MeasureAll(const std::vector<Case>& cases, const RunSettings& settings) {
    std::printf("%-22s %-20s %10s %10s", "case", "ours", "ms", "nodes");
    if (settings.outside) std::printf("   %-10s %10s %10s", "CaDiCaL", "ms", "ratio");
    std::printf("\n");
    Measured measured;
    measured.rows.reserve(cases.size());
    std::map<std::string, std::size_t> sampled;  // questions so far in the families that are sampled
    const std::map<std::string, int> every{{"boards", settings.outsideEveryBoard},
                                           {"hard", settings.outsideEveryHard},
                                           {"cross", settings.outsideEveryCross}};
    for (std::size_t index = 0; index < cases.size(); ++index) {
        const Case& question = cases[index];
        const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(question.points);
        Row row;
        row.question = &question;
        row.oursMs = 1e300;
        for (int attempt = 0; attempt < settings.attempts && (attempt == 0 || row.oursMs < 100.0); ++attempt) {
            const auto start = std::chrono::steady_clock::now();
            row.ours = SolveFigure(question.points, question.placed, settings.options);
            const auto end = std::chrono::steady_clock::now();
            row.oursMs = std::min(row.oursMs, std::chrono::duration<double, std::milli>(end - start).count());
        }
        CheckOurBoard(question, neighbours, row.ours);
        const Answer ours = AnswerOf(row.ours);

        if (settings.plainEvery > 0 && index % std::size_t(settings.plainEvery) == 0) {
            SolverOptions plain = settings.options;
            plain.learning = false;
            const Answer without = AnswerOf(SolveFigure(question.points, question.placed, plain));
            CheckSameAnswer(question, ours, without, "without learning");
            if (ours != Answer::Undecided && without != Answer::Undecided) ++measured.plainCompared;
        }

        // The outside solver on every figure and every file, and on a sample of the boards.
        const auto sample = every.find(question.family);
        const bool chosen = sample == every.end() ||
                            (sample->second > 0 && ++sampled[question.family] % std::size_t(sample->second) == 0);
        if (settings.outside && chosen) {
            row.outsideRan = true;
            row.outside = RunCadical(neighbours, question.placed, settings.folder / ("case-" + std::to_string(index + 1)),
                                     settings.outsideLimitSeconds);
            measured.outsideCompared += CheckOutside(question, neighbours, ours, row.outside, "CaDiCaL");
        }
        if (row.outsideRan && row.outside.answer == Answer::Undecided) {
            row.integerRan = true;
            row.integer = RunIntegerProgram(neighbours, question.placed,
                                            settings.folder / ("case-" + std::to_string(index + 1)),
                                            settings.integerLimitSeconds);
            measured.integerCompared += CheckOutside(question, neighbours, ours, row.integer, "the integer program");
        }

        std::printf("%-22s %-20s %10.3f %10llu", question.name.c_str(), VerdictName(row.ours), row.oursMs,
                    static_cast<unsigned long long>(row.ours.nodes));
        if (row.outsideRan) {
            const bool atLeast = row.outside.answer == Answer::Undecided;
            std::printf("   %-10s %10.3f %s%9.1f", AnswerName(row.outside.answer), row.outside.ms, atLeast ? ">" : " ",
                        row.outside.ms / row.oursMs);
        }
        if (row.integerRan)
            std::printf("   integer program: %s in %.3f ms", AnswerName(row.integer.answer), row.integer.ms);
        std::printf("\n");
        std::fflush(stdout);
        measured.rows.push_back(row);
    }
    return measured;
}

void Summarise(const Measured& measured, const std::vector<std::string>& families, const RunSettings& settings,
               double showMs) {
    const std::vector<Row>& rows = measured.rows;
    std::printf("%-8s %-8s %13s %11s %11s %11s %11s %11s %11s\n", "family", "solver", "decided", "median ms", "90th pct",
                "99th pct", "worst ms", "med nodes", "max nodes");
    std::vector<double> allMs, figureRatios;
    std::vector<std::string> undecided;
    bool mediansMet = true;
    for (const std::string& family : families) {
        std::vector<double> oursMs, oursNodes, outsideMs, ratios;
        int oursDecided = 0, outsideDecided = 0, total = 0;
        for (const Row& row : rows) {
            if (row.question->family != family) continue;
            ++total;
            oursMs.push_back(row.oursMs);
            oursNodes.push_back(double(row.ours.nodes));
            allMs.push_back(row.oursMs);
            if (row.ours.verdict != SolveVerdict::Undecided) ++oursDecided;
            else undecided.push_back(row.question->name);
            if (!row.outsideRan) continue;
            outsideMs.push_back(row.outside.ms);
            if (row.outside.answer != Answer::Undecided) ++outsideDecided;
            ratios.push_back(row.outside.ms / row.oursMs);
            if (!HasPieces(row.question->placed)) figureRatios.push_back(row.outside.ms / row.oursMs);
        }
        PrintTimes(family, "ours", oursDecided, std::size_t(total), oursMs, oursNodes);
        if (family != "named") mediansMet = mediansMet && Percentile(oursMs, 0.5) < 1.0;
        if (!outsideMs.empty()) {
            PrintTimes(family, "CaDiCaL", outsideDecided, outsideMs.size(), outsideMs, {});
            std::printf("%-8s ratio CaDiCaL / ours: median %.1f, minimum %.1f\n", family.c_str(),
                        Percentile(ratios, 0.5), Percentile(ratios, 0.0));
        }
    }
    if (settings.outside)
        std::printf("(CaDiCaL limit %d s; an undecided run counts with the time it used)\n",
                    settings.outsideLimitSeconds);
    std::printf("verdicts that agree where both decide: %d with CaDiCaL, %d with the integer program where "
                "CaDiCaL ran out of time, %d with our plain search\n",
                measured.outsideCompared, measured.integerCompared, measured.plainCompared);

    // The hardest cases, to study them.
    for (const Row& row : rows) {
        if (row.oursMs < showMs && row.ours.verdict != SolveVerdict::Undecided) continue;
        std::printf("\n%s: %s in %.3f ms, %llu nodes\n%s", row.question->name.c_str(), VerdictName(row.ours),
                    row.oursMs, static_cast<unsigned long long>(row.ours.nodes), CaseText(*row.question).c_str());
    }

    auto yesNo = [](bool met) { return met ? "met" : "NOT met"; };
    std::printf("\ntargets:\n");
    std::printf("  every case decided by ours: %s", yesNo(undecided.empty()));
    for (const std::string& name : undecided) std::printf(" %s", name.c_str());
    std::printf("\n  median under 1 ms in every family but the named boards: %s\n", yesNo(mediansMet));
    std::printf("  worst under 100 ms in every family: %s (%.3f ms)\n", yesNo(Percentile(allMs, 1.0) < 100.0),
                Percentile(allMs, 1.0));
    if (!figureRatios.empty())
        std::printf("  on figures at least 100 times faster than CaDiCaL at the median: %s (%.1f)\n",
                    yesNo(Percentile(figureRatios, 0.5) >= 100.0), Percentile(figureRatios, 0.5));
}

}  // namespace murlen::bench
