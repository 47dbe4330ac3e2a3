// What a search has learnt from its failures: nogoods, each a few cells with a
// set of pieces per cell, read "no solution puts every one of these cells on
// a piece outside its set". A cell's part (an atom) holds once the cell's
// options avoid its set: then the cell can only end outside it. When every
// atom but one holds, the last cell must take a piece of its set.
//
// Each nogood watches two of its atoms that do not hold, each through one
// piece the cell still has, and is looked at only when a cell loses a watched
// piece (the two watched literals of SAT solvers, a literal being "this cell
// takes this piece"). Going back in the search only gives pieces back, so the
// watches need no care then.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/solver_bits.h"
#include "model/types.h"

namespace murlen::solving {

struct Atom {
    int cell = 0;
    Bits pieces = 0;  // the atom holds when the cell's options avoid these
};

class Nogoods {
public:
    // Keeps a nogood of at least one atom, watching its first atom through
    // `firstPiece` and its second, if any, through `secondPiece`. The first
    // is the atom that does not hold (the one it narrows), the second the one
    // that came to hold last.
    int Add(const std::vector<Atom>& atoms, int firstPiece, int secondPiece);
    const Atom* AtomsOf(int id) const { return &atoms_[std::size_t(records_[std::size_t(id)].first)]; }
    int SizeOf(int id) const { return records_[std::size_t(id)].size; }
    std::size_t AtomCount() const { return atoms_.size(); }
    void Clear();

    // Forgets the older half of the nogoods, but for those that `keep` (a
    // list of ids) names; renumbers the rest, writing the new numbers into
    // `keep`, and watches each anew through two atoms that do not hold where
    // it can.
    void Reduce(std::vector<int>& keep, const std::array<Bits, kCellCount>& options);

    // At the start of a run: each nogood watches two atoms that do not hold;
    // one with a single such atom narrows its cell through
    // narrow(id, cell, pieces). Returns a nogood that fails outright, or -1.
    template <class Narrow>
    int Rewatch(const std::array<Bits, kCellCount>& options, Narrow&& narrow);

    // After `cell` lost the pieces `lost`: each nogood watching one of them
    // watches another piece, or narrows its last cell, or fails. Returns the
    // nogood that fails, or -1.
    template <class Narrow>
    int Wake(int cell, Bits lost, const std::array<Bits, kCellCount>& options, Narrow&& narrow);

private:
    struct Record {
        int first;
        int size;
        std::array<std::int8_t, 2> cell;   // the cells of atoms 0 and 1, which are watched
        std::array<std::int8_t, 2> piece;  // and their watched pieces
    };
    // One of the pieces of `left`, a different one for different nogoods, so
    // that the watches spread over the pieces.
    static int PickPiece(Bits left, int id) {
        const int turn = id & 63;
        return (First(std::rotr(left, turn)) + turn) & 63;
    }
    void WatchAnew(int id, const std::array<Bits, kCellCount>& options);
    std::vector<int>& Watching(int cell, int piece) {
        if (watchers_.empty()) watchers_.resize(kCellCount * 64);
        return watchers_[std::size_t(cell * 64 + piece)];
    }
    void ClearWatches() {
        for (std::vector<int>& watching : watchers_) watching.clear();
        watched_.fill(0);
    }
    // Watches atom `slot` (0 or 1) of a nogood through a piece. The lists
    // hold id * 2 + slot; an entry whose record watches elsewhere by now is
    // dropped when next met.
    void Watch(int id, int slot, int piece) {
        Record& record = records_[std::size_t(id)];
        const int cell = atoms_[std::size_t(record.first + slot)].cell;
        record.cell[std::size_t(slot)] = std::int8_t(cell);
        record.piece[std::size_t(slot)] = std::int8_t(piece);
        Watching(cell, piece).push_back(id * 2 + slot);
        watched_[std::size_t(cell)] |= Bit(piece);
    }

    std::vector<Atom> atoms_;
    std::vector<Record> records_;
    std::vector<std::vector<int>> watchers_;  // per cell and piece, id * 2 + slot; made with the first nogood
    std::array<Bits, kCellCount> watched_{};  // per cell, the pieces that have (or had) watchers
};

template <class Narrow>
int Nogoods::Rewatch(const std::array<Bits, kCellCount>& options, Narrow&& narrow) {
    if (records_.empty()) return -1;
    ClearWatches();
    for (int id = 0; id < int(records_.size()); ++id) {
        WatchAnew(id, options);
        const Record& record = records_[std::size_t(id)];
        const Atom* atoms = &atoms_[std::size_t(record.first)];
        const bool firstOpen = (options[std::size_t(atoms[0].cell)] & atoms[0].pieces) != 0;
        const bool secondOpen = record.size > 1 && (options[std::size_t(atoms[1].cell)] & atoms[1].pieces) != 0;
        if (!firstOpen) return id;
        if (!secondOpen && (options[std::size_t(atoms[0].cell)] & ~atoms[0].pieces) != 0)
            narrow(id, atoms[0].cell, atoms[0].pieces);
    }
    return -1;
}

template <class Narrow>
int Nogoods::Wake(int cell, Bits lost, const std::array<Bits, kCellCount>& options, Narrow&& narrow) {
    for (lost &= watched_[std::size_t(cell)]; lost != 0; lost &= lost - 1) {
        const int piece = First(lost);
        std::vector<int>& watching = Watching(cell, piece);
        for (std::size_t i = 0; i < watching.size();) {
            const int id = watching[i] >> 1;
            const int slot = watching[i] & 1;
            Record& record = records_[std::size_t(id)];
            if (record.cell[std::size_t(slot)] != cell || record.piece[std::size_t(slot)] != piece) {
                watching[i] = watching.back();  // a watch that has moved on
                watching.pop_back();
                continue;
            }
            Atom* atoms = &atoms_[std::size_t(record.first)];
            // Another piece of the same atom, or an atom that does not hold.
            int moveTo = -1;
            if ((options[std::size_t(cell)] & atoms[slot].pieces) != 0) moveTo = slot;
            for (int k = 2; k < record.size && moveTo < 0; ++k) {
                if ((options[std::size_t(atoms[k].cell)] & atoms[k].pieces) == 0) continue;
                std::swap(atoms[slot], atoms[k]);
                moveTo = slot;
            }
            if (moveTo >= 0) {
                Watch(id, slot, PickPiece(options[std::size_t(atoms[slot].cell)] & atoms[slot].pieces, id));
                watching[i] = watching.back();
                watching.pop_back();
                continue;
            }
            ++i;
            if (record.size == 1) return id;
            const Atom& other = atoms[1 - slot];
            const Bits otherOptions = options[std::size_t(other.cell)];
            if ((otherOptions & other.pieces) == 0) return id;
            if ((otherOptions & ~other.pieces) != 0) narrow(id, other.cell, other.pieces);
        }
    }
    return -1;
}

}  // namespace murlen::solving
