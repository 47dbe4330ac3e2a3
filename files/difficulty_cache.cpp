#include "files/difficulty_cache.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <vector>

#include "files/file_bytes.h"
#include "files/user_text_file.h"

namespace murlen {

namespace {

constexpr std::array<const char*, 4> kWords{"easy", "medium", "hard", "unsolvable"};
constexpr std::uintmax_t kMaxCacheSize = 1024 * 1024;

}  // namespace

std::string ShapeKey(const CellArray<Triangle>& points) {
    float left = points[1].p1.x, top = points[1].p1.y;
    for (int cell = 1; cell <= kCellCount; ++cell)
        for (const Point& p : {points[cell].p1, points[cell].p2, points[cell].p3})
            left = std::min(left, p.x), top = std::min(top, p.y);
    // The cells' corners from the shape's top-left corner, in any order of the
    // cells; corners lie on the grid, so whole numbers tell them.
    std::vector<std::string> cells;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        std::string corners;
        for (const Point& p : {points[cell].p1, points[cell].p2, points[cell].p3})
            corners += std::to_string(std::lround(p.x - left)) + ',' + std::to_string(std::lround(p.y - top)) + ';';
        cells.push_back(corners);
    }
    std::sort(cells.begin(), cells.end());
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const std::string& corners : cells)
        for (const char c : corners) hash = (hash ^ std::uint8_t(c)) * 1099511628211ull;
    char key[17];
    std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(hash));
    return key;
}

DifficultyCache::DifficultyCache(std::filesystem::path file) : file_(std::move(file)) {
    const ReadResult<std::string> bytes = ReadFileBytes(file_, kMaxCacheSize);
    if (!bytes.ok()) return;
    for (const std::string_view line : Lines(*bytes.value)) {
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.size() != 2 || fields[0].size() != 16) continue;
        const auto word = std::find(kWords.begin(), kWords.end(), fields[1]);
        if (word != kWords.end()) ratings_[std::string(fields[0])] = Rating(word - kWords.begin());
    }
}

std::optional<Rating> DifficultyCache::Find(const std::string& key) const {
    const auto found = ratings_.find(key);
    if (found == ratings_.end()) return std::nullopt;
    return found->second;
}

void DifficultyCache::Keep(const std::string& key, Rating rating) {
    ratings_[key] = rating;
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    const FolderLock lock(file_.parent_path());
    AppendLine(file_, key + '\t' + kWords[std::size_t(rating)] + '\n');
}

}  // namespace murlen
