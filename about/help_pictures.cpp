#include "about/help_pictures.h"

#include <QPainter>
#include <cstdint>

#include "app/icons.h"
#include "app/image_canvas.h"
#include "files/shape_file.h"
#include "model/geometry.h"
#include "model/piece.h"
#include "model/rules.h"

namespace murlen {
namespace {

// The board's background in the pictures: the light grey of a picture box.
constexpr Rgb kBoardBack = MakeRgb(239, 239, 239);
// Pixels per grid square: the small patch large, the whole figure about as the
// game shows it in a window of its first size.
constexpr int kPatchPixels = 64;
constexpr int kFigurePixels = 48;
constexpr float kMargin = 0.25f;  // around a figure, in squares

// A figure of the game: its cells, its neighbour table and a board.
struct Figure {
    CellArray<Triangle> cells;
    CellArray<NeighbourSlots> neighbours;
    BoardState board;
    float width = 0;   // the part of the figure shown, in squares from (0, 0)
    float height = 0;
};

Figure FigureOf(const ShapeGrid& grid, float shownWidth, float shownHeight) {
    Figure figure;
    // Through the shape file text, exactly as the game reads a figure.
    const auto read = ParseShapeFileForPlay(ShapeFileText(grid));
    if (!read.value) return figure;  // cannot happen for the grids below; a test would see empty pictures
    figure.cells = read.value->points;
    figure.neighbours = BuildNeighbourTable(figure.cells);
    figure.board.Clear();
    figure.width = shownWidth;
    figure.height = shownHeight;
    return figure;
}

void Place(ShapeGrid& grid, int x, int y, int half) {
    grid.Cell(x, y, half) = -1;
    ++grid.placedCount;
}

// A patch of 3 x 2 squares whose diagonals alternate, twelve cells. A figure
// always has 64 cells: the other 52 lie far away in the bottom rows of the grid,
// where they touch neither the patch nor the picture.
Figure Patch() {
    ShapeGrid grid;
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y) {
            grid.Diagonal(x, y) = (x + y) % 2 == 0 ? -1 : 0;
            Place(grid, x, y, 1);
            Place(grid, x, y, 2);
        }
    for (int x = 0; x < 26 && grid.placedCount < kCellCount; ++x)
        for (int y = 24; y < 26 && grid.placedCount < kCellCount; ++y) {
            Place(grid, x, y, 1);
            if (grid.placedCount < kCellCount) Place(grid, x, y, 2);
        }
    return FigureOf(grid, 3, 2);
}

// The right isosceles triangle with legs of eight squares, the first figure of
// the game.
Figure Triangle8() {
    ShapeGrid grid;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            if (x + y < 7) {
                Place(grid, x, y, 1);
                Place(grid, x, y, 2);
            } else if (x + y == 7) {
                Place(grid, x, y, 1);
            }
        }
    return FigureOf(grid, 8, 8);
}

// The cells of the figure that lie inside its shown part.
std::vector<int> ShownCells(const Figure& figure) {
    std::vector<int> shown;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const Point g = Centroid(figure.cells[cell]);
        if (g.x < figure.width && g.y < figure.height) shown.push_back(cell);
    }
    return shown;
}

// A surface that forgets what is drawn on it: for checks that need no picture.
class NoCanvas : public Canvas {
public:
    void Cls() override {}
    void Line(Point, Point, Rgb) override {}
    void PSet(Point, Rgb) override {}
    void FillTriangle(Point, Point, Point, Rgb) override {}
    void SetDrawWidth(int) override {}
    int DrawWidth() const override { return 1; }
    Rgb ForeColor() const override { return kBlack; }
    Rgb BackColor() const override { return kWhite; }
};

// True when `piece` may lie in `cell` with the pieces already on the board: the
// game's own check draws it and says whether it broke a rule.
bool Fits(Figure& figure, int piece, int cell) {
    NoCanvas scratch;
    figure.board.pieces[cell] = std::int16_t(piece);
    DrawBoardCell(scratch, BoardView{figure.cells, figure.neighbours, figure.board}, piece, cell, DrawMode::Check);
    const bool fits = !figure.board.violation[cell];
    figure.board.pieces[cell] = 0;
    figure.board.violation[cell] = false;
    return fits;
}

// The same on an otherwise empty board: only the border counts.
bool FitsAlone(const Figure& figure, int piece, int cell) {
    Figure alone = figure;
    alone.board.Clear();
    return Fits(alone, piece, cell);
}

// True when `piece` in `cell` agrees with every neighbour that holds a piece.
bool MatchesNeighbours(const Figure& figure, int piece, int cell) {
    for (int slot = 0; slot < 3; ++slot) {
        const int value = figure.neighbours[cell][std::size_t(slot)];
        if (value == 0) continue;
        const int other = figure.board.pieces[NeighbourCell(value)];
        if (other != 0 && !PiecesMatch(slot, value, piece, other)) return false;
    }
    return true;
}

// The pieces in a fixed shuffled order, so that a filled board looks lively.
const std::vector<int>& PieceOrder() {
    static const std::vector<int> order = [] {
        std::vector<int> pieces;
        for (int p = 1; p <= kPieceCount; ++p) pieces.push_back(p);
        std::uint32_t state = 20240601;
        for (std::size_t i = pieces.size() - 1; i > 0; --i) {
            state = state * 1664525u + 1013904223u;  // a plain LCG: the same order everywhere
            std::swap(pieces[i], pieces[state % (i + 1)]);
        }
        return pieces;
    }();
    return order;
}

bool Used(const Figure& figure, int piece) {
    for (int c = 1; c <= kCellCount; ++c)
        if (figure.board.pieces[c] == piece) return true;
    return false;
}

// Puts matching pieces, each at most once, on `cells` in the given order, trying
// the pieces in the shuffled order and going back where one does not fit.
bool FillMatching(Figure& figure, const std::vector<int>& cells, std::size_t next = 0) {
    if (next == cells.size()) return true;
    const int cell = cells[next];
    for (int piece : PieceOrder()) {
        if (Used(figure, piece) || !Fits(figure, piece, cell)) continue;
        figure.board.pieces[cell] = std::int16_t(piece);
        if (FillMatching(figure, cells, next + 1)) return true;
        figure.board.pieces[cell] = 0;
    }
    return false;
}

// A game in progress: each of `cells` in turn gets the first unused piece that
// fits there, and stays empty when none does.
void FillGreedily(Figure& figure, const std::vector<int>& cells) {
    for (int cell : cells)
        for (int piece : PieceOrder())
            if (!Used(figure, piece) && Fits(figure, piece, cell)) {
                figure.board.pieces[cell] = std::int16_t(piece);
                break;
            }
}

// The first unused piece, in the shuffled order, for which `wanted` holds.
template <class Wanted>
int FirstPiece(const Figure& figure, Wanted wanted) {
    for (int piece : PieceOrder())
        if (!Used(figure, piece) && wanted(piece)) return piece;
    return 0;
}

// An image of `pixels` logical pixels at a device pixel ratio, filled.
QImage Ground(QSize pixels, int pixelRatio, Rgb color) {
    QImage image(pixels * pixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(ToQColor(color));
    return image;
}

// The board as the game shows it: the outlines, then every placed piece drawn
// and checked in cell order, as after a layout.
QImage DrawBoard(Figure& figure, int pixelsPerSquare, int pixelRatio) {
    const QSize pixels(qRound((figure.width + 2 * kMargin) * pixelsPerSquare),
                       qRound((figure.height + 2 * kMargin) * pixelsPerSquare));
    ImageCanvas canvas(pixels, kBoardBack, pixelRatio);
    canvas.SetScale(-kMargin, -kMargin, figure.width + 2 * kMargin, figure.height + 2 * kMargin);
    canvas.SetForeColor(kBlack);
    canvas.Cls();
    DrawCellOutlines(canvas, figure.cells);
    const CellArray<std::int16_t> pieces = figure.board.pieces;
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (pieces[cell] != 0)
            DrawBoardCell(canvas, BoardView{figure.cells, figure.neighbours, figure.board}, pieces[cell], cell,
                          DrawMode::Check);
    return canvas.Image();
}

// A row of pool pieces as the pool draws them, on a white ground.
QImage PoolRow(const std::vector<int>& poolIndexes, int pixelRatio) {
    constexpr int kSide = 64;
    constexpr int kGap = 16;
    QImage row = Ground(QSize(int(poolIndexes.size()) * (kSide + kGap) + kGap, kSide + 2 * kGap), pixelRatio, kWhite);
    QPainter painter(&row);
    int left = kGap;
    for (int p : poolIndexes) {
        ImageCanvas piece(QSize(kSide, kSide), kWhite, pixelRatio);
        piece.SetScale(0, 0, 42, 42);
        DrawPoolPiece(piece, p);
        painter.drawImage(left, kGap, piece.Image());
        left += kSide + kGap;
    }
    return row;
}

// The pool as the game lays it out: four rows of 16, piece 64 first.
QImage Pool(int pixelRatio) {
    constexpr int kSide = 36;
    constexpr int kGap = 7;
    constexpr Rgb kWindowBack = MakeRgb(239, 239, 239);
    QImage pool = Ground(QSize(16 * (kSide + kGap) + kGap, 4 * (kSide + kGap) + kGap), pixelRatio, kWindowBack);
    std::vector<ImageCanvas> surfaces;
    std::array<Canvas*, kPieceCount> canvases{};
    for (int p = 1; p <= kPieceCount; ++p) surfaces.emplace_back(QSize(kSide, kSide), kWindowBack, pixelRatio);
    for (int p = 1; p <= kPieceCount; ++p) {
        surfaces[std::size_t(p - 1)].SetScale(0, 0, 42, 42);
        canvases[std::size_t(p - 1)] = &surfaces[std::size_t(p - 1)];
    }
    DrawPool(canvases);
    QPainter painter(&pool);
    for (int p = 1; p <= kPieceCount; ++p) {
        const int column = p % 16;
        const int row = (p / 16) % 4;
        painter.drawImage(kGap + column * (kSide + kGap), kGap + row * (kSide + kGap),
                          surfaces[std::size_t(p - 1)].Image());
    }
    return pool;
}

}  // namespace

std::vector<HelpPicture> HelpPictures(int pixelRatio) {
    std::vector<HelpPicture> pictures;
    const auto add = [&](const char* name, const QImage& image) {
        pictures.push_back({QString::fromLatin1(name) + (pixelRatio == 1 ? QString() : QStringLiteral("@%1x").arg(pixelRatio)) +
                                QStringLiteral(".png"),
                            image});
    };

    // The six halves one by one, between the all-white and the all-black piece.
    add("help_halves", PoolRow({64, 1, 2, 4, 8, 16, 32, 63}, pixelRatio));
    add("help_pool", Pool(pixelRatio));

    // A patch filled so that every touching half agrees and the border is black.
    Figure match = Patch();
    const std::vector<int> patchCells = ShownCells(match);
    FillMatching(match, patchCells);
    add("help_match", DrawBoard(match, kPatchPixels, pixelRatio));

    // The same patch with one piece that disagrees with a neighbour: both red.
    // Alone, the wrong piece would break no rule, so the red comes from the pair.
    Figure red = match;
    const int inner = patchCells[5];
    red.board.pieces[inner] = 0;
    red.board.pieces[inner] = std::int16_t(FirstPiece(red, [&](int piece) {
        return FitsAlone(red, piece, inner) && !MatchesNeighbours(red, piece, inner);
    }));
    add("help_red", DrawBoard(red, kPatchPixels, pixelRatio));

    // One piece that agrees with its neighbours but has a white half on the
    // figure's border: blue.
    Figure blue = match;
    const int border = patchCells[1];
    blue.board.pieces[border] = 0;
    blue.board.pieces[border] = std::int16_t(FirstPiece(blue, [&](int piece) {
        return !FitsAlone(blue, piece, border) && MatchesNeighbours(blue, piece, border);
    }));
    add("help_blue", DrawBoard(blue, kPatchPixels, pixelRatio));

    // The first figure of the game, empty, and with its top rows filled.
    Figure empty = Triangle8();
    add("help_figure", DrawBoard(empty, kFigurePixels, pixelRatio));
    Figure started = Triangle8();
    std::vector<int> topRows;
    for (int cell : ShownCells(started))
        if (Centroid(started.cells[cell]).y < 3) topRows.push_back(cell);
    FillGreedily(started, topRows);
    add("help_game", DrawBoard(started, kFigurePixels, pixelRatio));

    return pictures;
}

QString DesktopIconFileName(int pixels) { return QStringLiteral("murlen-%1.png").arg(pixels); }

QImage DesktopIcon(int pixels) { return HeartImage(pixels).convertToFormat(QImage::Format_ARGB32); }

}  // namespace murlen
