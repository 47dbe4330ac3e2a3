// How hard each figure is, once rated, kept in a small text file of the
// program's cache so that the figure chooser shows it at once: a line a shape,
// its key and a word ("easy", "medium", "hard" or "unsolvable"). The key is
// the same for the same shape wherever it lies on the grid, so a figure saved
// again under another name, or moved, is not rated twice. A line that cannot
// be read is passed over; lines are only added, under the folder's lock.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "model/geometry.h"

namespace murlen {

enum class Rating { Easy, Medium, Hard, Unsolvable };

// The key of a figure's shape (`points` as ReadShapeFileForPlay gives them).
std::string ShapeKey(const CellArray<Triangle>& points);

class DifficultyCache {
public:
    // The ratings kept in `file`; a missing or damaged file holds none (or
    // its good lines).
    explicit DifficultyCache(std::filesystem::path file);

    std::optional<Rating> Find(const std::string& key) const;
    // Keeps a rating here and in the file; a file that cannot be written
    // costs only a rating again next time.
    void Keep(const std::string& key, Rating rating);

private:
    std::filesystem::path file_;
    std::map<std::string, Rating> ratings_;
};

}  // namespace murlen
