// frmRecord, the player's record: for every figure solved the games, the best,
// the median and the last time, and for the figure chosen in that list a chart
// of its solve times over the dates, games solved with help marked apart. The
// record exports as CSV. It shows what it was given when it was opened; the
// game window opens it afresh each time.
#pragma once

#include <QDialog>
#include <QPointF>
#include <string>
#include <vector>

#include "files/record.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace murlen {

class Desktop;

// The solve times of one figure over the dates, drawn with QPainter at the
// screen's own pixel density.
class RecordChart : public QWidget {
    Q_OBJECT
public:
    explicit RecordChart(QWidget* parent = nullptr);
    void SetGames(std::vector<SolvedGame> games);
    // Where each game is drawn, in the chart's own pixels, in the order given.
    std::vector<QPointF> Points() const;
    QSize sizeHint() const override { return {480, 220}; }

    static constexpr QRgb kUnaided = qRgb(30, 80, 200);
    static constexpr QRgb kHelped = qRgb(230, 120, 0);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What the axes enclose; the games are drawn in its data area, clear of
    // the axes but for the time 0.
    QRectF Plot() const;
    QRectF DataArea() const { return Plot().adjusted(kClearance, kClearance, -kClearance, 0); }
    std::int32_t MostSeconds() const;
    static constexpr int kClearance = 10;
    std::vector<SolvedGame> games_;
    std::vector<qint64> times_;  // of each game, seconds since the epoch
};

class FrmRecord : public QDialog {
    Q_OBJECT
public:
    // The record and the best times kept before it; `figures` gives the order
    // of the figure menu, and `current` the figure chosen first.
    FrmRecord(Desktop& desktop, Record record, BestTimes earlier, const std::vector<std::string>& figures,
              const std::string& current, QWidget* parent = nullptr);

    // --- Controls -----------------------------------------------------------
    QTableWidget* gridFigures = nullptr;
    RecordChart* chartTimes = nullptr;
    QLabel* labelEmpty = nullptr;
    QPushButton* cmdExport = nullptr;

    // The figures listed, in the order of the list.
    const std::vector<std::string>& Figures() const { return figures_; }

    // --- Event handlers -----------------------------------------------------
    void gridFigures_CurrentChanged(int row);
    void cmdExport_Click();

private:
    Desktop& desktop_;
    Record record_;
    std::vector<std::string> figures_;
};

}  // namespace murlen
