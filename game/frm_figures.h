// frmFigures, the figure chooser: every figure of the figure menu as a small
// picture of its shape, with its name, how hard it is, how often it was solved
// and its best time; figures never solved stand out. A click or Enter chooses
// a figure, the arrow keys move between them. How hard a figure is comes from
// the cache of ratings at once, or is worked out in the background, one figure
// after the other, while the chooser is open.
#pragma once

#include <QDialog>
#include <QString>
#include <optional>
#include <vector>

#include "app/background_work.h"
#include "files/difficulty_cache.h"
#include "files/record.h"
#include "model/geometry.h"

class QListWidget;

namespace murlen {

struct FigureChoice {
    QString name;
    std::optional<FigureData> figure;  // nothing when its shape file cannot be read
    FigureRecord record;
};

class FrmFigures : public QDialog {
    Q_OBJECT
public:
    // The figures in the order of the figure menu; `current` is the one in
    // play. The ratings are kept in `ratings`.
    FrmFigures(std::vector<FigureChoice> figures, int current, const std::filesystem::path& ratings,
               QWidget* parent = nullptr);

    static constexpr Rgb kCellFill = MakeRgb(214, 226, 240);  // a picture's cells

    // --- Controls -----------------------------------------------------------
    QListWidget* listFigures = nullptr;

    // The figure chosen, or -1.
    int Chosen() const { return chosen_; }
    // True while a figure waits for its rating.
    bool RatingBusy() const { return rater_.Busy(); }

    // --- Event handlers -----------------------------------------------------
    void listFigures_Activated(int index);

private:
    QString Caption(int index) const;
    // Rates the next figure that has no rating yet.
    void RateNext();

    std::vector<FigureChoice> figures_;
    std::vector<std::optional<Rating>> ratings_;
    std::vector<bool> rated_;  // asked for, with or without an answer
    DifficultyCache cache_;
    BackgroundWork rater_;
    int chosen_ = -1;
};

// The picture of a figure's shape in a box of `size` logical pixels at the
// device pixel ratio `ratio`.
QPixmap FigurePicture(const FigureData& figure, QSize size, qreal ratio);

}  // namespace murlen
