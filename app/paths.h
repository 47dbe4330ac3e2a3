// Between the windows' names of files (QString) and the file formats' paths.
#pragma once

#include <QFileInfo>
#include <QString>
#include <filesystem>

#include "app/desktop.h"
#include "files/file_places.h"

namespace murlen {

inline std::filesystem::path ToFilePath(const QString& path) { return std::filesystem::path(path.toStdString()); }
inline QString ToQString(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// Where the shipped files and the user's files are, for the desktop's program
// folder and user. The build file sets where an installation puts the shipped
// files (cmake/install.cmake).
inline FilePlaces PlacesOf(const Desktop& desktop) {
    return FilePlaces::Find(ToFilePath(desktop.AppPath()), ToFilePath(desktop.DataFolder()),
                            MURLEN_SHIPPED_FROM_PROGRAM);
}

// The help file of the current language, among the shipped files.
QString HelpFileOf(const Desktop& desktop);

// A file chosen in a dialog exists when a directory query for its path finds a
// file of exactly that name.
inline bool ChosenFileExists(const FileChoice& choice) {
    const QFileInfo info(choice.fileName);
    return info.exists() && !info.isDir() && info.fileName() == choice.fileTitle;
}

// Asks "Overwrite the file NAME ?" when the chosen file exists; true when it
// does not exist or the user answers Yes.
bool MayOverwrite(Desktop& desktop, const FileChoice& choice);

}  // namespace murlen
