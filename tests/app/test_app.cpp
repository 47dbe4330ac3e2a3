// The desktop layer: the string table in its three languages and the language
// of a run, the clock's second, twips and user scales, the icons' pictures, and
// what the player is told about a file.
#include <QTest>

#include "app/controls.h"
#include "app/file_messages.h"
#include "app/icons.h"
#include "app/image_canvas.h"
#include "app/strings.h"
#include "app/twips.h"
#include "support/test_registry.h"

using namespace murlen;
using enum Language;

class TestApp : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ForceLanguage(std::nullopt); }

    void stringTableInTheUsersLanguage() {
        const QList<int> ids = ResStringIds(English);
        QVERIFY(ids.size() >= 66 && ids[0] == 101 && ids[65] == 166);
        for (Language language : {German, Dutch}) {
            QCOMPARE(ResStringIds(language), ids);
            // Texts are joined to names and numbers: blanks at their ends as in
            // English (139 starts with one in German and Dutch only), and menu keys.
            for (const int id : ids) {
                const QString text = ResString(language, id), english = ResString(English, id);
                QVERIFY2(!text.isEmpty() && text.endsWith(' ') == english.endsWith(' ') && text.count('&') == english.count('&') &&
                             (id == 139 || text.startsWith(' ') == english.startsWith(' ')),
                         qPrintable(QString::number(id)));
            }
        }
        for (const auto& [language, id, text] : std::vector<std::tuple<Language, int, QString>>{
                 {German, 105, "&Datei"}, {German, 107, "&Hilfe"}, {English, 130, "Sign: " + QString(41, '.')},
                 {German, 130, "Gezeichnet: " + QString(36, '.')}, {Dutch, 130, "Getekend: " + QString(34, '.')},
                 {English, 144, "\\TRIANGLEHELP.hlp"}, {German, 144, "\\TRIANGLEHELPDE.hlp"}, {Dutch, 144, "\\TRIANGLEHELPNL.hlp"}})
            QCOMPARE(ResString(language, id), text);
        // The user's first language chooses the table.
        for (const auto& [first, language] : {std::pair{"de_DE", German}, {"de-AT", German}, {"nl_BE", Dutch}, {"nl", Dutch},
                                              {"en_GB", English}, {"fr_FR", English}, {"C", English}})
            QVERIFY2(LanguageFor({first, "nl_NL"}) == language && LanguageFor({first, "de_DE"}) == language, first);
    }

    void switchingTheClockOnAgainKeepsItsSecond() {
        Timer timer;
        timer.SetInterval(1000);
        QTest::qWait(200);
        const int left = timer.RemainingTime();
        timer.SetEnabled(true);  // every move does this
        QVERIFY(left >= 0 && timer.RemainingTime() <= left);
        timer.SetEnabled(false);
        QCOMPARE(timer.RemainingTime(), -1);
    }

    void twipsAndUserScalesMapToPixels() {
        QCOMPARE(QList<int>({TwipsToPixels(22), TwipsToPixels(23), TwipsToPixels(qInf()), PixelsToTwips(4)}), QList<int>({1, 2, 0, 60}));
        ImageCanvas canvas(QSize(100, 50), kWhite);
        canvas.SetScale(-5, 10, 10, 5);  // (-5, 10) at the top left pixel, 10 pixels a unit
        canvas.Box({-5, 10}, {0, 12.5f}, kRed, true);
        const auto at = [&](int x, int y) { return FromQColor(canvas.Image().pixel(x, y)); };
        QCOMPARE(QList<Rgb>({at(0, 0), at(49, 24), at(51, 24), at(49, 26)}), QList<Rgb>({kRed, kRed, kWhite, kWhite}));
        QCOMPARE(canvas.FromPixels(QPointF(50, 25)), (Point{0, 12.5f}));
    }

    void iconsShowTheirPictures() {
        // The middle of each half of a piece, bit 0 to 5, in a 32-pixel icon.
        const QPoint halves[] = {{27, 12}, {27, 22}, {22, 27}, {12, 27}, {12, 22}, {22, 12}};
        for (int code = 0; code < 64; ++code) {
            const QImage icon = LoadResPicture(PieceIconId(code == 0 ? 64 : code)).pixmap(32, 32).toImage();
            int black = 0;
            for (int k = 0; k < 6; ++k) black |= int(icon.pixel(halves[k]) == qRgb(0, 0, 0)) << k;
            // Around the triangle the icon is transparent, so that under the pointer it shows the piece alone.
            QVERIFY2(black == code && qAlpha(icon.pixel(2, 2)) == 0, qPrintable(QString("icon %1 shows %2").arg(code).arg(black)));
        }
        QVERIFY(LoadResPicture(PieceIconId(64)).pixmap(32, 32).toImage().pixel(21, 21) == qRgb(0, 0, 0));  // the dot
        for (int id : {kIconApplication, kIconHeart}) QVERIFY(LoadResPicture(id).pixmap(32, 32).toImage().pixel(16, 16) == qRgb(255, 0, 0));
        const QImage pyramid = LoadResPicture(kIconFigure).pixmap(32, 32).toImage();
        QVERIFY(pyramid.pixel(16, 24) == qRgb(0, 0, 0) && pyramid.pixel(16, 28) == qRgb(160, 160, 160) && qAlpha(pyramid.pixel(1, 1)) == 0);
    }

    void fileMessagesNameTheFileAndTheLine() {
        ForceLanguage(English);
        for (const auto& [kind, problem, line, text] : std::vector<std::tuple<FileKind, FileProblem, int, QString>>{
                 {FileKind::ShapeFile, FileProblem::NotFound, 0, "File Star.dat not found!"},
                 {FileKind::ShapeFile, FileProblem::NotANumber, 1, "The file Star.dat is not a valid shape file. The problem is in line 1."},
                 {FileKind::GameFile, FileProblem::BadBoard, 0, "The file Star.dat is not a valid game file."},
                 {FileKind::FigureList, FileProblem::TooLarge, 0, "The file Star.dat cannot be read."}})
            QCOMPARE(ReadProblemMessage(kind, "Star.dat", problem, line), text);
    }
};

MURLEN_TEST(TestApp)
#include "test_app.moc"
