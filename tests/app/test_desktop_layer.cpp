// The desktop layer: surfaces with user scales that keep their drawing, icons,
// the timer, menu arrays, dialog set-up and file messages.
#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "app/controls.h"
#include "app/file_messages.h"
#include "app/help_viewer.h"
#include "app/icons.h"
#include "app/image_canvas.h"
#include "app/picture_box.h"
#include "app/qt_desktop.h"
#include "app/strings.h"
#include "support/test_registry.h"

using namespace murlen;

namespace {
Rgb PixelAt(const QImage& image, int x, int y) { return Rgb(image.pixel(x, y) & 0xFFFFFF); }
}  // namespace

class TestDesktopLayer : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void userScaleMapsToPixels() {
        ImageCanvas canvas(QSize(100, 50), kWhite);
        canvas.SetScale(0, 0, 10, 5);
        canvas.Line({2, 1}, {8, 1}, kBlack);
        QCOMPARE(PixelAt(canvas.Image(), 50, 10), kBlack);
        QCOMPARE(PixelAt(canvas.Image(), 10, 10), kWhite);  // before the line's start
        QCOMPARE(PixelAt(canvas.Image(), 50, 20), kWhite);

        // A scale with its own origin: (-5, 10) is the top-left pixel.
        canvas.Cls();
        canvas.SetScale(-5, 10, 10, 5);
        canvas.Box({-5, 10}, {0, 12.5f}, kRed, true);
        QCOMPARE(PixelAt(canvas.Image(), 0, 0), kRed);
        QCOMPARE(PixelAt(canvas.Image(), 45, 20), kRed);
        QCOMPARE(PixelAt(canvas.Image(), 60, 20), kWhite);
        QCOMPARE(PixelAt(canvas.Image(), 45, 30), kWhite);
        QCOMPARE(canvas.FromPixels(QPointF(50, 25)), (Point{0, 12.5f}));

        // A wide pen draws a dot of its width.
        canvas.Cls();
        canvas.SetScale(0, 0, 100, 50);
        canvas.SetDrawWidth(5);
        canvas.PSet({50, 25}, kBlue);
        QCOMPARE(PixelAt(canvas.Image(), 51, 26), kBlue);
        canvas.SetDrawWidth(1);
        canvas.PSet({10, 10}, kBlue);
        QCOMPARE(PixelAt(canvas.Image(), 11, 11), kWhite);
    }

    void pictureBoxKeepsItsDrawing() {
        QWidget window;
        auto* box = new PictureBox(&window);
        box->setGeometry(0, 0, 80, 60);
        box->SetBackColor(kWhite);
        box->SetScale(8, 6);
        box->Cls();
        box->Line({1, 3}, {7, 3}, kBlack);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // What the window shows after a repaint is what was drawn.
        box->repaint();
        QCOMPARE(PixelAt(box->grab().toImage(), 40, 30), kBlack);

        // Growing the box keeps the drawing and shows the back colour beyond it.
        box->resize(120, 90);
        QCOMPARE(PixelAt(box->Image(), 40, 30), kBlack);
        QCOMPARE(PixelAt(box->Image(), 100, 80), kWhite);
        QCOMPARE(box->ToScale(QPointF(60, 45)), (Point{4, 3}));  // the scale stretches with the box
    }

    void iconsShowTheirPictures() {
        // Piece icons are drawn by the pool's own code: code 63 is black inside,
        // code 0 shows its dot at the centroid and white elsewhere inside.
        const QImage all = LoadResPicture(200 + 63).pixmap(32, 32).toImage();
        QCOMPARE(PixelAt(all, 24, 24), kBlack);
        QCOMPARE(PixelAt(all, 28, 12), kBlack);
        const QImage none = LoadResPicture(200).pixmap(32, 32).toImage();
        QCOMPARE(PixelAt(none, 21, 21), kBlack);  // the dot at (27.33, 27.33) of 42
        QCOMPARE(PixelAt(none, 27, 17), kWhite);
        // Code 1: only the upper half of the right edge is black.
        const QImage one = LoadResPicture(201).pixmap(32, 32).toImage();
        QCOMPARE(PixelAt(one, 29, 8), kBlack);
        QCOMPARE(PixelAt(one, 29, 26), kWhite);
        QCOMPARE(PieceIconId(64), 200);
        QCOMPARE(PieceIconId(1), 201);
        // Under the pointer an icon shows the piece alone: transparent around
        // the triangle, drawn twice as fine for a screen of twice the density.
        for (int id = 200; id < 264; ++id)
            for (qreal ratio : {1.0, 2.0}) {
                const QImage icon = LoadResPicture(id).pixmap(QSize(32, 32), ratio).toImage();
                QCOMPARE(icon.width(), int(32 * ratio));
                QCOMPARE(qAlpha(icon.pixel(2, 2)), 0);
                QCOMPARE(qAlpha(icon.pixel(icon.width() * 3 / 4, icon.height() * 3 / 4)), 255);
            }

        for (int size : {16, 32}) {
            const QImage heart = LoadResPicture(kIconHeart).pixmap(size, size).toImage();
            QCOMPARE(heart.size(), QSize(size, size));
            QCOMPARE(QColor(heart.pixel(size / 2, size / 2)), QColor(255, 0, 0));
            QCOMPARE(qAlpha(heart.pixel(0, size - 1)), 0);  // transparent corner
        }
        QCOMPARE(LoadResPicture(kIconApplication).cacheKey() != 0, true);
        const QImage pyramid = LoadResPicture(kIconFigure).pixmap(32, 32).toImage();
        QCOMPARE(QColor(pyramid.pixel(16, 24)), QColor(Qt::black));
        QCOMPARE(QColor(pyramid.pixel(16, 28)), QColor(160, 160, 160));  // the shadow
        QCOMPARE(qAlpha(pyramid.pixel(1, 1)), 0);
        QVERIFY(LoadResPicture(999).isNull());
    }

    void timerTicksOnlyWhenOnAndIsNotRestartedBySwitchingItOnAgain() {
        Timer timer;
        QSignalSpy ticks(&timer, &Timer::tick);
        QVERIFY(timer.Enabled());
        QCOMPARE(timer.Interval(), 0);
        QTest::qWait(30);
        QCOMPARE(ticks.count(), 0);  // interval 0 never fires

        timer.SetInterval(1000);
        QTest::qWait(200);
        timer.SetEnabled(true);  // every move does this: the second must go on
        QVERIFY(timer.RemainingTime() < 900);
        timer.SetEnabled(false);
        QCOMPARE(timer.RemainingTime(), -1);

        timer.SetInterval(20);
        timer.SetEnabled(true);
        QTRY_VERIFY(ticks.count() >= 2);
    }

    void menuArrayCopiesItsFirstElement() {
        QMenu menu;
        MenuArray array(&menu, "&Triangle", true, nullptr);
        QAction* second = array.Load(1);
        QCOMPARE(second->text(), QString("&Triangle"));
        QVERIFY(second->isChecked());
        array[0]->setChecked(false);
        array[0]->setText("Star");
        QAction* third = array.Load(2);
        QCOMPARE(third->text(), QString("Star"));
        QVERIFY(!third->isChecked());
        QCOMPARE(array.Count(), 3);
        QCOMPARE(menu.actions().size(), 3);

        // Choosing an entry reports its index and leaves the marks to the handler.
        QSignalSpy clicks(&array, &MenuArray::clicked);
        third->trigger();
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.first().first().toInt(), 2);
        QVERIFY(!third->isChecked());
    }

    void dialogFiltersAndHelpPages() {
        QCOMPARE(NameFiltersOf("All files (*.*)|*.*|Games (*.kyp)|*.kyp"),
                 QStringList({"All files (*)", "Games (*.kyp)"}));
        QCOMPARE(NameFiltersOf("Shape (*.dat)|*.dat"), QStringList({"Shape (*.dat)"}));
        QCOMPARE(HelpPageFor("/opt/murlen" + ResString(Language::English, 144)),
                 QString("/opt/murlen/TRIANGLEHELP.html"));
        QCOMPARE(HelpPageFor("/opt/murlen" + ResString(Language::Dutch, 144)),
                 QString("/opt/murlen/TRIANGLEHELPNL.html"));
    }

    void fileMessagesNameTheFile() {
        QCOMPARE(ReadProblemMessage(FileKind::ShapeFile, "Star.dat", FileProblem::NotFound, 0),
                 QString("File Star.dat not found!"));
        QCOMPARE(ReadProblemMessage(FileKind::ShapeFile, "Star.dat", FileProblem::NotANumber, 12),
                 QString("The file Star.dat is not a valid shape file. The problem is in line 12."));
        QCOMPARE(ReadProblemMessage(FileKind::GameFile, "a.kyp", FileProblem::BadBoard, 0),
                 QString("The file a.kyp is not a valid game file."));
        QCOMPARE(ReadProblemMessage(FileKind::FigureList, "Figures.dat", FileProblem::Unreadable, 0),
                 QString("The file Figures.dat cannot be read."));
        ForceLanguage(Language::German);
        QVERIFY(ReadProblemMessage(FileKind::GameFile, "a.kyp", FileProblem::NotFound, 0).contains(" a.kyp "));
        QVERIFY(WriteProblemMessage("a.kyp").startsWith(ResString(Language::German, 167) + "a.kyp"));
    }
};

MURLEN_TEST(TestDesktopLayer)
#include "test_desktop_layer.moc"
