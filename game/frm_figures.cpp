#include "game/frm_figures.h"

#include <QApplication>
#include <QIconEngine>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>
#include <chrono>

#include "app/controls.h"
#include "app/image_canvas.h"
#include "app/strings.h"
#include "model/difficulty.h"
#include "model/solver.h"

namespace murlen {

namespace {

constexpr QSize kPicture(120, 90);  // logical pixels
constexpr Rgb kCellLine = MakeRgb(60, 70, 90);
constexpr Rgb kNeverSolved = MakeRgb(255, 244, 214);

// How hard a figure is, or that it cannot be solved; nothing when the solver
// could not tell within its time.
std::optional<Rating> RateFigure(const CellArray<Triangle>& points, const std::atomic<bool>& cancel) {
    SolverOptions options;
    options.cancel = &cancel;
    options.timeLimit = std::chrono::seconds(2);
    const SolveResult solved = SolveFigure(points, options);
    if (solved.verdict == SolveVerdict::Unsolvable) return Rating::Unsolvable;
    if (solved.verdict != SolveVerdict::Solved) return std::nullopt;
    return Rating(RateDifficulty(points).level);
}

// A figure's picture, drawn when the view first shows it: a chooser of
// hundreds of figures draws only those in sight, and the window shows at once.
class FigureIconEngine final : public QIconEngine {
public:
    explicit FigureIconEngine(const FigureData& figure) : figure_(figure) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->drawPixmap(rect, Picture(rect.size(), painter->device()->devicePixelRatioF(), mode));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override { return Picture(size, 1, mode); }
    QIconEngine* clone() const override { return new FigureIconEngine(*this); }

private:
    QPixmap Picture(QSize size, qreal ratio, QIcon::Mode mode) {
        if (picture_.deviceIndependentSize().toSize() != size || picture_.devicePixelRatio() != ratio)
            picture_ = FigurePicture(figure_, size, ratio);
        if (mode == QIcon::Normal) return picture_;
        // Selected or disabled as the style shows any other picture.
        QStyleOption option;
        option.palette = QApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, picture_, &option);
    }

    FigureData figure_;
    QPixmap picture_;
};

}  // namespace

QPixmap FigurePicture(const FigureData& figure, QSize size, qreal ratio) {
    ImageCanvas canvas(size, FromQColor(QColor(Qt::white)), ratio);
    // The figure's box with a margin of half a square, widened or heightened
    // to the picture's proportions, the figure in its middle.
    float left = figure.minX - 0.5f, top = figure.minY - 0.5f;
    float width = figure.maxX - figure.minX + 1, height = figure.maxY - figure.minY + 1;
    const float aspect = float(size.width()) / float(size.height());
    if (width / height < aspect) {
        left -= (height * aspect - width) / 2;
        width = height * aspect;
    } else {
        top -= (width / aspect - height) / 2;
        height = width / aspect;
    }
    canvas.SetScale(left, top, width, height);
    canvas.Cls();
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const Triangle& t = figure.points[cell];
        canvas.FillTriangle(t.p1, t.p2, t.p3, FrmFigures::kCellFill);
    }
    canvas.SetForeColor(kCellLine);
    DrawCellOutlines(canvas, figure.points);
    return QPixmap::fromImage(canvas.Image());
}

FrmFigures::FrmFigures(std::vector<FigureChoice> figures, int current, const std::filesystem::path& ratings,
                       QWidget* parent)
    : QDialog(parent), figures_(std::move(figures)), ratings_(figures_.size()), rated_(figures_.size()), cache_(ratings) {
    setWindowTitle(LoadResString(281));
    listFigures = new QListWidget(this);
    listFigures->setObjectName(QStringLiteral("listFigures"));
    listFigures->setViewMode(QListView::IconMode);
    listFigures->setResizeMode(QListView::Adjust);
    listFigures->setMovement(QListView::Static);
    listFigures->setWrapping(true);
    listFigures->setUniformItemSizes(true);
    listFigures->setWordWrap(true);
    listFigures->setIconSize(kPicture);
    listFigures->setGridSize(QSize(kPicture.width() + 60, kPicture.height() + 5 * fontMetrics().height() + 12));
    listFigures->setSpacing(4);

    for (std::size_t i = 0; i < figures_.size(); ++i) {
        const FigureChoice& choice = figures_[i];
        auto* item = new QListWidgetItem(listFigures);
        if (choice.figure) {
            item->setIcon(QIcon(new FigureIconEngine(*choice.figure)));
            ratings_[i] = cache_.Find(ShapeKey(choice.figure->points));
            rated_[i] = ratings_[i].has_value();
        } else {
            rated_[i] = true;  // nothing to rate
        }
        if (choice.record.solved == 0) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
            item->setBackground(ToQColor(kNeverSolved));
        }
        item->setText(Caption(int(i)));
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        // The whole cell of the grid, whatever the caption holds now: a
        // caption measured before its rating came would be cut off later.
        item->setSizeHint(listFigures->gridSize() - QSize(8, 8));
    }
    listFigures->setCurrentRow(std::clamp(current, 0, std::max(0, int(figures_.size()) - 1)));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listFigures);
    connect(listFigures, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { listFigures_Activated(listFigures->row(item)); });
    connect(listFigures, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { listFigures_Activated(listFigures->row(item)); });

    // Room for five pictures across and three rows, where the screen has it.
    const QSize grid = listFigures->gridSize();
    FitOnScreen(this, QSize(5 * (grid.width() + 8) + 40, 3 * (grid.height() + 8) + 40));
    RateNext();
}

QString FrmFigures::Caption(int index) const {
    const FigureChoice& choice = figures_[std::size_t(index)];
    QString caption = choice.name + QLatin1Char('\n');
    if (const std::optional<Rating> rating = ratings_[std::size_t(index)])
        caption += *rating == Rating::Unsolvable ? LoadResString(285) : LoadResString(242 + int(*rating));
    else if (!rated_[std::size_t(index)])
        caption += QStringLiteral("…");
    caption += QLatin1Char('\n');
    if (choice.record.solved == 0) return caption + LoadResString(282);
    caption += LoadResString(283) + QString::number(choice.record.solved);
    if (choice.record.best)
        caption += QLatin1Char('\n') + LoadResString(284) + QString::number(*choice.record.best) + LoadResString(146);
    return caption;
}

void FrmFigures::RateNext() {
    const auto next = std::find(rated_.begin(), rated_.end(), false);
    if (next == rated_.end()) return;
    const int index = int(next - rated_.begin());
    *next = true;
    const CellArray<Triangle> points = figures_[std::size_t(index)].figure->points;
    rater_.Run([points](const std::atomic<bool>& cancel) { return RateFigure(points, cancel); },
               [this, index, points](const std::optional<Rating>& rating) {
                   ratings_[std::size_t(index)] = rating;
                   if (rating) cache_.Keep(ShapeKey(points), *rating);
                   listFigures->item(index)->setText(Caption(index));
                   RateNext();
               });
}

void FrmFigures::listFigures_Activated(int index) {
    if (index < 0 || chosen_ >= 0) return;
    chosen_ = index;
    accept();
}

}  // namespace murlen
