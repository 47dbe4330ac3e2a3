// The string table in its three languages.
#include <QTest>

#include "app/strings.h"
#include "support/test_registry.h"

using namespace murlen;

class TestStrings : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ForceLanguage(std::nullopt); }

    void englishTableHoldsEveryTextExactly() {
        const std::vector<std::pair<int, QString>> expected = {
            {101, "The incredible puzzle with the triangles"}, {103, "About"}, {104, "Ok"},
            {105, "&File"}, {106, "&Game"}, {107, "&Help"}, {108, "&Print..."}, {109, "&Open"},
            {110, "&Save"}, {111, "save&As"}, {112, "e&Xit"}, {113, "&Pause"},
            {114, "&Scores and usage"}, {115, "&About..."}, {116, "Game: "}, {117, "File: "},
            {118, "Drag triangles to me"}, {119, "I'm the second counter"},
            {120, "Move me or drag me to the game"}, {121, "All files"}, {122, "Games"},
            {123, "File "}, {124, " not found!"}, {125, "Pause"}, {126, "KYP triangle game"},
            {127, "This is a solution! Score: "}, {128, " seconds."}, {129, "Date: "},
            {130, "Sign: ........................................."}, {131, " triangles missing"},
            {132, " violate the rules"}, {133, "This is a solution!"}, {134, "Score: "},
            {135, "Overwrite the file "}, {136, " ?"}, {137, "Warning: File exists"},
            {138, "KYP Congratulation! Your score is "}, {139, "seconds"}, {140, "Exit Murlen?"},
            {141, "Do you want to save your work?"}, {142, "Do You want to save your work as "},
            {143, "?"}, {144, "\\TRIANGLEHELP.hlp"}, {145, "Status: "}, {146, " seconds"},
            {147, "&Return to Murlen"}, {148, "Enter a new gridsize"},
            {149, "Please enter only natural numbers"},
            {150, "Only numbers between 7 and 24 are supported"},
            {151, "Can't move over non-empty elements"}, {152, "Shape"}, {153, "This file is tabu!"},
            {154, "Only '.dat' extensions are supported!"}, {155, "Shape generator"},
            {156, "Placed: "}, {157, "Can't save uncomplete shapes (put 64 pieces)"},
            {158, "Add the file to the data base?"}, {159, "Dublication! SaveAs another name"},
            {160, "Operation cancelled"}, {161, "Shape generator..."}, {162, "&Gridsize"},
            {163, "&Left"}, {164, "&Right"}, {165, "&Up"}, {166, "&Down"}};
        QCOMPARE(expected.size(), std::size_t(65));  // all of 101..166 but the disclaimer
        for (const auto& [id, text] : expected) QCOMPARE(ResString(Language::English, id), text);

        const QString disclaimer = ResString(Language::English, 102);
        QVERIFY(disclaimer.contains("the Murlen developers"));
        QVERIFY(disclaimer.contains("issue tracker"));
        QVERIFY2(disclaimer.size() > 250 && disclaimer.size() < 450, qPrintable(disclaimer));
    }

    void everyLanguageHoldsTheSameIdsWithTheSameBlanks() {
        const QList<int> english = ResStringIds(Language::English);
        QCOMPARE(english.first(), 101);
        QVERIFY(english.size() >= 66);
        for (int id = 101; id <= 166; ++id) QVERIFY(english.contains(id));
        for (Language language : {Language::German, Language::Dutch}) {
            QCOMPARE(ResStringIds(language), english);
            for (int id : english) {
                const QString en = ResString(Language::English, id);
                const QString other = ResString(language, id);
                QVERIFY2(!other.isEmpty(), qPrintable(QString::number(id)));
                // Texts are joined to names and numbers: the blanks at their ends
                // must be where the English has them. 139 has a leading blank in
                // German and Dutch only.
                if (id != 139) QCOMPARE(other.startsWith(' '), en.startsWith(' '));
                QCOMPARE(other.endsWith(' '), en.endsWith(' '));
                QCOMPARE(other.count('&'), en.count('&'));
            }
            QVERIFY(ResString(language, 139).startsWith(' '));
        }
    }

    void languageSpecificEntries() {
        QCOMPARE(ResString(Language::German, 105), QString("&Datei"));
        QCOMPARE(ResString(Language::German, 106), QString("&Spiel"));
        QCOMPARE(ResString(Language::German, 107), QString("&Hilfe"));
        QCOMPARE(ResString(Language::German, 144), QString("\\TRIANGLEHELPDE.hlp"));
        QCOMPARE(ResString(Language::Dutch, 144), QString("\\TRIANGLEHELPNL.hlp"));
        QCOMPARE(ResString(Language::Dutch, 108), QString("Af&drukken..."));
        QCOMPARE(ResString(Language::German, 130), "Gezeichnet: " + QString(36, '.'));
        QCOMPARE(ResString(Language::Dutch, 130), "Getekend: " + QString(34, '.'));
        QCOMPARE(ResString(Language::English, 130), "Sign: " + QString(41, '.'));
    }

    void languageFollowsTheUserInterfaceLanguage() {
        QCOMPARE(LanguageFor({"de_DE"}), Language::German);
        QCOMPARE(LanguageFor({"de-AT", "en-US"}), Language::German);
        QCOMPARE(LanguageFor({"nl_BE"}), Language::Dutch);
        QCOMPARE(LanguageFor({"nl"}), Language::Dutch);
        QCOMPARE(LanguageFor({"en_GB"}), Language::English);
        QCOMPARE(LanguageFor({"fr_FR", "de_DE"}), Language::English);
        QCOMPARE(LanguageFor({"C"}), Language::English);
        QCOMPARE(LanguageFor({}), Language::English);

        ForceLanguage(Language::German);
        QCOMPARE(LoadResString(109), ResString(Language::German, 109));
        ForceLanguage(Language::Dutch);
        QCOMPARE(LoadResString(109), ResString(Language::Dutch, 109));
    }
};

MURLEN_TEST(TestStrings)
#include "test_strings.moc"
