// The messages that tell the player why a file could not be used, joined from
// the string table around the file's name.
#pragma once

#include <QString>

#include "files/file_problem.h"

namespace murlen {

enum class FileKind { ShapeFile, GameFile, FigureList };

// "File NAME not found!", "The file NAME cannot be read.", "The file NAME is not
// a valid shape file. The problem is in line N." and so on.
QString ReadProblemMessage(FileKind kind, const QString& fileTitle, FileProblem problem, int line);

// "The file NAME cannot be written. Nothing has been changed."
QString WriteProblemMessage(const QString& fileTitle);

}  // namespace murlen
