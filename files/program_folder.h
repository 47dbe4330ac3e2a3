// Names in the program folder. The game's names ignore letter case, as on the
// file system it was made for; Linux file systems do not, so names are looked
// up here without regard to case.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace murlen {

// The figure list's file name.
inline constexpr const char* kFigureListName = "Figures.dat";

// The entry of `folder` whose name equals `name` ignoring ASCII letter case; an
// exact match wins over others. Nothing when there is none.
std::optional<std::filesystem::path> FindIgnoringCase(const std::filesystem::path& folder,
                                                      const std::string& name);

// True when a figure name may name a shape file in the program folder: not
// empty, no path separator, not "." or "..", no NUL or other control character.
bool IsSafeFigureName(const std::string& name);

// The shape file of a figure: folder + name + ".dat", found without regard to
// case. Nothing when the name is unsafe or no such file exists.
std::optional<std::filesystem::path> ShapeFileOf(const std::filesystem::path& folder,
                                                 const std::string& figureName);

}  // namespace murlen
