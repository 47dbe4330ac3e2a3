// The command line of the program: `murlen` alone opens the game, --help and
// --version print and end, anything else is refused with a one-line message.
// The options every Qt program takes (-platform, -style, -session ...) are left
// to Qt. Decided before any window opens, so that --help and --version work
// without a display.
#pragma once

#include <QStringList>
#include <optional>

namespace murlen {

// The exit status when the program ends here (after printing to standard
// output or standard error), nothing when the game is to open.
std::optional<int> AnswerCommandLine(const QStringList& arguments, const QString& version);

}  // namespace murlen
