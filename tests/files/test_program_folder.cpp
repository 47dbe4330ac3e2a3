// Names in the program folder: found without regard to letter case, and only
// names that stay inside the folder are figure names.
#include <QTemporaryDir>
#include <QTest>

#include "files/program_folder.h"
#include "files_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    void findsTheFigureListWhateverTheCase() {
        QTemporaryDir dir;
        const auto folder = PathIn(dir, "");
        WriteBytes(folder / "Figures.dat", "");
        QCOMPARE(FindIgnoringCase(folder, "figures.dat"), std::optional(folder / "Figures.dat"));
        QCOMPARE(FindIgnoringCase(folder, kFigureListName), std::optional(folder / "Figures.dat"));
        QCOMPARE(FindIgnoringCase(folder, "FIGURES.DAT"), std::optional(folder / "Figures.dat"));
    }

    void anExactMatchWinsElseTheSmallestName() {
        QTemporaryDir dir;
        const auto folder = PathIn(dir, "");
        WriteBytes(folder / "heart.dat", "");
        WriteBytes(folder / "Heart.dat", "");
        WriteBytes(folder / "HEART.dat", "");
        QCOMPARE(FindIgnoringCase(folder, "heart.dat"), std::optional(folder / "heart.dat"));
        QCOMPARE(FindIgnoringCase(folder, "Heart.dat"), std::optional(folder / "Heart.dat"));
        QCOMPARE(FindIgnoringCase(folder, "hEART.DAT"), std::optional(folder / "HEART.dat"));
    }

    void findsNothingWhenThereIsNothing() {
        QTemporaryDir dir;
        const auto folder = PathIn(dir, "");
        WriteBytes(folder / "Heart.dat", "");
        QCOMPARE(FindIgnoringCase(folder, "Heart.da"), std::nullopt);
        QCOMPARE(FindIgnoringCase(folder, ""), std::nullopt);
        QCOMPARE(FindIgnoringCase(folder / "missing", "Heart.dat"), std::nullopt);
    }

    void findsAShapeFileSavedWithTheExtensionInCapitals() {
        QTemporaryDir dir;
        const auto folder = PathIn(dir, "");
        WriteBytes(folder / "Star.DAT", "");
        QCOMPARE(ShapeFileOf(folder, "Star"), std::optional(folder / "Star.DAT"));
        QCOMPARE(ShapeFileOf(folder, "star"), std::optional(folder / "Star.DAT"));
        QCOMPARE(ShapeFileOf(folder, "Moon"), std::nullopt);
    }

    void findsNoShapeFileOutsideTheFolder() {
        QTemporaryDir dir;
        std::filesystem::create_directory(PathIn(dir, "program"));
        WriteBytes(PathIn(dir, "Outside.dat"), "");
        WriteBytes(PathIn(dir, "program/Inside.dat"), "");
        const auto folder = PathIn(dir, "program");
        QCOMPARE(ShapeFileOf(folder, "../Outside"), std::nullopt);
        QCOMPARE(ShapeFileOf(dir.path().toStdString(), "program/Inside"), std::nullopt);
        QCOMPARE(ShapeFileOf(folder, "Inside"), std::optional(folder / "Inside.dat"));
    }

    void safeFigureNames_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << QByteArray("Heart") << true;
        QTest::newRow("blanks and dots") << QByteArray("My big.heart") << true;
        QTest::newRow("UTF-8") << QByteArray("Stern \xC3\xA4") << true;
        QTest::newRow("starts with dots") << QByteArray("...") << true;
        QTest::newRow("empty") << QByteArray("") << false;
        QTest::newRow("dot") << QByteArray(".") << false;
        QTest::newRow("dot dot") << QByteArray("..") << false;
        QTest::newRow("slash") << QByteArray("a/b") << false;
        QTest::newRow("backslash") << QByteArray("a\\b") << false;
        QTest::newRow("up") << QByteArray("../Heart") << false;
        QTest::newRow("absolute") << QByteArray("/etc/passwd") << false;
        QTest::newRow("NUL") << QByteArray("a\0b", 3) << false;
        QTest::newRow("line end") << QByteArray("a\r\n") << false;
        QTest::newRow("tab") << QByteArray("a\tb") << false;
        QTest::newRow("DEL") << QByteArray("a\x7F") << false;
    }

    void safeFigureNames() {
        QFETCH(QByteArray, name);
        QFETCH(bool, safe);
        QCOMPARE(IsSafeFigureName(name.toStdString()), safe);
    }
};

MURLEN_TEST(TestProgramFolder)
#include "test_program_folder.moc"
