#include "tools/shipped_figures.h"

namespace murlen::tools {

namespace {

// Each drawing is a raw string; the line break right after R"( is not a row.
const std::vector<ShippedFigure> kFigures = {
    // Legs of 8 squares along the top and the left edge: the figure the game opens with.
    {"Triangle", R"(
///////////////^
/////////////^
///////////^
/////////^
///////^
/////^
///^
/^
)"},
    // 4 x 8 squares, every diagonal rising.
    {"Rectangle", R"(
////////////////
////////////////
////////////////
////////////////
)"},
    // A pointed roof over walls of 6 x 4 squares with a door.
    {"House", R"(
..../_\_
../_//\\\_
/_////\\\\\_
//////\\\\\\
//////\\\\\\
//////\\\\\\
////..\\\\\\
)"},
    // A sailing boat: jib and mainsail on either side of the mast, over the hull.
    {"Boat", R"(
........\_
..../_..\\\_
../_//..\\\\\_
/_////..\\\\\\\_
\^//////////////
..\^////////////
....\^//////////
)"},
    // Pointing right: a shaft of 2 x 8 squares and a head 4 squares deep.
    {"Arrow", R"(
................\_
................\\\_
................\\\\\_
\\\\\\\\\\\\\\\\\\\\\\\_
///////////////////////^
................/////^
................///^
................/^
)"},
    // Two lobes and a point; 16 long edges on the border, as many as the set has black.
    {"Heart", R"(
../_\_..../_\_
/_////\_/_\\\\\_
////////\\\\\\\\
\^//////\\\\\\/^
..\^////\\\\/^
....\^//\\/^
......\^/^
)"},
    // A square on its corner: its outline is 16 long edges, as many as the set has black.
    {"Diamond", R"(
....../_\_
..../_//\\\_
../_////\\\\\_
/_//////\\\\\\\_
\^\\\\\\///////^
..\^\\\\/////^
....\^\\///^
......\^/^
)"},
    // Four pointed arms two squares wide; the diagonals meet as an X in the middle.
    {"Cross", R"(
......../_\_
........//\\
........//\\
........//\\
/_////////\\\\\\\\\_
\^\\\\\\\\/////////^
........\\//
........\\//
........\\//
........\^/^
)"},
    // Swimming left, with a forked tail.
    {"Fish", R"(
..../_\_....../_//
../_//\\\_../_////
/_////\\\\\\/////^
\^\\\\//////\\\\\_
..\^\\///^..\^\\\\
....\^/^......\^\\
)"},
    // Three points over a band of three rows, its diagonals forming a row of jewels.
    {"Crown", R"(
\_..../_\_..../_
\\\_/_////\_/_//
//\\//\\//\\//\\
\\//\\//\\//\\//
//\\//\\//\\//\\
)"},
};

}  // namespace

const std::vector<ShippedFigure>& ShippedFigures() { return kFigures; }

std::optional<ShapeGrid> GridFromDrawing(std::string_view drawing, std::string* problem) {
    auto fail = [problem](int row, int column, const std::string& what) -> std::optional<ShapeGrid> {
        if (problem != nullptr)
            *problem = "row " + std::to_string(row) + ", column " + std::to_string(column) + ": " + what;
        return std::nullopt;
    };

    if (!drawing.empty() && drawing.front() == '\n') drawing.remove_prefix(1);
    ShapeGrid grid;
    int y = 0;
    while (!drawing.empty()) {
        const std::size_t end = drawing.find('\n');
        const std::string_view line = drawing.substr(0, end);
        drawing = end == std::string_view::npos ? std::string_view() : drawing.substr(end + 1);

        if (line.size() % 2 != 0) return fail(y, int(line.size() / 2), "a square needs two characters");
        for (std::size_t i = 0; i < line.size(); i += 2) {
            const int x = int(i / 2);
            const char diagonal = line[i];
            const char halves = line[i + 1];
            if (diagonal == '.' && halves == '.') continue;
            if (x >= kGridSquares || y >= kGridSquares) return fail(y, x, "outside the 26 x 26 grid");
            if (diagonal != '/' && diagonal != '\\') return fail(y, x, "unknown diagonal");
            const bool falling = diagonal == '\\';
            const bool upper = halves == diagonal || halves == '^';
            const bool lower = halves == diagonal || halves == '_';
            if (!upper && !lower) return fail(y, x, "unknown halves");
            grid.Diagonal(x, y) = falling ? -1 : 0;
            if (upper) {
                grid.Cell(x, y, 1) = -1;
                ++grid.placedCount;
            }
            if (lower) {
                grid.Cell(x, y, 2) = -1;
                ++grid.placedCount;
            }
        }
        ++y;
    }
    return grid;
}

CellArray<Triangle> FigurePointsOf(const ShapeGrid& grid) { return FigureCells(grid); }

std::string ShippedFigureListText() {
    std::string text;
    for (const ShippedFigure& figure : ShippedFigures()) {
        text += '"';
        text += figure.name;
        text += "\"\r\n";
    }
    return text;
}

}  // namespace murlen::tools
