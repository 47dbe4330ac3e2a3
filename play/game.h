// The game being played, without any window: the figure and its cells, the
// board and the rules it breaks, the moves for Undo and Redo, the clock, the
// hint taken and the game file. The game window turns the player's events into
// its calls and shows what it answers. Every move and every end of a game
// passes through here, so the game in progress is kept against a crash and
// the best times are recorded here too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/best_times.h"
#include "files/file_problem.h"
#include "files/game_file.h"
#include "files/game_in_progress.h"
#include "files/record.h"
#include "model/geometry.h"
#include "model/move_history.h"
#include "model/rules.h"

namespace murlen {

// Where a game keeps what outlives it.
struct GameKeeping {
    std::filesystem::path inProgressFolder;  // the game in progress, against a crash
    std::vector<std::filesystem::path> earlierInProgressFolders;  // where earlier versions kept it
    std::filesystem::path bestTimesFile;
    std::filesystem::path recordFile;  // every game solved
};

enum class Clock {
    Stopped,  // before the first move, and after a layout, a new figure or a game opened
    Running,  // from a move on
    Paused,   // by the player, until the next move
    Solved,   // a tick found the board solved; the clock stands until a move
};

// What the score label shows.
enum class ScoreLabel { Empty, Seconds, Pause };

// What a tick of the clock found.
struct Tick {
    bool solved = false;          // the clock has stopped: congratulate with `score`
    std::int32_t score = 0;
    bool newBestTime = false;     // the score beats the figure's best time, now kept
};

class Game {
public:
    explicit Game(GameKeeping keeping);

    // --- The figure ----------------------------------------------------------
    // A new game on a figure: the board empty, the clock stopped at 0, nothing
    // to undo, no hint taken, no game file.
    void NewFigure(const std::string& name, const FigureData& figure);
    bool HasFigure() const { return hasFigure_; }
    const std::string& FigureName() const { return figureName_; }
    const FigureData& Figure() const { return figure_; }
    const CellArray<Triangle>& CellPoints() const { return cellPoints_; }  // in board units
    const CellArray<NeighbourSlots>& Neighbours() const { return neighbours_; }

    // --- The board -------------------------------------------------------------
    int Board(int cell) const { return state_.pieces[cell]; }  // the piece on a cell, 0 = none
    bool Violation(int cell) const { return state_.violation[cell]; }  // its piece breaks a rule
    const BoardState& State() const { return state_; }
    bool InPool(int piece) const { return cellOf_[piece] == kPool; }
    int PiecesInPool() const;
    // Every piece on the board and no rule broken.
    bool Solved() const;

    // --- Moves -------------------------------------------------------------------
    // A move of the player, made when the piece lies where the move takes it
    // from and its target is free. It starts the clock and can be undone.
    bool Play(const Move& move);
    // The lowest empty cell gets its piece of `solution`, a full board that
    // keeps every piece placed; the game counts as hinted. The move made.
    std::optional<Move> PlayHint(const CellArray<std::int16_t>& solution);
    // Every empty cell gets its piece of `solution`, in one step; the game
    // counts as helped. The moves made.
    Step PlaySolution(const CellArray<std::int16_t>& solution);
    // The moves that took back the last step, or made it again; none when
    // there was nothing to take back or make again, or when the board has
    // changed under the history (it is then forgotten).
    Step Undo();
    Step Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    bool Hinted() const { return help_ != Help::None; }
    Help HelpTaken() const { return help_; }

    // --- The clock -----------------------------------------------------------------
    std::int32_t Seconds() const { return seconds_; }
    Clock ClockState() const { return clock_; }
    bool ClockRunning() const { return clock_ == Clock::Running; }
    ScoreLabel Label() const { return label_; }
    // The pause shows in the menu from a pause until the next second counted.
    bool PauseMarked() const { return pauseMarked_; }
    // A tick of the one-second timer: a solved board stops the clock (the
    // game goes into the record the first time, and a best time is kept);
    // otherwise one second is counted.
    Tick TickClock();
    // One second more, shown in the label.
    void CountSecond();
    void Pause();
    // The window was laid out: the clock stands and the label is empty until
    // the next move; the seconds stay.
    void StopClock();
    // Keeps the seconds counted since the game was last kept (the player
    // leaves the window, which may not come back).
    void KeepSecondsCounted();

    // --- Game files -------------------------------------------------------------
    const std::string& FileTitle() const { return fileTitle_; }  // empty: no game file
    const std::filesystem::path& FilePath() const { return filePath_; }
    SavedGame Saved() const;
    // Writes the game into its file; Save As keeps the new name only when
    // the game could be written under it.
    FileProblem Save() const;
    FileProblem SaveAs(const std::filesystem::path& path, const std::string& title);
    // A saved game on its figure, which has been read, becomes the game in
    // play, the clock stopped; `path` and `title` name its file (empty for
    // none).
    void Load(const SavedGame& game, const FigureData& figure, const std::filesystem::path& path,
              const std::string& title);

    // --- What outlives the game ------------------------------------------------------
    // The game left by a program that ended without the player's say, and
    // the kept files that could not be read, moved to `asideFolder`.
    GameInProgress::Abandoned ClaimAbandoned(const std::filesystem::path& asideFolder, const std::string& asideStem);
    // The claimed game goes on here, its seconds in the label as a tick
    // would show them, so that the save question guards it.
    void Restore(const SavedGame& game, const FigureData& figure);
    void ForgetAbandoned() { inProgress_.ForgetAbandoned(); }
    std::optional<std::filesystem::path> SetAsideAbandoned(const std::filesystem::path& folder, const std::string& stem) {
        return inProgress_.SetAsideAbandoned(folder, stem);
    }
    // The player has ended the program: the game kept against a crash goes.
    void End() { inProgress_.Discard(); }
    // The player's record, and the best times kept besides it.
    Record ReadPlayerRecord() const { return ReadRecord(keeping_.recordFile); }
    BestTimes ReadBestTimes() const { return murlen::ReadBestTimes(keeping_.bestTimesFile); }

    // The game is kept every this many seconds of play, besides every move.
    static constexpr int kSecondsBetweenKeeps = 10;

private:
    void MakeMove(const Move& move);
    // Makes the moves of a step that Undo or Redo gave back.
    Step Replay(const std::optional<Step>& step);
    bool CanMake(const Move& move) const;
    void CheckRules();
    void StartHistory();
    void Keep();

    GameKeeping keeping_;
    GameInProgress inProgress_;

    bool hasFigure_ = false;
    std::string figureName_;
    FigureData figure_;
    CellArray<Triangle> cellPoints_;
    CellArray<NeighbourSlots> neighbours_;

    BoardState state_;
    CellArray<int> cellOf_;  // per piece: its cell, or kPool
    MoveHistory history_;
    Help help_ = Help::None;  // the most help taken in this game: a hint, the solution
    bool recorded_ = false;   // the game is in the record

    std::int32_t seconds_ = 0;
    std::int32_t keptSeconds_ = 0;  // the seconds of the game kept last
    Clock clock_ = Clock::Stopped;
    ScoreLabel label_ = ScoreLabel::Empty;
    bool pauseMarked_ = false;

    std::string fileTitle_;
    std::filesystem::path filePath_;
};

}  // namespace murlen
