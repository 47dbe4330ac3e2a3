// The moves of a game, for Undo and Redo: a piece from the pool onto a cell,
// from one cell to another, or from a cell back to the pool.
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

class MoveHistory {
public:
    // A move just made. What had been undone can no longer be redone.
    void Record(const Move& move) {
        done_.push_back(move);
        undone_.clear();
    }
    // The move that takes back the last one made; it can be redone.
    std::optional<Move> Undo() {
        if (done_.empty()) return std::nullopt;
        undone_.push_back(done_.back());
        done_.pop_back();
        return undone_.back().Reversed();
    }
    // The move last taken back, to be made again.
    std::optional<Move> Redo() {
        if (undone_.empty()) return std::nullopt;
        done_.push_back(undone_.back());
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
    std::vector<Move> done_;
    std::vector<Move> undone_;
};

}  // namespace murlen
