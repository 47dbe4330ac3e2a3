#include "game/frm_record.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/controls.h"
#include "app/desktop.h"
#include "app/file_messages.h"
#include "app/paths.h"
#include "app/strings.h"
#include "files/file_bytes.h"

namespace murlen {

namespace {

QDateTime When(const SolvedGame& game) {
    return QDateTime::fromString(QString::fromStdString(game.when), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString SecondsText(const std::optional<std::int32_t>& seconds) {
    return seconds ? QString::number(*seconds) : QStringLiteral("–");
}

}  // namespace

RecordChart::RecordChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartTimes"));
    setMinimumSize(240, 140);
}

void RecordChart::SetGames(std::vector<SolvedGame> games) {
    std::stable_sort(games.begin(), games.end(), [](const SolvedGame& a, const SolvedGame& b) { return a.when < b.when; });
    games_ = std::move(games);
    times_.clear();
    for (const SolvedGame& game : games_) times_.push_back(When(game).toSecsSinceEpoch());
    update();
}

QRectF RecordChart::Plot() const {
    const int text = fontMetrics().height();
    return QRectF(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 8, text * 2, 0, 0)
        .adjusted(0, 0, width() - fontMetrics().horizontalAdvance(QStringLiteral("00000")) - 24, height() - text * 4);
}

std::int32_t RecordChart::MostSeconds() const {
    std::int32_t most = 1;
    for (const SolvedGame& game : games_) most = std::max(most, game.seconds);
    return most;
}

std::vector<QPointF> RecordChart::Points() const {
    std::vector<QPointF> points;
    if (games_.empty()) return points;
    const QRectF plot = DataArea();
    const std::int32_t most = MostSeconds();
    const qint64 first = times_.front(), span = std::max<qint64>(1, times_.back() - first);
    for (std::size_t i = 0; i < games_.size(); ++i) {
        // A single game, or games of one moment, stand in the middle.
        const double along = times_.back() == first ? 0.5 : double(times_[i] - first) / double(span);
        points.emplace_back(plot.left() + along * plot.width(), plot.bottom() - plot.height() * games_[i].seconds / most);
    }
    return points;
}

void RecordChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plot = Plot();
    const QColor axes = palette().color(QPalette::WindowText);
    painter.setPen(axes);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    if (games_.empty()) return;

    // The seconds up the left (the most at the height of the slowest game),
    // the first and the last date along the bottom.
    const QRectF data = DataArea();
    const QRectF left(0, 0, plot.left() - 6, fontMetrics().height());
    painter.drawText(left.translated(0, data.top() - left.height() / 2), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(MostSeconds()));
    painter.drawText(left.translated(0, plot.bottom() - left.height() / 2), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));
    const QLocale locale;
    const QRectF below(plot.left(), plot.bottom() + 4, plot.width(), fontMetrics().height());
    painter.drawText(below, Qt::AlignLeft, locale.toString(When(games_.front()).date(), QLocale::ShortFormat));
    if (games_.size() > 1)
        painter.drawText(below, Qt::AlignRight, locale.toString(When(games_.back()).date(), QLocale::ShortFormat));

    // The games without help joined by a line, those with help marked apart.
    const std::vector<QPointF> points = Points();
    QPolygonF unaided;
    for (std::size_t i = 0; i < games_.size(); ++i)
        if (games_[i].help == Help::None) unaided << points[i];
    painter.setPen(QPen(QColor(kUnaided), 1.5));
    painter.drawPolyline(unaided);
    painter.setBrush(QColor(kUnaided));
    for (const QPointF& point : unaided) painter.drawEllipse(point, 4, 4);
    painter.setPen(QPen(QColor(kHelped), 2));
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < games_.size(); ++i)
        if (games_[i].help != Help::None) painter.drawRect(QRectF(points[i] - QPointF(4, 4), QSizeF(8, 8)));

    // The key, above the plot.
    const int key = fontMetrics().height();
    painter.setBrush(QColor(kUnaided));
    painter.setPen(QColor(kUnaided));
    painter.drawEllipse(QPointF(plot.left() + 4, key / 2.0 + 2), 4, 4);
    painter.setPen(axes);
    const QString without = LoadResString(272), with = LoadResString(271);
    painter.drawText(QPointF(plot.left() + 12, key), without);
    const double second = plot.left() + 28 + fontMetrics().horizontalAdvance(without);
    painter.setPen(QPen(QColor(kHelped), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(second, key / 2.0 - 2, 8, 8));
    painter.setPen(axes);
    painter.drawText(QPointF(second + 12, key), with);
}

FrmRecord::FrmRecord(Desktop& desktop, Record record, BestTimes earlier, const std::vector<std::string>& figures,
                     const std::string& current, QWidget* parent)
    : QDialog(parent), desktop_(desktop), record_(std::move(record)) {
    setWindowTitle(LoadResString(262));
    // The figures of the menu first, in its order, then any others the
    // record or the best times know.
    const std::map<std::string, FigureRecord> records = RecordsByFigure(record_, earlier);
    std::set<std::string> known;
    for (const auto& [figure, of] : records) known.insert(figure);
    for (const std::string& figure : figures)
        if (known.erase(figure)) figures_.push_back(figure);
    figures_.insert(figures_.end(), known.begin(), known.end());

    gridFigures = new QTableWidget(int(figures_.size()), 5, this);
    gridFigures->setObjectName(QStringLiteral("gridFigures"));
    gridFigures->setHorizontalHeaderLabels(
        {LoadResString(263), LoadResString(264), LoadResString(265), LoadResString(266), LoadResString(267)});
    gridFigures->verticalHeader()->hide();
    gridFigures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridFigures->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridFigures->setSelectionMode(QAbstractItemView::SingleSelection);
    gridFigures->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int row = 0; row < int(figures_.size()); ++row) {
        const FigureRecord& of = records.at(figures_[std::size_t(row)]);
        QString last = QStringLiteral("–");
        if (of.last)
            last = QString::number(of.last->seconds) + LoadResString(226) +
                   QLocale().toString(When(*of.last).date(), QLocale::ShortFormat);
        const QStringList cells{QString::fromStdString(figures_[std::size_t(row)]), QString::number(of.solved),
                                SecondsText(of.best), SecondsText(of.median), last};
        for (int column = 0; column < cells.size(); ++column)
            gridFigures->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    gridFigures->resizeColumnsToContents();

    chartTimes = new RecordChart(this);
    labelEmpty = new QLabel(LoadResString(268), this);
    labelEmpty->setVisible(figures_.empty());
    cmdExport = new QPushButton(LoadResString(269), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdExport->setEnabled(!record_.games.empty());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(cmdExport, QDialogButtonBox::ActionRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labelEmpty);
    layout->addWidget(gridFigures, 1);
    layout->addWidget(chartTimes, 1);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cmdExport, &QPushButton::clicked, this, &FrmRecord::cmdExport_Click);
    connect(gridFigures, &QTableWidget::currentCellChanged, this,
            [this](int row) { gridFigures_CurrentChanged(row); });
    const auto chosen = std::find(figures_.begin(), figures_.end(), current);
    gridFigures->setCurrentCell(chosen == figures_.end() ? 0 : int(chosen - figures_.begin()), 0);
    gridFigures_CurrentChanged(gridFigures->currentRow());
    FitOnScreen(this, QSize(560, 520));
}

void FrmRecord::gridFigures_CurrentChanged(int row) {
    std::vector<SolvedGame> games;
    if (row >= 0 && row < int(figures_.size()))
        for (const SolvedGame& game : record_.games)
            if (game.figure == figures_[std::size_t(row)]) games.push_back(game);
    chartTimes->SetGames(std::move(games));
}

void FrmRecord::cmdExport_Click() {
    FileDialogSetup setup;
    setup.flags = 4;
    setup.filter = LoadResString(273) + QStringLiteral(" (*.csv)|*.csv");
    setup.initDir = ToQString(PlacesOf(desktop_).DialogFolder());
    const std::optional<FileChoice> choice = desktop_.ShowSave(setup);
    if (!choice || !MayOverwrite(desktop_, *choice)) return;
    if (WriteFileSafely(ToFilePath(choice->fileName), RecordCsv(record_)) != FileProblem::None)
        desktop_.MsgBox(WriteProblemMessage(choice->fileTitle), msgbox::kCritical, QString());
}

}  // namespace murlen
