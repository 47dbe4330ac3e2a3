#include "files/shape_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_bytes.h"

namespace murlen {

namespace {

constexpr int kHeaderLines = 4;
constexpr int kRecordLines = 7;  // N, x1, y1, x2, y2, x3, y3

// Numbers beyond this are no grid coordinate; refusing them keeps every later
// conversion to int well defined.
constexpr double kLargestValue = 1e6;

void AppendLine(std::string& text, int value) {
    text += std::to_string(value);
    text += "\r\n";
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view line) {
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    return line;
}

// A line as a number, read the way the old BASIC read these files: blanks, an
// optional sign, digits with an optional "." and fraction, blanks. Nothing else
// may stand on the line. Nothing when it is no such number or too large.
std::optional<double> ParseNumber(std::string_view line) {
    line = Trimmed(line);
    bool negative = false;
    if (!line.empty() && (line.front() == '+' || line.front() == '-')) {
        negative = line.front() == '-';
        line.remove_prefix(1);
    }
    int digits = 0;
    int points = 0;
    for (const char c : line) {
        if (IsDigit(c)) {
            ++digits;
        } else if (c == '.' && points == 0) {
            ++points;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;

    // from_chars ignores the locale, which the windows may have set to one
    // with a decimal comma.
    double value = 0;
    const auto [end, error] =
        std::from_chars(line.data(), line.data() + line.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != line.data() + line.size()) return std::nullopt;
    if (!std::isfinite(value) || std::fabs(value) > kLargestValue) return std::nullopt;
    return negative ? -value : value;
}

// One triangle record as it stands in the file.
struct Record {
    int n = 0;
    int line = 0;  // the line of N
    Triangle corners;
};

struct Records {
    float minX = 0, maxX = 0, minY = 0, maxY = 0;
    std::vector<Record> inFileOrder;
};

// The checks both readers share: every line a number, a whole header, whole
// records, record numbers 1..64 each exactly once.
ReadResult<Records> ReadRecords(const std::string& text) {
    using Result = ReadResult<Records>;
    if (text.size() > kMaxFileSize) return Result::Fail(FileProblem::TooLarge);

    // Lines end with LF or CR LF; empty lines at the very end do not count.
    std::vector<std::string_view> lines;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    while (!lines.empty() && Trimmed(lines.back()).empty()) lines.pop_back();

    std::vector<double> values;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::optional<double> value = ParseNumber(lines[i]);
        if (!value) return Result::Fail(FileProblem::NotANumber, int(i) + 1);
        values.push_back(*value);
    }

    const std::size_t count = values.size();
    if (count < kHeaderLines || (count - kHeaderLines) % kRecordLines != 0) {
        return Result::Fail(FileProblem::WrongRecordCount);
    }

    Records records;
    records.minX = float(values[0]);
    records.maxX = float(values[1]);
    records.minY = float(values[2]);
    records.maxY = float(values[3]);

    bool seen[kCellCount + 1] = {};
    for (std::size_t i = kHeaderLines; i < count; i += kRecordLines) {
        const int line = int(i) + 1;
        const double n = values[i];
        if (n != std::floor(n) || n < 1 || n > kCellCount) {
            return Result::Fail(FileProblem::BadRecordNumber, line);
        }
        Record record;
        record.n = int(n);
        record.line = line;
        if (seen[record.n]) return Result::Fail(FileProblem::DuplicateRecord, line);
        seen[record.n] = true;
        record.corners = Triangle{{float(values[i + 1]), float(values[i + 2])},
                                  {float(values[i + 3]), float(values[i + 4])},
                                  {float(values[i + 5]), float(values[i + 6])}};
        records.inFileOrder.push_back(record);
    }
    if (records.inFileOrder.size() != std::size_t(kCellCount)) {
        return Result::Fail(FileProblem::WrongRecordCount);
    }
    return Result::Ok(std::move(records));
}

// Where a cell lies: its square and half, and the square's diagonal.
struct CellPlace {
    int x = 0;
    int y = 0;
    bool falling = false;
    int half = 1;
};

// The place of a triangle whose corners are exactly those that the writer gives
// one half of a grid square; nothing for any other triangle.
std::optional<CellPlace> PlaceOfCell(const Triangle& t) {
    const float left = std::fmin(t.p1.x, std::fmin(t.p2.x, t.p3.x));
    const float top = std::fmin(t.p1.y, std::fmin(t.p2.y, t.p3.y));
    if (left != std::floor(left) || top != std::floor(top)) return std::nullopt;
    for (const bool falling : {false, true}) {
        for (const int half : {1, 2}) {
            const CellPlace place{int(left), int(top), falling, half};
            if (t == CellTriangle(place.x, place.y, falling, half)) return place;
        }
    }
    return std::nullopt;
}

// The halves already taken in one grid square. Both halves of a square must
// share its diagonal, or the two cells would overlap.
struct SquareUse {
    bool falling = false;
    bool taken[2] = {false, false};
};

bool Overlaps(const SquareUse& square, const CellPlace& cell) {
    const bool otherTaken = square.taken[2 - cell.half];
    return square.taken[cell.half - 1] || (otherTaken && square.falling != cell.falling);
}

}  // namespace

std::string ShapeFileText(const ShapeGrid& grid) {
    // The bounding box in grid points: left, right, top and bottom edge.
    int minX = kGridSquares, maxX = 0, minY = kGridSquares, maxY = 0;
    for (int x = 0; x < kGridSquares; ++x) {
        for (int y = 0; y < kGridSquares; ++y) {
            if (!grid.Placed(x, y, 1) && !grid.Placed(x, y, 2)) continue;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x + 1);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y + 1);
        }
    }
    if (maxX == 0) minX = minY = 0;  // an empty grid

    std::string text;
    AppendLine(text, minX);
    AppendLine(text, maxX);
    AppendLine(text, minY);
    AppendLine(text, maxY);

    int n = 1;
    for (int y = 0; y < kGridSquares; ++y) {
        for (int x = 0; x < kGridSquares; ++x) {
            for (const int half : {1, 2}) {
                if (!grid.Placed(x, y, half) || n > kCellCount) continue;
                const auto [p1, p2, p3] = CellTriangle(x, y, grid.Falling(x, y), half);
                for (const int value : {n, int(p1.x), int(p1.y), int(p2.x), int(p2.y), int(p3.x), int(p3.y)}) {
                    AppendLine(text, value);
                }
                ++n;
            }
        }
    }
    return text;
}

FileProblem WriteShapeFile(const ShapeGrid& grid, const std::filesystem::path& path) {
    return WriteFileSafely(path, ShapeFileText(grid));
}

ReadResult<FigureData> ParseShapeFileForPlay(const std::string& text) {
    using Result = ReadResult<FigureData>;
    ReadResult<Records> records = ReadRecords(text);
    if (!records.ok()) return Result::Fail(records.problem, records.line);

    FigureData figure;
    figure.minX = records.value->minX;
    figure.maxX = records.value->maxX;
    figure.minY = records.value->minY;
    figure.maxY = records.value->maxY;

    std::map<std::pair<int, int>, SquareUse> squares;
    for (const Record& record : records.value->inFileOrder) {
        const std::optional<CellPlace> cell = PlaceOfCell(record.corners);
        if (!cell) return Result::Fail(FileProblem::BadCell, record.line);
        SquareUse& square = squares[{cell->x, cell->y}];
        if (Overlaps(square, *cell)) return Result::Fail(FileProblem::DuplicateCell, record.line);
        square.falling = cell->falling;
        square.taken[cell->half - 1] = true;
        figure.points[record.n] = record.corners;
    }

    // The header is the figure's bounding box; the board is fitted to it, so
    // every corner must lie inside.
    float left = figure.points[1].p1.x, right = left;
    float top = figure.points[1].p1.y, bottom = top;
    for (int n = 1; n <= kCellCount; ++n) {
        for (const Point& p : {figure.points[n].p1, figure.points[n].p2, figure.points[n].p3}) {
            left = std::fmin(left, p.x);
            right = std::fmax(right, p.x);
            top = std::fmin(top, p.y);
            bottom = std::fmax(bottom, p.y);
        }
    }
    if (figure.minX > left) return Result::Fail(FileProblem::BadHeader, 1);
    if (figure.maxX < right) return Result::Fail(FileProblem::BadHeader, 2);
    if (figure.minY > top) return Result::Fail(FileProblem::BadHeader, 3);
    if (figure.maxY < bottom) return Result::Fail(FileProblem::BadHeader, 4);
    return Result::Ok(figure);
}

ReadResult<FigureData> ReadShapeFileForPlay(const std::filesystem::path& path) {
    ReadResult<std::string> bytes = ReadFileBytes(path);
    if (!bytes.ok()) return ReadResult<FigureData>::Fail(bytes.problem);
    return ParseShapeFileForPlay(*bytes.value);
}

ReadResult<ShapeFileContents> ParseShapeFileIntoGrid(const std::string& text) {
    using Result = ReadResult<ShapeFileContents>;
    ReadResult<Records> records = ReadRecords(text);
    if (!records.ok()) return Result::Fail(records.problem, records.line);

    ShapeFileContents contents;
    contents.minX = records.value->minX;
    contents.maxX = records.value->maxX;
    contents.minY = records.value->minY;
    contents.maxY = records.value->maxY;
    ShapeGrid& grid = contents.grid;

    // The unit is the leg of the first record in the file: 1 in the files we
    // write, larger in files drawn with wider steps between grid points.
    const Record& first = records.value->inFileOrder.front();
    const float legX = std::fabs(first.corners.p1.x - first.corners.p2.x);
    const float legY = std::fabs(first.corners.p1.y - first.corners.p2.y);
    const float unit = legX >= legY ? legX : legY;
    if (!(unit > 0) || !std::isfinite(unit)) return Result::Fail(FileProblem::BadCell, first.line);

    for (const Record& record : records.value->inFileOrder) {
        // Move the bounding box to the top-left corner of the grid, scale and round.
        const float raw[6] = {record.corners.p1.x, record.corners.p1.y, record.corners.p2.x,
                              record.corners.p2.y, record.corners.p3.x, record.corners.p3.y};
        int v[6];
        for (int i = 0; i < 6; ++i) {
            const float origin = i % 2 == 0 ? contents.minX : contents.minY;
            const float rounded = std::floor((raw[i] - origin) / unit + 0.5f);
            if (!(rounded >= 0 && rounded <= kGridSquares)) {
                return Result::Fail(FileProblem::OutOfGrid, record.line);
            }
            v[i] = int(rounded);
        }
        const int x1 = v[0], y1 = v[1], x2 = v[2], y2 = v[3], x3 = v[4], y3 = v[5];

        // Which square and half the corners belong to; this undoes CellTriangle.
        CellPlace cell;
        if (x1 == x2 && x1 <= x3) {
            cell = {x1, y1, false, 1};
        } else if (x1 == x2) {
            cell = {x3, y2, false, 2};
        } else if (x1 < x2) {
            cell = {x3, y3, true, 2};
        } else {
            cell = {x2, y2, true, 1};
        }
        if (cell.x < 0 || cell.x >= kGridSquares || cell.y < 0 || cell.y >= kGridSquares) {
            return Result::Fail(FileProblem::OutOfGrid, record.line);
        }

        SquareUse square;
        square.falling = grid.Falling(cell.x, cell.y);
        square.taken[0] = grid.Placed(cell.x, cell.y, 1);
        square.taken[1] = grid.Placed(cell.x, cell.y, 2);
        if (Overlaps(square, cell)) return Result::Fail(FileProblem::DuplicateCell, record.line);

        grid.Diagonal(cell.x, cell.y) = cell.falling ? -1 : 0;
        grid.Cell(cell.x, cell.y, cell.half) = -1;
        grid.placedCount += 1;
    }
    return Result::Ok(std::move(contents));
}

ReadResult<ShapeFileContents> ReadShapeFileIntoGrid(const std::filesystem::path& path) {
    ReadResult<std::string> bytes = ReadFileBytes(path);
    if (!bytes.ok()) return ReadResult<ShapeFileContents>::Fail(bytes.problem);
    return ParseShapeFileIntoGrid(*bytes.value);
}

}  // namespace murlen
