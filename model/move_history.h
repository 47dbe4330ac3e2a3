// The moves of a game, for Undo and Redo: a piece from the pool onto a cell,
// from one cell to another, or from a cell back to the pool. Several moves
// made at once (a solution laid on the board) are one step, taken back and
// made again together.
#pragma once

#include <optional>
#include <vector>

namespace murlen {

constexpr int kPool = 0;  // the place of a piece that is on no cell

struct Move {
    int piece = 0;     // pool index 1..64
    int from = kPool;  // a cell 1..64, or kPool
    int to = kPool;
    Move Reversed() const { return {piece, to, from}; }
    friend bool operator==(const Move&, const Move&) = default;
};

using Step = std::vector<Move>;

class MoveHistory {
public:
    // A step just made. What had been undone can no longer be redone.
    void Record(Step step) {
        done_.push_back(std::move(step));
        undone_.clear();
    }
    // The moves that take back the last step made, in the order to make them;
    // the step can be redone.
    std::optional<Step> Undo() {
        if (done_.empty()) return std::nullopt;
        undone_.push_back(std::move(done_.back()));
        done_.pop_back();
        Step back;
        for (auto move = undone_.back().rbegin(); move != undone_.back().rend(); ++move) back.push_back(move->Reversed());
        return back;
    }
    // The step last taken back, to be made again.
    std::optional<Step> Redo() {
        if (undone_.empty()) return std::nullopt;
        done_.push_back(std::move(undone_.back()));
        undone_.pop_back();
        return done_.back();
    }
    bool CanUndo() const { return !done_.empty(); }
    bool CanRedo() const { return !undone_.empty(); }
    void Clear() {
        done_.clear();
        undone_.clear();
    }

private:
    std::vector<Step> done_;
    std::vector<Step> undone_;
};

}  // namespace murlen
