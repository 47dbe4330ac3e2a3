#include "model/rules.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "model/piece.h"

namespace murlen {

namespace {

// The order in which the neighbours of a cell are checked and rechecked.
constexpr std::array<int, 3> kCheckOrder{kSlotP1P2, kSlotP1P3, kSlotP2P3};

// A piece's half-edge bits are read from its pool index (64 has none set).
int Bit(int piece, int bit) { return (piece >> bit) & 1; }

bool EdgeAllBlack(int piece, int edgeMask) { return (piece & edgeMask) == edgeMask; }

}  // namespace

bool PiecesMatch(int slot, int slotValue, int pieceP, int pieceQ) {
    // Each pair is the two halves that touch the same corner of the shared edge.
    auto same = [&](int bitP, int bitQ) { return Bit(pieceP, bitP) == Bit(pieceQ, bitQ); };
    const bool sameEdge = SameEdge(slotValue);
    switch (slot) {
        case kSlotP1P2:
            return sameEdge ? same(0, 1) && same(1, 0) : same(0, 3) && same(1, 2);
        case kSlotP1P3:
            return sameEdge ? same(2, 3) && same(3, 2) : same(2, 1) && same(3, 0);
        case kSlotP2P3:
            return same(4, 5) && same(5, 4);
    }
    assert(false && "a cell has three neighbour slots");
    return true;
}

namespace {


}  // namespace

bool HasPieces(const CellArray<std::int16_t>& board) {
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (board[cell] != 0) return true;
    return false;
}

CellArray<std::int16_t> RandomBoard(const CellArray<NeighbourSlots>& neighbours, int pieces,
                                    const std::function<std::uint64_t()>& next) {
    CellArray<std::int16_t> board;
    board.Fill(0);
    std::array<bool, kPieceCount + 1> used{};
    std::vector<int> fitting;
    for (int tries = 0, placed = 0; placed < pieces && tries < 4 * kCellCount; ++tries) {
        const int cell = 1 + int(next() % kCellCount);
        if (board[cell] != 0) continue;
        fitting.clear();
        for (int piece = 1; piece <= kPieceCount; ++piece)
            if (!used[std::size_t(piece)] && PieceFits(neighbours, board, cell, piece)) fitting.push_back(piece);
        if (fitting.empty()) continue;
        const int piece = fitting[std::size_t(next() % fitting.size())];
        board[cell] = std::int16_t(piece);
        used[std::size_t(piece)] = true;
        ++placed;
    }
    return board;
}

bool PieceFits(const CellArray<NeighbourSlots>& neighbours, const CellArray<std::int16_t>& board, int cell, int piece) {
    for (int slot : kCheckOrder) {
        const int value = neighbours[cell][std::size_t(slot)];
        if (value == 0 && !EdgeAllBlack(piece, kEdgeMaskOfSlot[std::size_t(slot)])) return false;
        const int neighbour = value == 0 ? 0 : board[NeighbourCell(value)];
        if (neighbour != 0 && !PiecesMatch(slot, value, piece, neighbour)) return false;
    }
    return true;
}

namespace {

// The edges of a piece in a cell that break a rule as the board stands, by
// slot: shared edges whose halves disagree (rule 1) and border edges that are
// not all black (rule 2). `other` names a cell whose piece is `otherPiece`
// whether or not the board holds it yet (a piece being placed).
struct BrokenEdges {
    std::array<bool, 3> disagree{};
    std::array<bool, 3> border{};
};

BrokenEdges FindBrokenEdges(const BoardView& board, int piece, int cell, int other, int otherPiece) {
    BrokenEdges broken;
    const NeighbourSlots& around = board.neighbours[cell];
    for (int slot : kCheckOrder) {
        const int value = around[std::size_t(slot)];
        if (value == 0) {
            broken.border[std::size_t(slot)] = !EdgeAllBlack(piece, kEdgeMaskOfSlot[std::size_t(slot)]);
            continue;
        }
        const int n = NeighbourCell(value);
        const int neighbour = n == other ? otherPiece : board.state.pieces[n];
        broken.disagree[std::size_t(slot)] = neighbour != 0 && !PiecesMatch(slot, value, piece, neighbour);
    }
    return broken;
}

// A bar from `from` to `to`, `width` wide (board units), as two triangles.
void FillBar(Canvas& canvas, Point from, Point to, double width, Rgb color) {
    const double length = std::hypot(double(to.x) - from.x, double(to.y) - from.y);
    const double nx = -(to.y - from.y) / length * width / 2, ny = (to.x - from.x) / length * width / 2;
    const auto off = [](Point p, double dx, double dy) { return Point{float(p.x + dx), float(p.y + dy)}; };
    const Point a = off(from, nx, ny), b = off(to, nx, ny), c = off(to, -nx, -ny), d = off(from, -nx, -ny);
    canvas.FillTriangle(a, b, c, color);
    canvas.FillTriangle(a, c, d, color);
}

// A broken rule shows in shape as well as colour, on the edge that breaks it:
// a cross on a shared edge whose halves disagree, a bar along a border edge
// that is not black. Marks are drawn in board units, so they grow with the
// cells, and sit in the middle of their edge, apart from the marks of the
// cell's other edges. A rim in the background colour keeps them in sight on
// halves of their own colour. Both cells of a shared edge draw the same
// cross, so it stays whole whichever of them is drawn again; a bar keeps
// inside its cell, since nothing outside the figure is drawn again.
void DrawMarks(Canvas& canvas, const Triangle& t, const BrokenEdges& broken) {
    const Point g = Centroid(t);
    const double leg = std::hypot(double(t.p2.x) - t.p1.x, double(t.p2.y) - t.p1.y);
    const double core = 0.06 * leg, rim = 0.03 * leg;
    const std::array<std::array<Point, 2>, 3> edges{{{t.p1, t.p2}, {t.p2, t.p3}, {t.p1, t.p3}}};  // by slot
    for (int slot = 0; slot < 3; ++slot) {
        const bool cross = broken.disagree[std::size_t(slot)];
        if (!cross && !broken.border[std::size_t(slot)]) continue;
        const auto [a, b] = edges[std::size_t(slot)];
        const double length = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
        double ex = (b.x - a.x) / length, ey = (b.y - a.y) / length;  // along the edge
        double nx = -ey, ny = ex;                                      // across it, into the cell
        const double mx = (a.x + b.x) / 2.0, my = (a.y + b.y) / 2.0;
        if (nx * (g.x - mx) + ny * (g.y - my) < 0) nx = -nx, ny = -ny;
        const auto at = [&](double along, double across) {
            return Point{float(mx + along * ex + across * nx), float(my + along * ey + across * ny)};
        };
        for (const auto& [grow, color] : {std::pair{rim, canvas.BackColor()}, {0.0, cross ? kRed : kBlue}}) {
            if (cross) {
                const double arm = 0.11 * leg + grow;
                FillBar(canvas, at(-arm, -arm), at(arm, arm), core + 2 * grow, color);
                FillBar(canvas, at(-arm, arm), at(arm, -arm), core + 2 * grow, color);
            } else {
                const double half = 0.2 * leg + grow, depth = 0.5 * core + 0.5 * grow;
                FillBar(canvas, at(-half, depth), at(half, depth), core + grow, color);
            }
        }
    }
}

void DrawCell(Canvas& canvas, BoardView board, int piece, int cell, DrawMode mode, int other, int otherPiece) {
    cell = NeighbourCell(cell);
    const NeighbourSlots& around = board.neighbours[cell];
    const Rgb fore = canvas.ForeColor();
    Rgb color = fore;
    BrokenEdges broken;

    switch (mode) {
        case DrawMode::Erase:
            color = canvas.BackColor();
            // The leaving piece is already off the board: the neighbours are
            // checked again without it.
            for (int slot : kCheckOrder) {
                const int value = around[std::size_t(slot)];
                if (value == 0) continue;
                const int neighbour = board.state.pieces[NeighbourCell(value)];
                if (neighbour != 0) DrawCell(canvas, board, neighbour, value, DrawMode::Check, 0, 0);
            }
            break;
        case DrawMode::Red:
            color = kRed;
            broken = FindBrokenEdges(board, piece, cell, other, otherPiece);
            break;
        case DrawMode::Check: {
            broken = FindBrokenEdges(board, piece, cell, 0, 0);
            for (int slot : kCheckOrder)
                if (broken.border[std::size_t(slot)]) color = kBlue;
            // A disagreement paints both pieces red; red replaces blue.
            for (int slot : kCheckOrder) {
                if (!broken.disagree[std::size_t(slot)]) continue;
                const int n = NeighbourCell(around[std::size_t(slot)]);
                color = kRed;
                DrawCell(canvas, board, board.state.pieces[n], n, DrawMode::Red, cell, piece);
            }
            break;
        }
    }

    // The cell is cleared first: clear halves show the background, and the
    // marks of an earlier drawing go.
    const Triangle& triangle = board.cellPoints[cell];
    canvas.FillTriangle(triangle.p1, triangle.p2, triangle.p3, canvas.BackColor());
    for (int bit = 0; mode != DrawMode::Erase && bit < 6; ++bit) {
        if (Bit(piece, bit) != 0) DrawFan(canvas, triangle, bit, color);
    }
    if (piece == kPieceCount && mode != DrawMode::Erase) {
        canvas.SetDrawWidth(3);
        canvas.PSet(Centroid(triangle), color);
        canvas.SetDrawWidth(1);
    }

    // An emptied cell keeps its outline.
    canvas.Line(triangle.p1, triangle.p2, fore);
    canvas.Line(triangle.p2, triangle.p3, fore);
    canvas.Line(triangle.p3, triangle.p1, fore);
    DrawMarks(canvas, triangle, broken);

    board.state.violation[cell] = color != fore && color != canvas.BackColor();
}

}  // namespace

void DrawBoardCell(Canvas& canvas, BoardView board, int piece, int cell, DrawMode mode) {
    DrawCell(canvas, board, piece, cell, mode, 0, 0);
}

}  // namespace murlen
