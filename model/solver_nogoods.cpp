#include "model/solver_nogoods.h"

namespace murlen::solving {

int Nogoods::Add(const std::vector<Atom>& atoms, int firstPiece, int secondPiece) {
    const int id = int(records_.size());
    records_.push_back({int(atoms_.size()), int(atoms.size()), {}, {}});
    atoms_.insert(atoms_.end(), atoms.begin(), atoms.end());
    Watch(id, 0, firstPiece);
    if (atoms.size() > 1) Watch(id, 1, secondPiece);
    return id;
}

void Nogoods::Clear() {
    atoms_.clear();
    records_.clear();
    ClearWatches();
}

void Nogoods::Reduce(std::vector<int>& keep, const std::array<Bits, kCellCount>& options) {
    const int count = int(records_.size());
    std::vector<int> renumbered(std::size_t(count), -1);
    std::vector<bool> kept(std::size_t(count), false);
    for (int id : keep) kept[std::size_t(id)] = true;
    for (int id = 0; id < count; ++id)
        if (id >= count / 2) kept[std::size_t(id)] = true;
    std::vector<Atom> atoms;
    std::vector<Record> records;
    atoms.reserve(atoms_.size() / 2);
    for (int id = 0; id < count; ++id) {
        if (!kept[std::size_t(id)]) continue;
        Record record = records_[std::size_t(id)];
        renumbered[std::size_t(id)] = int(records.size());
        atoms.insert(atoms.end(), atoms_.begin() + record.first, atoms_.begin() + record.first + record.size);
        record.first = int(atoms.size()) - record.size;
        records.push_back(record);
    }
    atoms_.swap(atoms);
    records_.swap(records);
    for (int& id : keep) id = renumbered[std::size_t(id)];
    ClearWatches();
    for (int id = 0; id < int(records_.size()); ++id) WatchAnew(id, options);
}

void Nogoods::WatchAnew(int id, const std::array<Bits, kCellCount>& options) {
    const Record& record = records_[std::size_t(id)];
    Atom* atoms = &atoms_[std::size_t(record.first)];
    int open = 0;  // atoms that do not hold, moved to the front
    for (int k = 0; k < record.size && open < 2; ++k)
        if ((options[std::size_t(atoms[k].cell)] & atoms[k].pieces) != 0) std::swap(atoms[open++], atoms[k]);
    for (int slot = 0; slot < std::min(2, record.size); ++slot) {
        const Bits left = options[std::size_t(atoms[slot].cell)] & atoms[slot].pieces;
        Watch(id, slot, PickPiece(left != 0 ? left : atoms[slot].pieces, id));
    }
}

}  // namespace murlen::solving
