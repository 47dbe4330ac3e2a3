#include "files/file_places.h"

#include <unistd.h>

#include <algorithm>
#include <system_error>

#include "files/program_folder.h"

namespace murlen {

FilePlaces FilePlaces::Find(const std::filesystem::path& programFolder, const std::filesystem::path& userDataFolder,
                            const std::filesystem::path& shippedFromProgram) {
    if (!FindIgnoringCase(programFolder, kFigureListName))
        return FilePlaces((programFolder / shippedFromProgram).lexically_normal(), userDataFolder);
    const bool writable = ::access(programFolder.c_str(), W_OK) == 0;
    return FilePlaces(programFolder, writable ? programFolder : userDataFolder);
}

std::filesystem::path FilePlaces::DialogFolder() const {
    std::error_code ignored;  // a folder that cannot be made leaves the dialog where it starts by itself
    std::filesystem::create_directories(user_, ignored);
    return user_;
}

std::filesystem::path FilePlaces::UserFigureList() const {
    return FindIgnoringCase(user_, kFigureListName).value_or(user_ / kFigureListName);
}

ReadResult<SeenFigureList> FilePlaces::ReadFigureList() const {
    using Result = ReadResult<SeenFigureList>;
    const std::optional<std::filesystem::path> shippedList = FindIgnoringCase(shipped_, kFigureListName);
    if (!shippedList) return Result::Fail(FileProblem::NotFound);
    ReadResult<std::vector<std::string>> shipped = murlen::ReadFigureList(*shippedList);
    if (!shipped.ok()) return Result::Fail(shipped.problem, shipped.line);
    SeenFigureList seen{std::move(*shipped.value)};
    if (OneFolder()) return Result::Ok(std::move(seen));

    const ReadResult<std::vector<std::string>> own = murlen::ReadFigureList(UserFigureList());
    if (own.ok()) {
        seen.names.insert(seen.names.end(), own.value->begin(), own.value->end());
    } else if (own.problem != FileProblem::NotFound) {
        seen.ownProblem = own.problem;
        seen.ownLine = own.line;
    }
    return Result::Ok(std::move(seen));
}

bool FilePlaces::Ships(const std::string& figureName) const {
    const std::optional<std::filesystem::path> shippedList = FindIgnoringCase(shipped_, kFigureListName);
    if (!shippedList) return false;
    const std::vector<std::string> names =
        murlen::ReadFigureList(*shippedList).value.value_or(std::vector<std::string>{});
    return std::find(names.begin(), names.end(), figureName) != names.end();
}

std::optional<std::filesystem::path> FilePlaces::ShapeFileOf(const std::string& figureName) const {
    return murlen::ShapeFileOf(OneFolder() || Ships(figureName) ? shipped_ : user_, figureName);
}

AppendOutcome FilePlaces::AddFigure(const std::string& figureName) const {
    if (!OneFolder()) {
        if (Ships(figureName)) return AppendOutcome::Duplicate;
        std::error_code ignored;  // a folder that cannot be made fails the append below
        std::filesystem::create_directories(user_, ignored);
    }
    return AppendToFigureList(UserFigureList(), figureName);
}

}  // namespace murlen
