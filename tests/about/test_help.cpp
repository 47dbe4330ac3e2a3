// The help: one document per language named by the string table, each opening
// with its contents and with links and pictures that all resolve; pictures and
// desktop icons that are still what the game's drawing code draws; and the
// viewer, which shows a page from its top and reports a missing one.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <array>

#include "about/help_pictures.h"
#include "app/help_viewer.h"
#include "app/strings.h"
#include "support/test_registry.h"

using namespace murlen;

namespace {

const QString kHelpFolder = QStringLiteral(MURLEN_SOURCE_DIR "/resources/help");
const QString kIconFolder = QStringLiteral(MURLEN_SOURCE_DIR "/resources/desktop/icons");
constexpr std::array kLanguages{Language::English, Language::German, Language::Dutch};

QString LanguageName(Language language) {
    switch (language) {
    case Language::English: return "English";
    case Language::German: return "German";
    case Language::Dutch: return "Dutch";
    }
    return {};
}

// The help page of `language` in the source tree: its help file name (entry
// 144) read as a page.
QString PageOf(Language language) { return HelpPageFor(kHelpFolder + ResString(language, 144)); }

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QStringList Matches(const QString& text, const QString& pattern) {
    QStringList found;
    const QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption);
    for (auto it = expression.globalMatch(text); it.hasNext();) found << it.next().captured(1);
    return found;
}

QStringList AnchorNames(const QString& html) { return Matches(html, "<a\\s+name=\"([^\"]*)\""); }
QStringList InternalLinks(const QString& html) { return Matches(html, "<a\\s+href=\"#([^\"]*)\""); }
QStringList ImageSources(const QString& html) { return Matches(html, "<img\\s[^>]*src=\"([^\"]*)\""); }

int PixelsOf(const QImage& image, QRgb color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF)) ++count;
    return count;
}

QImage Committed(const QString& path) { return QImage(path).convertToFormat(QImage::Format_ARGB32); }

}  // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ForceLanguage(std::nullopt); }

    void theHelpFileFollowsTheLanguage() {
        // Both help commands ask for the program folder followed by entry 144.
        ForceLanguage(Language::Dutch);
        const QString helpFile = "/opt/murlen" + LoadResString(144);
        QCOMPARE(helpFile, QString("/opt/murlen\\TRIANGLEHELPNL.hlp"));
        QCOMPARE(HelpPageFor(helpFile), QString("/opt/murlen/TRIANGLEHELPNL.html"));
        ForceLanguage(Language::German);
        QCOMPARE(HelpPageFor("/opt/murlen" + LoadResString(144)), QString("/opt/murlen/TRIANGLEHELPDE.html"));
        ForceLanguage(Language::English);
        QCOMPARE(HelpPageFor("/opt/murlen" + LoadResString(144)), QString("/opt/murlen/TRIANGLEHELP.html"));

        // Every language's file name leads to a document that is there.
        QSet<QString> pages;
        for (Language language : kLanguages) {
            const QString page = PageOf(language);
            QVERIFY2(QFileInfo(page).isFile(), qPrintable(page));
            pages << page;
        }
        QCOMPARE(pages.size(), 3);
    }

    void documentsOpenWithTheirContentsAndAllLinksResolve() {
        QStringList englishAnchors;
        QSet<QString> englishImages;
        for (Language language : kLanguages) {
            const QString page = PageOf(language);
            const QString html = ReadText(page);
            const QString which = LanguageName(language);
            QVERIFY2(!html.isEmpty(), qPrintable(page));
            QVERIFY2(html.contains(QRegularExpression("<title>[^<]+</title>")), qPrintable(which));

            const QStringList anchors = AnchorNames(html);
            QVERIFY2(!anchors.isEmpty() && anchors.first() == "contents", qPrintable(which));
            QCOMPARE(QSet<QString>(anchors.begin(), anchors.end()).size(), anchors.size());  // no name twice

            const QStringList links = InternalLinks(html);
            for (const QString& link : links)
                QVERIFY2(anchors.contains(link), qPrintable(which + ": #" + link + " leads nowhere"));
            // Every section is reached from the contents, and the contents from every section.
            for (const QString& anchor : anchors.mid(1)) {
                QVERIFY2(links.contains(anchor), qPrintable(which + ": no link to #" + anchor));
                const qsizetype start = html.indexOf("name=\"" + anchor + "\"");
                const qsizetype next = html.indexOf(QRegularExpression("<a\\s+name="), start + 1);
                const QString section = html.mid(start, next < 0 ? -1 : next - start);
                QVERIFY2(section.contains("href=\"#contents\""), qPrintable(which + ": #" + anchor));
            }

            const QStringList images = ImageSources(html);
            QVERIFY2(images.size() >= 5, qPrintable(which));
            for (const QString& image : images)
                QVERIFY2(QFileInfo(QDir(kHelpFolder).filePath(image)).isFile(), qPrintable(which + ": " + image));

            // The languages tell the same story: the same sections and pictures.
            const QSet<QString> imageSet(images.begin(), images.end());
            if (language == Language::English) {
                englishAnchors = anchors;
                englishImages = imageSet;
            } else {
                QCOMPARE(anchors, englishAnchors);
                QCOMPARE(imageSet, englishImages);
            }
        }
    }

    void picturesAreWhatTheGameDraws() {
        const std::vector<HelpPicture> pictures = HelpPictures();
        QSet<QString> names;
        for (const HelpPicture& picture : pictures) {
            names << picture.fileName;
            const QImage committed = Committed(QDir(kHelpFolder).filePath(picture.fileName));
            QVERIFY2(!committed.isNull(), qPrintable(picture.fileName + " is missing: run make_help_pictures"));
            QVERIFY2(committed == picture.image.convertToFormat(QImage::Format_ARGB32),
                     qPrintable(picture.fileName + " differs from what the game draws: run make_help_pictures"));
        }
        // No picture is left over that the code no longer draws.
        const QStringList files = QDir(kHelpFolder).entryList({"*.png"}, QDir::Files);
        QCOMPARE(QSet<QString>(files.begin(), files.end()), names);

        for (int pixels : kDesktopIconSizes) {
            const QImage committed = Committed(QDir(kIconFolder).filePath(DesktopIconFileName(pixels)));
            QCOMPARE(committed.size(), QSize(pixels, pixels));
            QVERIFY2(committed == DesktopIcon(pixels), qPrintable(DesktopIconFileName(pixels)));
            QCOMPARE(QColor(committed.pixel(pixels / 2, pixels / 2)), QColor(255, 0, 0));
            QCOMPARE(qAlpha(committed.pixel(0, 0)), 0);
        }
    }

    void rulePicturesShowTheColoursTheTextNames() {
        QHash<QString, QImage> byName;
        for (const HelpPicture& picture : HelpPictures()) byName.insert(picture.fileName, picture.image);
        const QRgb red = qRgb(255, 0, 0);
        const QRgb blue = qRgb(0, 0, 255);
        const QRgb black = qRgb(0, 0, 0);

        QCOMPARE(PixelsOf(byName["help_match.png"], red), 0);
        QCOMPARE(PixelsOf(byName["help_match.png"], blue), 0);
        QVERIFY(PixelsOf(byName["help_match.png"], black) > 0);
        QVERIFY(PixelsOf(byName["help_red.png"], red) > 0);
        QCOMPARE(PixelsOf(byName["help_red.png"], blue), 0);
        QVERIFY(PixelsOf(byName["help_blue.png"], blue) > 0);
        QCOMPARE(PixelsOf(byName["help_blue.png"], red), 0);
        QCOMPARE(PixelsOf(byName["help_game.png"], red) + PixelsOf(byName["help_game.png"], blue), 0);
        QVERIFY(PixelsOf(byName["help_figure.png"], black) > 0);
    }

    void viewerShowsThePageFromItsTop() {
        ForceLanguage(Language::English);
        HelpViewer viewer;
        viewer.Open(PageOf(Language::English));
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QVERIFY(!viewer.ShowsMissingPage());
        QCOMPARE(viewer.windowTitle(), QString("Murlen: scores and usage"));
        QCOMPARE(viewer.BackButton()->text(), QString("Back"));
        QCOMPARE(viewer.ContentsButton()->text(), QString("Contents"));
        QTextBrowser* browser = viewer.Browser();
        QVERIFY(browser->toPlainText().startsWith("Murlen: the incredible puzzle with the triangles"));
        QCOMPARE(browser->verticalScrollBar()->value(), 0);
        QVERIFY(browser->verticalScrollBar()->maximum() > 0);  // a long page: its top is a choice

        // The pictures load beside the page.
        const QVariant picture = browser->loadResource(QTextDocument::ImageResource, QUrl("help_red.png"));
        QVERIFY(!picture.isNull());

        // A link goes down the page; Back comes back; opening again shows the top.
        QVERIFY(!viewer.BackButton()->isEnabled());
        browser->setSource(QUrl("#printing"));
        QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
        QVERIFY(viewer.BackButton()->isEnabled());
        viewer.BackButton()->click();
        QTRY_COMPARE(browser->verticalScrollBar()->value(), 0);
        browser->setSource(QUrl("#keys"));
        QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
        viewer.ContentsButton()->click();
        QCOMPARE(browser->verticalScrollBar()->value(), 0);
        browser->setSource(QUrl("#generator"));
        QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
        viewer.Open(PageOf(Language::English));
        QCOMPARE(browser->verticalScrollBar()->value(), 0);
    }

    void viewerReportsAMissingPageInTheUsersLanguage() {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        ForceLanguage(Language::Dutch);
        HelpViewer viewer;
        viewer.Open(HelpPageFor(empty.path() + LoadResString(144)));
        QVERIFY(viewer.ShowsMissingPage());
        QCOMPARE(viewer.Browser()->toPlainText(), QString("Bestand TRIANGLEHELPNL.html niet gevonden!"));
        QCOMPARE(viewer.windowTitle(), QString("Help"));
        QCOMPARE(viewer.BackButton()->text(), QString("Terug"));
        QVERIFY(!viewer.ContentsButton()->isEnabled());

        // The same viewer shows a page that is there after all.
        viewer.Open(PageOf(Language::Dutch));
        QVERIFY(!viewer.ShowsMissingPage());
        QVERIFY(viewer.Browser()->toPlainText().startsWith("Murlen: de ongelooflijke puzzel"));
        QVERIFY(viewer.ContentsButton()->isEnabled());
    }
};

MURLEN_TEST(TestHelp)
#include "test_help.moc"
