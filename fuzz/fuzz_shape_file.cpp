// Arbitrary bytes as a shape file, through both readers the program uses: for
// play, and into the generator's grid. What a reader accepts must be a figure
// the board can use.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/shape_file.h"
#include "model/geometry.h"

using namespace murlen;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const ReadResult<FigureData> play = ParseShapeFileForPlay(text);
    if (play.ok()) {
        const FigureData& figure = *play.value;
        if (!(figure.maxX > figure.minX && figure.maxY > figure.minY)) std::abort();
        // The board's own work on an accepted figure must be safe as well.
        const CellArray<Triangle> cells = ToBoardUnits(figure);
        const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(figure.points);
        for (int cell = 1; cell <= kCellCount; ++cell)
            for (std::int16_t slot : neighbours[cell])
                if (slot < 0 || NeighbourCell(slot) > kCellCount || NeighbourCell(slot) == cell) std::abort();
        if (FindNearestCell(cells, 1.5f, 2.5f) < 1) std::abort();
    } else if (play.problem == FileProblem::None) {
        std::abort();  // a refusal always names its problem
    }

    const ReadResult<ShapeFileContents> grid = ParseShapeFileIntoGrid(text);
    if (grid.ok()) {
        int placed = 0;
        for (int x = 0; x < kGridSquares; ++x)
            for (int y = 0; y < kGridSquares; ++y) placed += grid.value->grid.Placed(x, y, 1) + grid.value->grid.Placed(x, y, 2);
        if (placed != grid.value->grid.placedCount) std::abort();
    }
    return 0;
}
