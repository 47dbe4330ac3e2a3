// Between the windows' names of files (QString) and the file formats' paths.
#pragma once

#include <QFileInfo>
#include <QString>
#include <filesystem>

#include "app/desktop.h"

namespace murlen {

inline std::filesystem::path ToFilePath(const QString& path) { return std::filesystem::path(path.toStdString()); }

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
