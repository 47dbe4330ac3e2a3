#include "generator/frm_shape.h"

#include <QCloseEvent>

#include <QEventLoop>
#include <QHideEvent>
#include <QMenuBar>
#include <QPointer>
#include <cmath>
#include <random>

#include "app/paths.h"
#include "app/strings.h"
#include "app/twips.h"
#include "generator/shape_editing.h"

namespace murlen {
namespace {

constexpr int kClientWidth = 6360;   // twips
constexpr int kClientHeight = 5145;  // twips

QFont StatusFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font.setPointSize(12);
    return font;
}

}  // namespace

FrmShape::FrmShape(Desktop& desktop, QWidget* parent)
    : QMainWindow(parent, Qt::Tool), desktop_(desktop), randomSeed_(std::random_device()()) {
    // Closing with the close box unloads the window: the next showing starts
    // afresh. Return only hides it, so its grid waits for the next visit.
    setAttribute(Qt::WA_DeleteOnClose);
    BuildDesign();
    Form_Load();
    // The menu bar's height is known once its captions are in place.
    client->setMinimumSize(0, 0);
    FitOnScreen(this, QSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight) + menuBar()->sizeHint().height()));
    ConnectHandlers();
}

// The window as designed. The load step puts the menu texts of the user's
// language in place; the layout places the grid and the label.
void FrmShape::BuildDesign() {
    setWindowTitle(LoadResString(155));

    client = new FormSurface(this);
    setCentralWidget(client);

    // A picture box keeps the default colours: the 3-D face colour behind,
    // the button text colour in front.
    UniPic = new PictureBox(client);
    UniPic->setObjectName(QStringLiteral("UniPic"));

    labelPcs = new Label(client);
    labelPcs->setObjectName(QStringLiteral("labelPcs"));
    labelPcs->setFont(StatusFont());
    QPalette red = labelPcs->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    labelPcs->setPalette(red);
    SetTwipsGeometry(labelPcs, 0, 0, 2292, 372);

    labelSolvable = new Label(client);
    labelSolvable->setObjectName(QStringLiteral("labelSolvable"));
    labelSolvable->setWordWrap(true);
    labelSolvable->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    SetTwipsGeometry(labelSolvable, 2292, 0, 3600, 372);
    // On the verdict's own place, aligned to the other end; the verdict's tool
    // tip stays within reach under it.
    labelDifficulty = new Label(client);
    labelDifficulty->setObjectName(QStringLiteral("labelDifficulty"));
    labelDifficulty->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    labelDifficulty->setAttribute(Qt::WA_TransparentForMouseEvents);
    SolvableCheck = new BackgroundSolver(this);
    DifficultyCheck = new BackgroundWork(this);

    mnuFile = menuBar()->addMenu(QString());
    mnuOpen = mnuFile->addAction(QString());
    mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuRandom = mnuFile->addAction(QString());
    mnuRandom->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuSave = mnuFile->addAction(QString());
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSaveAs = mnuFile->addAction(QString());
    mnuSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction(QString());
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    mnuXShape = menuBar()->addMenu(QString());
    mnuGrid = mnuXShape->addAction(QString());
    mnuGrid->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    mnuXShape->addSeparator();
    mnuLeft = mnuXShape->addAction(QString());
    mnuLeft->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuRight = mnuXShape->addAction(QString());
    mnuRight->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuUp = mnuXShape->addAction(QString());
    mnuUp->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    mnuDown = mnuXShape->addAction(QString());
    mnuDown->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));

    mnuHelp = menuBar()->addAction(QString());
}

void FrmShape::Form_Load() {
    // 1. Menu captions.
    mnuFile->setTitle(LoadResString(105));
    mnuXShape->setTitle(LoadResString(106));
    mnuHelp->setText(LoadResString(107));
    mnuOpen->setText(LoadResString(109));
    mnuRandom->setText(LoadResString(240));
    mnuSave->setText(LoadResString(110));
    mnuSaveAs->setText(LoadResString(111));
    mnuExit->setText(LoadResString(147));
    mnuGrid->setText(LoadResString(162));
    mnuLeft->setText(LoadResString(163));
    mnuRight->setText(LoadResString(164));
    mnuUp->setText(LoadResString(165));
    mnuDown->setText(LoadResString(166));

    // 2. No file name yet.
    mnuSave->setEnabled(false);

    // 3 to 5. An empty 12 x 12 grid with rising diagonals.
    GridSize = 12;
    for (int X = 0; X < kGridSquares; ++X)
        for (int Y = 0; Y < kGridSquares; ++Y) {
            Grid.Cell(X, Y, 1) = 0;
            Grid.Cell(X, Y, 2) = 0;
            Grid.Diagonal(X, Y) = 0;
        }
    Grid.placedCount = 0;
}

void FrmShape::ConnectHandlers() {
    connect(client, &FormSurface::resized, this, &FrmShape::Form_Resize);
    connect(UniPic, &PictureBox::mouseDown, this, [this](int button, int, float, float) { UniPic_MouseDown(button); });
    connect(UniPic, &PictureBox::mouseMoved, this, [this](int, int, float x, float y) { UniPic_MouseMove(x, y); });
    connect(UniPic, &PictureBox::clicked, this, &FrmShape::UniPic_Click);
    connect(mnuOpen, &QAction::triggered, this, &FrmShape::mnuOpen_Click);
    connect(mnuRandom, &QAction::triggered, this, &FrmShape::mnuRandom_Click);
    connect(mnuSave, &QAction::triggered, this, &FrmShape::mnuSave_Click);
    connect(mnuSaveAs, &QAction::triggered, this, &FrmShape::mnuSaveAs_Click);
    connect(mnuExit, &QAction::triggered, this, &FrmShape::mnuExit_Click);
    connect(mnuGrid, &QAction::triggered, this, &FrmShape::mnuGrid_Click);
    connect(mnuLeft, &QAction::triggered, this, &FrmShape::mnuLeft_Click);
    connect(mnuRight, &QAction::triggered, this, &FrmShape::mnuRight_Click);
    connect(mnuUp, &QAction::triggered, this, &FrmShape::mnuUp_Click);
    connect(mnuDown, &QAction::triggered, this, &FrmShape::mnuDown_Click);
    connect(mnuHelp, &QAction::triggered, this, &FrmShape::mnuHelp_Click);
    connect(SolvableCheck, &BackgroundSolver::finished, this, &FrmShape::SolvableCheck_Finished);
}

void FrmShape::ShowModal() {
    // The loop is local: after a close the window is gone when exec returns,
    // and nothing here may touch it any more.
    QEventLoop loop;
    connect(this, &FrmShape::hidden, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    // Modal to the game window alone: the help window stays in reach.
    setWindowModality(Qt::WindowModal);
    show();
    raise();
    activateWindow();
    loop.exec();
}

void FrmShape::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    // A hide by the window system (the game window minimised with it) is no
    // return to the game.
    if (!event->spontaneous()) emit hidden();
}

void FrmShape::closeEvent(QCloseEvent* event) {
    unloaded_ = true;
    QMainWindow::closeEvent(event);
}

void FrmShape::Form_Resize() { RedrawGrid(); }

void FrmShape::RedrawGrid() {
    const double innerHeight = TwipsHeight(client);
    const double W = TwipsWidth(client);
    const double H = innerHeight - TwipsHeight(labelPcs);
    const double S = H > W ? W : H;

    UniPic->Cls();
    // A window too small for a grid keeps the layout it had.
    const bool fits = W > 0 && H > 0;
    if (fits) SetTwipsGeometry(UniPic, 0.05 * S, 0.05 * S, 0.9 * S, 0.9 * S);
    UniPic->SetScale(GridSize, GridSize);
    if (fits) MoveTwips(labelPcs, 0.05 * S, innerHeight - TwipsHeight(labelPcs));
    // The verdict takes the rest of the bottom edge and the room up to the
    // grid, where a long reason wraps.
    const int verdictLeft = TwipsLeft(labelPcs) + TwipsWidth(labelPcs);
    const int verdictTop = TwipsTop(UniPic) + TwipsHeight(UniPic);
    if (fits) SetTwipsGeometry(labelSolvable, verdictLeft, verdictTop, W - verdictLeft, innerHeight - verdictTop);
    // The difficulty ends as far from the right edge as the count starts from the left.
    if (fits) SetTwipsGeometry(labelDifficulty, verdictLeft, verdictTop, W - 0.05 * S - verdictLeft, innerHeight - verdictTop);
    CheckSolvable();

    // Pending events run once per square, so other handlers may run here: a
    // nested redraw, a new grid size, even closing the window.
    const QPointer<FrmShape> alive(this);
    // The number of columns is taken once, the number of rows anew for every
    // column.
    const int columns = GridSize;
    for (int X = 0; X < columns; ++X) {
        const int rows = GridSize;
        for (int Y = 0; Y < rows; ++Y) {
            desktop_.DoEvents();
            if (!alive) return;
            DrawCell(X, Y, 1);
            DrawCell(X, Y, 2);
        }
    }
}

void FrmShape::DrawCell(int X, int Y, int Half) { DrawShapeCell(*UniPic, Grid, X, Y, Half); }

void FrmShape::UniPic_MouseDown(int button) { MouseButton = std::int16_t(button); }

void FrmShape::UniPic_MouseMove(float x, float y) {
    MouseX = x;
    MouseY = y;
}

void FrmShape::UniPic_Click() {
    // A remembered position off the 26 x 26 grid names no square.
    if (!(MouseX >= 0 && MouseX < kGridSquares && MouseY >= 0 && MouseY < kGridSquares)) return;
    const int X = int(std::floor(MouseX));
    const int Y = int(std::floor(MouseY));

    if (MouseButton == 1) {
        // Place or remove the triangle under the pointer.
        const int half = HalfUnderPointer(Grid, X, Y, MouseX, MouseY);
        std::int16_t& cell = Grid.Cell(X, Y, half);
        cell = std::int16_t(~cell);
        Grid.placedCount += cell != 0 ? 1 : -1;
        ShowPlacedCount();
        DrawCell(X, Y, half);
    } else if (MouseButton == 2) {
        // Turn the diagonal; both halves keep their state. First the old
        // triangles are painted over as empty ones.
        for (int half = 1; half <= 2; ++half) {
            const std::int16_t kept = Grid.Cell(X, Y, half);
            Grid.Cell(X, Y, half) = 0;
            DrawCell(X, Y, half);
            Grid.Cell(X, Y, half) = kept;
        }
        const Point topLeft{float(X), float(Y)}, topRight{float(X + 1), float(Y)};
        const Point bottomLeft{float(X), float(Y + 1)}, bottomRight{float(X + 1), float(Y + 1)};
        if (Grid.Falling(X, Y)) {
            UniPic->Line(topLeft, bottomRight, UniPic->BackColor());
            UniPic->Line(bottomLeft, topRight, UniPic->ForeColor());
        } else {
            UniPic->Line(bottomLeft, topRight, UniPic->BackColor());
            UniPic->Line(topLeft, bottomRight, UniPic->ForeColor());
        }
        Grid.Diagonal(X, Y) = std::int16_t(~Grid.Diagonal(X, Y));
        DrawCell(X, Y, 1);
        DrawCell(X, Y, 2);
    }
    CheckSolvable();
}

void FrmShape::mnuGrid_Click() {
    // Asked again until the answer is a size or empty.
    for (;;) {
        const QString answer = desktop_.InputBox(LoadResString(148), QString());
        if (answer.isEmpty()) return;
        const GridSizeAnswer size = ReadGridSize(answer);
        switch (size.verdict) {
        case GridSizeVerdict::NotANaturalNumber:
            desktop_.MsgBox(LoadResString(149), msgbox::kCritical, QString());
            break;
        case GridSizeVerdict::OutOfRange:
            desktop_.MsgBox(LoadResString(150), msgbox::kCritical, QString());
            break;
        case GridSizeVerdict::Accepted:
            GridSize = std::int16_t(size.size);
            RedrawGrid();
            return;
        }
    }
}

void FrmShape::ShiftShape(int direction) {
    if (!CanShift(Grid, direction)) {
        desktop_.MsgBox(LoadResString(151), msgbox::kCritical, QString());
        return;
    }
    ShiftGrid(Grid, direction);
    RedrawGrid();
}

void FrmShape::mnuLeft_Click() { ShiftShape(kShiftLeft); }
void FrmShape::mnuUp_Click() { ShiftShape(kShiftUp); }
void FrmShape::mnuRight_Click() { ShiftShape(kShiftRight); }
void FrmShape::mnuDown_Click() { ShiftShape(kShiftDown); }

void FrmShape::mnuHelp_Click() { desktop_.ShowHelp(HelpFileOf(desktop_), kHelpContents); }

void FrmShape::ShowPlacedCount() { labelPcs->setText(LoadResString(156) + QString::number(Grid.placedCount)); }

void FrmShape::SetCaption() {
    if (ShapeFileTitle.isEmpty())
        setWindowTitle(LoadResString(155));
    else
        setWindowTitle(LoadResString(155) + QStringLiteral(" [") + ShapeFileTitle + QStringLiteral("]"));
}

}  // namespace murlen
