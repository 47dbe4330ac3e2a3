#include "files/program_folder.h"

#include <system_error>

namespace murlen {

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::optional<std::filesystem::path> FindIgnoringCase(const std::filesystem::path& folder,
                                                      const std::string& name) {
    if (name.empty()) return std::nullopt;
    // The name as it stands wins; only a miss costs a look through the folder.
    std::error_code error;
    if (std::filesystem::exists(folder / name, error)) return folder / name;

    // Of several names that differ only in case, the smallest one wins, so that
    // the choice does not depend on the order in which the folder lists them.
    std::optional<std::string> best;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (entry == name) return folder / entry;
        if (EqualIgnoringAsciiCase(entry, name) && (!best || entry < *best)) best = entry;
    }
    if (!best) return std::nullopt;
    return folder / *best;
}

bool IsSafeFigureName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        // The backslash separated folders where the figure list was made.
        if (c == '/' || c == '\\') return false;
        if (byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

std::optional<std::filesystem::path> ShapeFileOf(const std::filesystem::path& folder,
                                                 const std::string& figureName) {
    if (!IsSafeFigureName(figureName)) return std::nullopt;
    return FindIgnoringCase(folder, figureName + ".dat");
}

}  // namespace murlen
