// Writes the shipped figures from the table in shipped_figures.cpp: one shape
// file per figure, written by the game's own writer, and the figure list.
//
//   make_figures [folder]     (default: resources/figures of the source tree)
//
// Run it after changing the table and commit the files it writes; a test checks
// that they are exactly what the table gives.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/program_folder.h"
#include "files/shape_file.h"
#include "tools/shipped_figures.h"

int main(int argc, char** argv) {
    using namespace murlen;
    const std::filesystem::path folder = argc > 1 ? std::filesystem::path(argv[1])
                                                  : std::filesystem::path(MURLEN_FIGURES_DIR);
    std::error_code error;
    std::filesystem::create_directories(folder, error);

    for (const tools::ShippedFigure& figure : tools::ShippedFigures()) {
        std::string problem;
        const std::optional<ShapeGrid> grid = tools::GridFromDrawing(figure.drawing, &problem);
        if (!grid) {
            std::fprintf(stderr, "%s: %s\n", figure.name, problem.c_str());
            return 1;
        }
        if (grid->placedCount != kCellCount) {
            std::fprintf(stderr, "%s: %d cells, not %d\n", figure.name, grid->placedCount, kCellCount);
            return 1;
        }
        const std::filesystem::path path = folder / (std::string(figure.name) + ".dat");
        if (WriteShapeFile(*grid, path) != FileProblem::None) {
            std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            return 1;
        }
    }

    const std::filesystem::path listPath = folder / kFigureListName;
    const std::string list = tools::ShippedFigureListText();
    std::ofstream out(listPath, std::ios::binary | std::ios::trunc);
    out.write(list.data(), std::streamsize(list.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", listPath.string().c_str());
        return 1;
    }
    std::printf("%zu figures written to %s\n", tools::ShippedFigures().size(), folder.string().c_str());
    return 0;
}
