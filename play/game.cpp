#include "play/game.h"

#include <algorithm>
#include <ctime>

namespace murlen {

namespace {

// Now in the player's time zone, yyyy-mm-dd hh:mm:ss.
std::string Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[20];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace

Game::Game(GameKeeping keeping)
    : keeping_(std::move(keeping)), inProgress_(keeping_.inProgressFolder, keeping_.earlierInProgressFolders) {
    cellOf_.Fill(kPool);
}

void Game::NewFigure(const std::string& name, const FigureData& figure) {
    Load(SavedGame{0, name, {}, false}, figure, {}, {});
}

void Game::Load(const SavedGame& game, const FigureData& figure, const std::filesystem::path& path,
                const std::string& title) {
    neighbours_ = BuildNeighbourTable(figure.points);
    hasFigure_ = true;
    figureName_ = game.figureName;
    figure_ = figure;
    cellPoints_ = ToBoardUnits(figure);
    state_.pieces = game.board;
    cellOf_.Fill(kPool);
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (state_.pieces[cell] != 0) cellOf_[state_.pieces[cell]] = cell;
    CheckRules();
    seconds_ = game.seconds;
    clock_ = Clock::Stopped;
    label_ = ScoreLabel::Empty;
    filePath_ = path;
    fileTitle_ = title;
    history_.Clear();
    help_ = game.hinted ? Help::Hint : Help::None;
    recorded_ = false;
    Keep();  // the game left behind is no longer the one in progress
}

int Game::PiecesInPool() const {
    int count = 0;
    for (int piece = 1; piece <= kPieceCount; ++piece) count += InPool(piece);
    return count;
}

bool Game::Solved() const {
    if (PiecesInPool() != 0) return false;
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (state_.violation[cell]) return false;
    return true;
}

void Game::CheckRules() {
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const int piece = state_.pieces[cell];
        state_.violation[cell] = piece != 0 && !PieceFits(neighbours_, state_.pieces, cell, piece);
    }
}

bool Game::CanMake(const Move& move) const {
    if (!hasFigure_ || move.piece < 1 || move.piece > kPieceCount || move.from == move.to) return false;
    return cellOf_[move.piece] == move.from && (move.to == kPool || state_.pieces[move.to] == 0);
}

void Game::MakeMove(const Move& move) {
    if (move.from != kPool) state_.pieces[move.from] = 0;
    if (move.to != kPool) state_.pieces[move.to] = std::int16_t(move.piece);
    cellOf_[move.piece] = move.to;
    CheckRules();
    clock_ = Clock::Running;
}

bool Game::Play(const Move& move) {
    if (!CanMake(move)) return false;
    MakeMove(move);
    history_.Record({move});
    Keep();
    return true;
}

std::optional<Move> Game::PlayHint(const CellArray<std::int16_t>& solution) {
    for (int cell = 1; cell <= kCellCount; ++cell) {
        if (state_.pieces[cell] != 0) continue;
        const Move move{solution[cell], kPool, cell};
        if (!CanMake(move)) return std::nullopt;
        help_ = std::max(help_, Help::Hint);
        Play(move);
        return move;
    }
    return std::nullopt;
}

Step Game::PlaySolution(const CellArray<std::int16_t>& solution) {
    Step step;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const Move move{solution[cell], kPool, cell};
        if (state_.pieces[cell] != 0) continue;
        if (!CanMake(move)) return {};  // no solution that keeps the board: nothing moves
        step.push_back(move);
    }
    if (step.empty()) return {};
    for (const Move& move : step) MakeMove(move);
    help_ = Help::Solution;
    history_.Record(step);
    Keep();
    return step;
}

Step Game::Undo() { return Replay(history_.Undo()); }

Step Game::Redo() { return Replay(history_.Redo()); }

Step Game::Replay(const std::optional<Step>& step) {
    if (!step) return {};
    for (const Move& move : *step) {
        if (CanMake(move)) {
            MakeMove(move);
            continue;
        }
        history_.Clear();  // the board has changed under the history: it no longer applies
        return {};
    }
    Keep();
    return *step;
}

Tick Game::TickClock() {
    if (!Solved()) {
        CountSecond();
        return {};
    }
    clock_ = Clock::Solved;
    Tick tick{true, seconds_, false};
    // A board solved again after a piece went off and back is the same game.
    if (recorded_) return tick;
    recorded_ = true;
    const std::string now = Now();
    const std::optional<std::int32_t> best = RecordOf(figureName_, ReadPlayerRecord(), ReadBestTimes()).best;
    // What cannot be kept is no reason to trouble the player.
    const bool inRecord = AddToRecord(keeping_.recordFile, SolvedGame{figureName_, now, seconds_, help_}) == FileProblem::None;
    if (help_ == Help::None) {
        // The best times are kept as before, for the versions that read only them.
        const bool kept = RecordBestTime(keeping_.bestTimesFile, figureName_, seconds_, now.substr(0, 10)).problem ==
                          FileProblem::None;
        tick.newBestTime = (inRecord || kept) && (!best || seconds_ < *best);
    }
    return tick;
}

void Game::CountSecond() {
    seconds_ += 1;
    label_ = ScoreLabel::Seconds;
    pauseMarked_ = false;
    if (seconds_ - keptSeconds_ >= kSecondsBetweenKeeps) Keep();
}

void Game::Pause() {
    pauseMarked_ = true;
    clock_ = Clock::Paused;
    label_ = ScoreLabel::Pause;
    KeepSecondsCounted();
}

void Game::StopClock() {
    clock_ = Clock::Stopped;
    label_ = ScoreLabel::Empty;
}

void Game::KeepSecondsCounted() {
    if (seconds_ != keptSeconds_) Keep();
}

void Game::Keep() {
    if (!hasFigure_) return;
    inProgress_.Keep(Saved());
    keptSeconds_ = seconds_;
}

SavedGame Game::Saved() const { return SavedGame{seconds_, figureName_, state_.pieces, Hinted()}; }

FileProblem Game::Save() const { return WriteGameFile(Saved(), filePath_); }

FileProblem Game::SaveAs(const std::filesystem::path& path, const std::string& title) {
    const FileProblem problem = WriteGameFile(Saved(), path);
    if (problem == FileProblem::None) filePath_ = path, fileTitle_ = title;
    return problem;
}

GameInProgress::Abandoned Game::ClaimAbandoned(const std::filesystem::path& asideFolder, const std::string& asideStem) {
    return inProgress_.ClaimAbandoned(asideFolder, asideStem);
}

void Game::Restore(const SavedGame& game, const FigureData& figure) {
    Load(game, figure, {}, {});
    label_ = ScoreLabel::Seconds;
    inProgress_.TakeOverAbandoned();
}


}  // namespace murlen
