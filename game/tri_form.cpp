#include "game/tri_form.h"

#include <QDir>
#include <QFileInfo>
#include <QCloseEvent>
#include <QDate>
#include <QLocale>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QWindowStateChangeEvent>
#include <cmath>

#include "about/frm_about.h"
#include "app/file_messages.h"
#include "app/paths.h"
#include "app/icons.h"
#include "app/strings.h"
#include "app/twips.h"
#include "files/program_folder.h"
#include "files/shape_file.h"
#include "model/piece.h"
#include "print/certificate.h"

namespace murlen {
namespace {

constexpr int kClientWidth = 9885;   // twips
constexpr int kClientHeight = 9840;  // twips
const QString kPieceTag = QStringLiteral("KYP_Triangle");
const QString kBoardTag = QStringLiteral("KYP_Figure");

QFont StatusFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font.setPointSize(12);
    return font;
}

// A layout value below the minimum (or not a number) becomes the minimum.
float AtLeast10(float value) { return (std::isnan(value) || value <= 10) ? 10.0f : value; }

}  // namespace

TriForm::TriForm(Desktop& desktop, QWidget* parent)
    : QMainWindow(parent),
      desktop_(desktop),
      game_(GameKeeping{ToFilePath(desktop.StateFolder()),
                        {ToFilePath(desktop.DataFolder() + QStringLiteral("/game in progress"))},
                        ToFilePath(desktop.DataFolder() + QStringLiteral("/best times.txt")),
                        ToFilePath(desktop.DataFolder() + QStringLiteral("/solved games.txt"))}) {
    BuildDesign();
    Form_Load();
    ConnectHandlers();
    RestorePlace();
}

// The window as designed: controls, menus and their design properties. The
// load step then puts the texts of the user's language in place.
void TriForm::BuildDesign() {
    setWindowTitle(QStringLiteral("Figure: none"));
    setWindowIcon(LoadResPicture(kIconApplication));

    client = new FormSurface(this);
    setCentralWidget(client);

    FigurePic = new PictureBox(client);
    FigurePic->setObjectName(QStringLiteral("FigurePic"));
    FigurePic->SetAutomaticDrag(true);
    FigurePic->SetMouseButtons(Qt::LeftButton);
    FigurePic->SetDataField(kBoardTag);
    FigurePic->SetForeColor(kBlack);
    FigurePic->SetScale(kBoardScaleWidth, kBoardScaleHeight);
    SetTwipsGeometry(FigurePic, 120, 2520, 9000, 6720);

    for (int i = 1; i <= kPieceCount; ++i) {
        auto* piece = new PictureBox(client, i);
        piece->setObjectName(QStringLiteral("TriPool%1").arg(i));
        piece->SetAutomaticDrag(true);
        piece->SetMouseButtons(Qt::LeftButton);
        const int designColumn = (i - 1) % 16;
        const int designRow = (i - 1) / 16;
        SetTwipsGeometry(piece, 120 + 600 * designColumn, 120 + 600 * designRow, 480, 480);
        triPool_[std::size_t(i)] = piece;
    }

    poolMarker_ = new Marker(client);
    boardMarker_ = new Marker(FigurePic);
    pickedMarker_ = new Marker(FigurePic);
    for (Marker* marker : {poolMarker_, boardMarker_, pickedMarker_}) marker->hide();

    labelScore = new Label(client);
    labelScore->setObjectName(QStringLiteral("labelScore"));
    labelScore->setFont(StatusFont());
    QPalette red = labelScore->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    labelScore->setPalette(red);
    SetTwipsGeometry(labelScore, 120, 9360, 3612, 372);

    Timer1 = new Timer(this);
    Timer1->SetInterval(0);
    Timer1->SetEnabled(true);

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuPrint = mnuFile->addAction(QStringLiteral("&Print..."));
    mnuPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFile->addSeparator();
    mnuopen = mnuFile->addAction(QStringLiteral("&Open"));
    mnuopen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSave = mnuFile->addAction(QStringLiteral("&Save"));
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSave->setEnabled(false);
    mnuSaveAs = mnuFile->addAction(QStringLiteral("save&As"));
    mnuSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction(QStringLiteral("e&Xit"));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    mnuXShape = menuBar()->addMenu(QStringLiteral("&Game"));
    mnuPause = mnuXShape->addAction(QStringLiteral("&Pause"));
    mnuPause->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuPause->setCheckable(true);
    mnuHint = mnuXShape->addAction(QStringLiteral("&Hint"));
    mnuHint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    mnuSolve = mnuXShape->addAction(QStringLiteral("&Solve"));
    mnuUndo = mnuXShape->addAction(QStringLiteral("&Undo"));
    mnuUndo->setShortcuts({QKeySequence(Qt::Key_U), QKeySequence(Qt::Key_Backspace)});
    mnuUndo->setEnabled(false);
    mnuRedo = mnuXShape->addAction(QStringLiteral("&Redo"));
    mnuRedo->setShortcuts({QKeySequence(Qt::Key_R), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    mnuRedo->setEnabled(false);
    mnuXShape->addSeparator();
    mnuNewShape = mnuXShape->addAction(QStringLiteral("Shape generator..."));
    mnuBestTimes = mnuXShape->addAction(QStringLiteral("&Best times..."));
    mnuFigures = mnuXShape->addAction(QStringLiteral("&Figures..."));
    mnuXShape->addSeparator();
    mnuShape = new MenuArray(mnuXShape, QStringLiteral("&Triangle"), true, this);

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuUsage = mnuHelp->addAction(QStringLiteral("&Scores and usage"));
    mnuHelp->addSeparator();
    mnuAbout = mnuHelp->addAction(QStringLiteral("&About..."));

    // The client area at start, near the top-left corner of the screen.
    client->setMinimumSize(0, 0);
    FitOnScreen(this, QSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight) + menuBar()->sizeHint().height()),
                QPoint(40, 40));
}

void TriForm::Form_Load() {
    // 1. Menu captions.
    mnuFile->setTitle(LoadResString(105));
    mnuXShape->setTitle(LoadResString(106));
    mnuHelp->setTitle(LoadResString(107));
    mnuPrint->setText(LoadResString(108));
    mnuopen->setText(LoadResString(109));
    mnuSave->setText(LoadResString(110));
    mnuSaveAs->setText(LoadResString(111));
    mnuExit->setText(LoadResString(112));
    mnuPause->setText(LoadResString(113));
    mnuHint->setText(LoadResString(200));
    mnuSolve->setText(LoadResString(260));
    mnuUndo->setText(LoadResString(219));
    mnuRedo->setText(LoadResString(220));
    mnuBestTimes->setText(LoadResString(221));
    mnuFigures->setText(LoadResString(280));
    mnuUsage->setText(LoadResString(114));
    mnuAbout->setText(LoadResString(115));
    mnuNewShape->setText(LoadResString(161));

    // 2. Caption parts.
    gameLabel_ = LoadResString(116);
    fileLabel_ = LoadResString(117);

    // 3. The score label's tool tip.
    labelScore->setToolTip(LoadResString(119));

    // 4. The pool.
    const Rgb formBackColor = FromQColor(palette().color(QPalette::Window));
    for (int i = 1; i <= kPieceCount; ++i) {
        PictureBox* piece = TriPool(i);
        piece->setToolTip(LoadResString(120));
        piece->SetDataField(kPieceTag);
        piece->SetBackColor(formBackColor);
        piece->SetScale(42, 42);
        piece->setVisible(true);
        piece->SetDragIcon(LoadResPicture(PieceIconId(i)));
    }

    // 5. The figure menu and the first figure.
    StartFigures();

    // 6. The board's drag icon while no piece is under the pointer.
    FigurePic->SetDragIcon(LoadResPicture(kIconFigure));

    // 7, 8. The clock, at 0 from the start of the game.
    Timer1->SetInterval(1000);
}

std::optional<std::vector<std::string>> TriForm::ReadFigureNames() {
    const FilePlaces places = PlacesOf(desktop_);
    const ReadResult<SeenFigureList> list = places.ReadFigureList();
    if (!list.ok()) {
        desktop_.MsgBox(ReadProblemMessage(FileKind::FigureList, QString::fromLatin1(kFigureListName),
                                           list.problem, list.line),
                        msgbox::kCritical, QString());
        return std::nullopt;
    }
    if (list.value->ownProblem != FileProblem::None && !toldOwnFigureList_) {
        toldOwnFigureList_ = true;
        desktop_.MsgBox(ReadProblemMessage(FileKind::FigureList, ToQString(places.UserFigureList().filename()),
                                           list.value->ownProblem, list.value->ownLine),
                        msgbox::kCritical, QString());
    }
    return list.value->names;
}

void TriForm::StartFigures() {
    const std::optional<std::vector<std::string>> names = ReadFigureNames();
    if (!names) return;
    int n = 0;
    for (const std::string& entry : *names) {
        if (n > 0) mnuShape->Load(n);
        (*mnuShape)[n]->setText(QString::fromStdString(entry));
        (*mnuShape)[n]->setChecked(false);
        ++n;
    }
    if (n == 0) {
        (*mnuShape)[0]->setChecked(true);
        desktop_.MsgBox(LoadResString(173), msgbox::kCritical, QString());
        return;
    }
    // The figure played last, where it is still there; else the first.
    const int last = FigureMenuIndex(RememberedFigure());
    const std::optional<FigureData> remembered = last > 0 ? ReadFigure((*mnuShape)[last]->text(), false) : std::nullopt;
    const int index = remembered ? last : 0;
    CheckFigureMenu(index);
    const QString name = (*mnuShape)[index]->text();
    if (const std::optional<FigureData> figure = remembered ? remembered : ReadFigure(name))
        game_.NewFigure(name.toStdString(), *figure);
    SetCaption();
}

void TriForm::SetCaption() {
    if (!game_.HasFigure()) return;
    const QString title = QString::fromStdString(game_.FileTitle());
    if (title.isEmpty())
        setWindowTitle(gameLabel_ + FigureName());
    else
        setWindowTitle(gameLabel_ + FigureName() + QStringLiteral(" [") + fileLabel_ + title + QStringLiteral("]"));
}

std::optional<FigureData> TriForm::ReadFigure(const QString& name, bool tell) {
    const std::string bytes = name.toStdString();
    ReadResult<FigureData> read = ReadResult<FigureData>::Fail(FileProblem::NotFound);
    if (!IsSafeFigureName(bytes)) {
        read = ReadResult<FigureData>::Fail(FileProblem::BadName);
    } else if (const auto path = PlacesOf(desktop_).ShapeFileOf(bytes)) {
        read = ReadShapeFileForPlay(*path);
    }
    if (!read.ok()) {
        if (tell)
            desktop_.MsgBox(ReadProblemMessage(FileKind::ShapeFile, name + QStringLiteral(".dat"), read.problem, read.line),
                            msgbox::kCritical, QString());
        return std::nullopt;
    }
    return *read.value;
}

void TriForm::DrawFigure() {
    FigurePic->Cls();
    if (!game_.HasFigure()) return;
    const Size board = FitBoard(game_.Figure(), boardMaxWidth_, boardMaxHeight_);
    FigurePic->resize(std::max(0, TwipsToPixels(board.width)), std::max(0, TwipsToPixels(board.height)));
    DrawCellOutlines(*FigurePic, game_.CellPoints());
}

void TriForm::DrawBoardCell(int piece, int cell, DrawMode mode) {
    // The drawing records the rule colours it paints; the game keeps its own.
    BoardState painted = game_.State();
    murlen::DrawBoardCell(*FigurePic, BoardView{game_.CellPoints(), game_.Neighbours(), painted}, piece, cell, mode);
}

void TriForm::DrawPool() {
    std::array<Canvas*, kPieceCount> pool{};
    for (int i = 1; i <= kPieceCount; ++i) pool[std::size_t(i - 1)] = TriPool(i);
    murlen::DrawPool(pool);
}

void TriForm::ShowGame() {
    for (int i = 1; i <= kPieceCount; ++i) {
        MoveTwips(TriPool(i), poolLeft_[i], poolTop_[i]);
        TriPool(i)->setVisible(game_.InPool(i));
    }
    DrawFigure();
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (game_.Board(cell) != 0) DrawBoardCell(game_.Board(cell), cell, DrawMode::Check);
    SetCaption();
    ShowClockAndMenus();
    ShowKeyboardCursors();
}

void TriForm::ShowClockAndMenus() {
    Timer1->SetEnabled(game_.ClockRunning());
    switch (game_.Label()) {
    case ScoreLabel::Empty: labelScore->setText(QString()); break;
    case ScoreLabel::Seconds:
        labelScore->setText(QStringLiteral(" ") + QString::number(game_.Seconds()) + LoadResString(146));
        break;
    case ScoreLabel::Pause: labelScore->setText(LoadResString(145) + LoadResString(125)); break;
    }
    mnuPause->setChecked(game_.PauseMarked());
    mnuUndo->setEnabled(game_.CanUndo());
    mnuRedo->setEnabled(game_.CanRedo());
    mnuSave->setEnabled(!game_.FileTitle().empty());
}

void TriForm::Form_Resize() {
    const bool minimised = isMinimized();
    const float W = minimised ? 0.0f : float(TwipsWidth(client));
    const float H = minimised ? 0.0f : float(TwipsHeight(client));
    const float q = W / 19.4f;
    const float g = 0.2f * q;
    const float p = 1.2f * q;

    for (int i = 1; i <= kPieceCount; ++i) {
        const int c = i % 16;
        const int r = (i / 16) % 4;
        PictureBox* piece = TriPool(i);
        SetTwipsGeometry(piece, c * p + g, r * p + g, q, q);
        piece->SetScale(42, 42);
        poolLeft_[i] = TwipsLeft(piece);
        poolTop_[i] = TwipsTop(piece);
        desktop_.DoEvents();
    }

    MoveTwips(labelScore, g, AtLeast10(H - TwipsHeight(labelScore) - g));

    MoveTwips(FigurePic, g, 4 * p + g);
    const float boardHeight = AtLeast10(float(TwipsTop(labelScore) - TwipsTop(FigurePic)) - g);
    FigurePic->resize(std::max(0, TwipsToPixels(16 * q + 15 * g)), TwipsToPixels(boardHeight));

    boardMaxHeight_ = float(TwipsHeight(FigurePic));
    boardMaxWidth_ = float(TwipsWidth(FigurePic));

    desktop_.DoEvents();

    // The clock stands and its label is empty until the next move.
    game_.StopClock();
    ShowClockAndMenus();
    DrawPool();
    DrawFigure();
    for (int i = 1; i <= kCellCount; ++i)
        if (game_.Board(i) != 0) DrawBoardCell(game_.Board(i), i, DrawMode::Check);
    ShowKeyboardCursors();
}

void TriForm::ConnectHandlers() {
    connect(client, &FormSurface::resized, this, &TriForm::Form_Resize);
    connect(client, &FormSurface::dragDropped, this, &TriForm::Form_DragDrop);
    connect(FigurePic, &PictureBox::mouseMoved, this,
            [this](int, int, float x, float y) { FigurePic_MouseMove(x, y); });
    connect(FigurePic, &PictureBox::dragDropped, this, &TriForm::FigurePic_DragDrop);
    connect(FigurePic, &PictureBox::clicked, this, &TriForm::FigurePic_Click);
    connect(FigurePic, &PictureBox::dragFinished, this, &TriForm::CongratulateAfterDrag);
    for (int i = 1; i <= kPieceCount; ++i) {
        connect(TriPool(i), &PictureBox::clicked, this, [this, i] { TriPool_Click(i); });
        connect(TriPool(i), &PictureBox::dragFinished, this, &TriForm::CongratulateAfterDrag);
    }
    connect(Timer1, &Timer::tick, this, &TriForm::Timer1_Timer);
    connect(mnuPause, &QAction::triggered, this, &TriForm::mnuPause_Click);
    connect(mnuHint, &QAction::triggered, this, &TriForm::mnuHint_Click);
    connect(mnuSolve, &QAction::triggered, this, &TriForm::mnuSolve_Click);
    connect(mnuUndo, &QAction::triggered, this, &TriForm::mnuUndo_Click);
    connect(mnuRedo, &QAction::triggered, this, &TriForm::mnuRedo_Click);
    connect(mnuBestTimes, &QAction::triggered, this, &TriForm::mnuBestTimes_Click);
    connect(mnuFigures, &QAction::triggered, this, &TriForm::mnuFigures_Click);
    // The mouse takes over from the keys.
    connect(FigurePic, &PictureBox::mouseDown, this, &TriForm::HideKeyboardCursors);
    for (int i = 1; i <= kPieceCount; ++i)
        connect(TriPool(i), &PictureBox::mouseDown, this, &TriForm::HideKeyboardCursors);
    SetUpHint();
    connect(mnuopen, &QAction::triggered, this, &TriForm::mnuopen_Click);
    connect(mnuSave, &QAction::triggered, this, &TriForm::mnuSave_Click);
    connect(mnuSaveAs, &QAction::triggered, this, &TriForm::mnuSaveAs_Click);
    connect(mnuExit, &QAction::triggered, this, &TriForm::mnuExit_Click);
    connect(mnuShape, &MenuArray::clicked, this, &TriForm::mnuShape_Click);
    connect(mnuUsage, &QAction::triggered, this, &TriForm::mnuUsage_Click);
    connect(mnuAbout, &QAction::triggered, this, &TriForm::mnuAbout_Click);
    connect(mnuPrint, &QAction::triggered, this, &TriForm::mnuPrint_Click);
    connect(mnuNewShape, &QAction::triggered, this, &TriForm::mnuNewShape_Click);
}

void TriForm::mnuPrint_Click() {
    if (!game_.HasFigure()) return;
    const Certificate certificate{game_.Figure(), game_.State(), game_.PiecesInPool(), game_.Seconds(),
                                  QString::fromStdString(game_.FileTitle()),
                                  QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)};
    PrintCertificate(desktop_, certificate);
}

void TriForm::mnuAbout_Click() { ShowAbout(this); }

void TriForm::mnuUsage_Click() { desktop_.ShowHelp(HelpFileOf(desktop_), kHelpContents); }

void TriForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Minimising sends no resize, nor does restoring to the same size; the
    // layout must still run for both, a minimised window as one of no size.
    // A player who leaves the window may not come back: the seconds so far are kept.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) game_.KeepSecondsCounted();
    if (event->type() != QEvent::WindowStateChange) return;
    const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    if (!((before ^ windowState()) & Qt::WindowMinimized)) return;
    game_.KeepSecondsCounted();
    client->RequestLayout();
}

QString TriForm::SettingsFile() const { return desktop_.ConfigFolder() + QStringLiteral("/murlen.conf"); }

void TriForm::RestorePlace() {
    const QSettings settings(SettingsFile(), QSettings::IniFormat);
    const QRect place = settings.value(QStringLiteral("window/place")).toRect();
    bool fits = false;
    for (const QScreen* screen : QGuiApplication::screens()) fits = fits || screen->availableGeometry().contains(place);
    if (!fits || place.width() < 100 || place.height() < 100) return;
    setGeometry(place);
    if (settings.value(QStringLiteral("window/maximised")).toBool()) setWindowState(Qt::WindowMaximized);
}

void TriForm::RememberPlace() {
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("window/place"), normalGeometry());
    settings.setValue(QStringLiteral("window/maximised"), isMaximized());
}

QString TriForm::RememberedFigure() const {
    return QSettings(SettingsFile(), QSettings::IniFormat).value(QStringLiteral("game/figure")).toString();
}

void TriForm::RememberFigure() {
    QSettings(SettingsFile(), QSettings::IniFormat).setValue(QStringLiteral("game/figure"), FigureName());
}

void TriForm::closeEvent(QCloseEvent* event) {
    RememberPlace();
    QMainWindow::closeEvent(event);
    // A window closed as the session ends is no end the player chose: the
    // game in progress waits for the next start.
    if (qGuiApp->isSavingSession())
        desktop_.End();
    else
        EndProgram();
}

}  // namespace murlen
