// The About window: its design in twips, its texts from the string table at
// every showing and in every language, texts that fit their boxes, and the
// keys and buttons that close it.
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "about/frm_about.h"
#include "app/strings.h"
#include "app/twips.h"
#include "support/test_registry.h"

using namespace murlen;

namespace {

// Geometry is kept in whole pixels: a length read back in twips is the design
// value rounded to the nearest 15.
void CompareTwips(const QWidget* w, int left, int top, int width, int height) {
    const QString name = w->metaObject()->className();
    QVERIFY2(qAbs(TwipsLeft(w) - left) <= 7, qPrintable(name + " left " + QString::number(TwipsLeft(w))));
    QVERIFY2(qAbs(TwipsTop(w) - top) <= 7, qPrintable(name + " top " + QString::number(TwipsTop(w))));
    QVERIFY2(qAbs(TwipsWidth(w) - width) <= 7, qPrintable(name + " width " + QString::number(TwipsWidth(w))));
    QVERIFY2(qAbs(TwipsHeight(w) - height) <= 7, qPrintable(name + " height " + QString::number(TwipsHeight(w))));
}

struct Shown {
    QString title, disclaimer, titleLine, button;
};

Shown TextsOf(const FrmAbout& about) {
    return {about.windowTitle(), about.labelDisclaim->text(), about.labelDiscr->text(), about.cmdAboutOk->text()};
}

Shown TableTexts(Language language) {
    return {ResString(language, 103), ResString(language, 102), ResString(language, 101), ResString(language, 104)};
}

void CompareShown(const Shown& shown, const Shown& expected) {
    QCOMPARE(shown.title, expected.title);
    QCOMPARE(shown.disclaimer, expected.disclaimer);
    QCOMPARE(shown.titleLine, expected.titleLine);
    QCOMPARE(shown.button, expected.button);
}

// Runs ShowAbout and, once the window is up, hands it to `act`, which must
// close it. Returns false when ShowAbout did not return within five seconds
// (the window is then closed by force so that the test run goes on).
bool ShowAboutAndDo(const std::function<void(FrmAbout&)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<FrmAbout*>(QApplication::activeModalWidget());
        if (about == nullptr) return;
        acted = true;
        act(*about);
    });
    bool forced = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        forced = true;
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    guard.start(5000);
    QWidget parent;
    ShowAbout(&parent);
    return acted && !forced;
}

}  // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void designInTwips() {
        FrmAbout about;
        QCOMPARE(TwipsWidth(&about), 4470);
        QCOMPARE(TwipsHeight(&about), 2700);
        CompareTwips(about.labelDisclaim, 120, 120, 4212, 1932);
        CompareTwips(about.Image1, 120, 2280, 384, 384);
        CompareTwips(about.labelDiscr, 720, 2280, 2172, 492);
        CompareTwips(about.cmdAboutOk, 3360, 2160, 972, 492);

        // A fixed dialog frame: no resizing, no minimise or maximise button.
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QCOMPARE(about.windowType(), Qt::Dialog);
        QVERIFY(!(about.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(about.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(about.windowFlags() & Qt::WindowCloseButtonHint);

        QVERIFY(about.labelDisclaim->wordWrap());
        QVERIFY(about.labelDiscr->wordWrap());
        QCOMPARE(about.labelDiscr->palette().color(QPalette::WindowText), QColor(192, 0, 0));
        QCOMPARE(about.labelDisclaim->palette().color(QPalette::WindowText),
                 about.palette().color(QPalette::WindowText));

        // Tab order: the button first, then the two labels.
        QCOMPARE(about.cmdAboutOk->nextInFocusChain(), about.labelDisclaim);
        QCOMPARE(about.labelDisclaim->nextInFocusChain(), about.labelDiscr);
        QVERIFY(about.cmdAboutOk->isDefault());
    }

    void loadFillsTheWindowFromTheTable() {
        FrmAbout about;
        CompareShown(TextsOf(about), TableTexts(Language::English));
        QCOMPARE(about.windowTitle(), QString("About"));
        QCOMPARE(about.cmdAboutOk->text(), QString("Ok"));

        // The heart, icon 102, fills the picture.
        const QPixmap heart = about.Image1->pixmap();
        QVERIFY(!heart.isNull());
        const QImage image = heart.toImage();
        QCOMPARE(QColor(image.pixel(image.width() / 2, image.height() / 2)), QColor(255, 0, 0));
    }

    void textsFollowTheLanguage() {
        for (Language language : {Language::English, Language::German, Language::Dutch}) {
            ForceLanguage(language);
            FrmAbout about;
            CompareShown(TextsOf(about), TableTexts(language));
        }
        QVERIFY(ResString(Language::German, 102) != ResString(Language::English, 102));
    }

    void textsFitTheirBoxesInEveryLanguage() {
        for (Language language : {Language::English, Language::German, Language::Dutch}) {
            ForceLanguage(language);
            FrmAbout about;
            for (QLabel* label : {about.labelDisclaim, about.labelDiscr}) {
                const int needed = label->heightForWidth(label->width());
                QVERIFY2(needed <= label->height(),
                         qPrintable(QString("%1 needs %2 of %3 pixels in language %4")
                                        .arg(label->text().left(20))
                                        .arg(needed)
                                        .arg(label->height())
                                        .arg(int(language))));
                QVERIFY(label->font().pointSizeF() >= 6);
            }
            const QFontMetrics button(about.cmdAboutOk->font());
            QVERIFY(button.horizontalAdvance(about.cmdAboutOk->text()) < about.cmdAboutOk->width());
        }
    }

    void everyShowingLoadsTheTextsAgain() {
        Shown first;
        QVERIFY(ShowAboutAndDo([&](FrmAbout& about) {
            first = TextsOf(about);
            QVERIFY(about.isModal());
            QCOMPARE(about.focusWidget(), about.cmdAboutOk);
            // Whatever happens to this window stays with it.
            about.labelDisclaim->setText("changed");
            about.setWindowTitle("changed");
            about.cmdAboutOk->click();
        }));
        Shown second;
        QVERIFY(ShowAboutAndDo([&](FrmAbout& about) {
            second = TextsOf(about);
            about.cmdAboutOk->click();
        }));
        CompareShown(first, TableTexts(Language::English));
        CompareShown(second, first);

        // The language of the moment counts, not that of the first showing.
        ForceLanguage(Language::Dutch);
        Shown dutch;
        QVERIFY(ShowAboutAndDo([&](FrmAbout& about) {
            dutch = TextsOf(about);
            about.cmdAboutOk->click();
        }));
        CompareShown(dutch, TableTexts(Language::Dutch));
    }

    void enterEscapeAndTheCloseBoxCloseIt() {
        QPointer<FrmAbout> shown;
        bool clicked = false;
        QVERIFY(ShowAboutAndDo([&](FrmAbout& about) {
            shown = &about;
            connect(about.cmdAboutOk, &QPushButton::clicked, [&] { clicked = true; });
            QTest::keyClick(about.cmdAboutOk, Qt::Key_Return);
        }));
        QVERIFY(clicked);
        QVERIFY(shown.isNull());  // unloaded

        clicked = false;
        QVERIFY(ShowAboutAndDo([&](FrmAbout& about) {
            shown = &about;
            connect(about.cmdAboutOk, &QPushButton::clicked, [&] { clicked = true; });
            QTest::keyClick(about.cmdAboutOk, Qt::Key_Escape);
        }));
        QVERIFY(!clicked);
        QVERIFY(shown.isNull());

        QVERIFY(ShowAboutAndDo([&](FrmAbout& about) {
            shown = &about;
            about.close();
        }));
        QVERIFY(shown.isNull());
    }
};

MURLEN_TEST(TestAboutWindow)
#include "test_about_window.moc"
