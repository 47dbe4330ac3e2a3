// The About window and the help in each language: texts from the string table
// that fit their boxes, help pages that open at their contents with every link
// and picture there, and pictures that are still what the game's code draws.
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTest>

#include "about/frm_about.h"
#include "about/help_pictures.h"
#include "app/help_viewer.h"
#include "app/strings.h"
#include "support/test_registry.h"

using namespace murlen;

static const QDir kHelp(MURLEN_SOURCE_DIR "/resources/help");

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ForceLanguage(std::nullopt); }

    void inEveryLanguage_data() {
        QTest::addColumn<int>("language");
        for (const Language language : {Language::English, Language::German, Language::Dutch}) QTest::newRow(qPrintable(ResString(language, 103))) << int(language);
    }
    void inEveryLanguage() {
        QFETCH(int, language);
        const auto entry = [&](int id) { return ResString(Language(language), id); };
        ForceLanguage(Language(language));
        const FrmAbout about;
        QCOMPARE(QStringList({about.windowTitle(), about.labelDiscr->text(), about.labelDisclaim->text(), about.cmdAboutOk->text()}),
                 QStringList({entry(103), entry(101), entry(102), entry(104)}));
        for (const QLabel* label : {about.labelDisclaim, about.labelDiscr}) QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(label->text()));
        QVERIFY(about.cmdAboutOk->fontMetrics().horizontalAdvance(about.cmdAboutOk->text()) < about.cmdAboutOk->width());

        // The page of the language's help file: pictures, the contents first,
        // every section linked, every link and picture there.
        QFile page(HelpPageFor(kHelp.path() + entry(144)));
        const QString html = page.open(QIODevice::ReadOnly) ? QString::fromUtf8(page.readAll()) : QString();
        const auto values = [&html](const QString& attribute) {  // an attribute's values, without a leading #
            QSet<QString> found;
            for (auto it = QRegularExpression("\\s" + attribute + "=\"#?([^\"]*)\"").globalMatch(html); it.hasNext();) found << it.next().captured(1);
            return found;
        };
        QVERIFY2(html.contains("<img") && html.indexOf("name=") == html.indexOf("name=\"contents\""), qPrintable(page.fileName()));
        QCOMPARE(values("href"), values("name"));
        for (const QString& picture : values("src")) QVERIFY2(kHelp.exists(picture), qPrintable(picture));
        // In a window narrower than its pictures the page still never scrolls sideways.
        HelpViewer viewer;
        viewer.Open(page.fileName());
        viewer.resize(300, 300);
        QVERIFY(viewer.Browser()->document()->size().width() <= viewer.Browser()->viewport()->width());
    }

    void picturesAreWhatTheGameDraws() {
        for (const int pixelRatio : {1, 2})
            for (const HelpPicture& picture : HelpPictures(pixelRatio))
                QVERIFY2(QImage(kHelp.filePath(picture.fileName)).convertToFormat(QImage::Format_ARGB32) == picture.image.convertToFormat(QImage::Format_ARGB32),
                         qPrintable(picture.fileName + " differs from what the game draws: run make_help_pictures"));
        for (int pixels : kDesktopIconSizes)
            QVERIFY(QImage(MURLEN_SOURCE_DIR "/resources/desktop/icons/" + DesktopIconFileName(pixels)).convertToFormat(QImage::Format_ARGB32) == DesktopIcon(pixels));
    }
};

MURLEN_TEST(TestAbout)
#include "test_about.moc"
