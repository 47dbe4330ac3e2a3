// Where the game's files live. The shipped files (the figure list, the shape
// files of the figures that come with the game, the help pages) are read from
// the shipped folder; what the user makes (shape files, figures added to the
// list, games) goes to the user's folder. A program folder that holds the
// shipped files and can be written, such as the build folder, is both at once,
// so that the game run from there works in one folder. Nothing else builds a
// path to these files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/figure_list.h"
#include "files/file_problem.h"

namespace murlen {

struct SeenFigureList {
    std::vector<std::string> names;
    // What keeps the user's own list out of `names`: the problem and its line.
    FileProblem ownProblem = FileProblem::None;
    int ownLine = 0;
};

class FilePlaces {
public:
    // The places of a program in `programFolder` for a user whose own data
    // folder is `userDataFolder`. The shipped files are the ones beside the
    // program when its folder holds a figure list, else the installation's in
    // programFolder / `shippedFromProgram`. The user's folder is the program
    // folder only when that holds the shipped files and can be written.
    static FilePlaces Find(const std::filesystem::path& programFolder, const std::filesystem::path& userDataFolder,
                           const std::filesystem::path& shippedFromProgram);

    const std::filesystem::path& ShippedFolder() const { return shipped_; }

    // Where a file dialog starts: the user's folder, created when missing so
    // that the dialog can show it.
    std::filesystem::path DialogFolder() const;

    // The figure list the player sees: the shipped entries, then the user's.
    // A user who has added no figure yet has no list of their own; of one
    // whose list cannot be read, the shipped entries and what kept the list
    // out. Fails only when the shipped list cannot be read.
    ReadResult<SeenFigureList> ReadFigureList() const;

    // The shape file of a figure of that list: a shipped figure's in the
    // shipped folder, any other in the user's. A figure of the user's with the
    // name of a shipped one is never read: the shipped one comes first in the
    // list and wins. Nothing when the name is unsafe or the file is missing.
    std::optional<std::filesystem::path> ShapeFileOf(const std::string& figureName) const;

    // Adds a figure to the user's list (creating list and folder when missing)
    // unless the list the player sees holds its name already.
    AppendOutcome AddFigure(const std::string& figureName) const;

    // The user's figure list, existing or not.
    std::filesystem::path UserFigureList() const;

private:
    FilePlaces(std::filesystem::path shipped, std::filesystem::path user)
        : shipped_(std::move(shipped)), user_(std::move(user)) {}
    bool OneFolder() const { return shipped_ == user_; }
    // True when the shipped figure list holds the name.
    bool Ships(const std::string& figureName) const;

    std::filesystem::path shipped_;
    std::filesystem::path user_;
};

}  // namespace murlen
