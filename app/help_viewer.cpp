#include "app/help_viewer.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QScrollBar>
#include <QStyle>
#include <QTextBrowser>
#include <QTextObjectInterface>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/controls.h"
#include "app/icons.h"
#include "app/strings.h"

namespace murlen {

namespace {

// Shows the pictures of a help page. On a screen of a higher pixel density a
// picture comes from its copy drawn at twice the size ("help_red@2x.png") where
// there is one, so that it is as sharp as the text; and a picture wider than
// the page is shown smaller, so that the page never scrolls sideways.
class HelpPictureHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument* document, int, const QTextFormat& format) override {
        const QSizeF natural = Picture(document, format, 1).size();
        const qreal room = document->textWidth() - 2 * document->documentMargin();
        return room > 0 && natural.width() > room ? natural * (room / natural.width()) : natural;
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int, const QTextFormat& format) override {
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        const QPixmap picture = Picture(document, format, painter->device()->devicePixelRatioF());
        painter->drawPixmap(rect, picture, picture.rect());
        painter->restore();
    }

private:
    // The picture as loaded, whatever its pixel ratio: the page lays it out
    // by the size of the plain copy, and drawing fills the place it was given.
    static QPixmap Picture(QTextDocument* document, const QTextFormat& format, qreal pixelRatio) {
        const QString name = format.toImageFormat().name();
        const QString twice = QString(name).insert(name.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
        const QPixmap sharp = pixelRatio > 1 ? document->resource(QTextDocument::ImageResource, QUrl(twice)).value<QPixmap>() : QPixmap();
        return sharp.isNull() ? document->resource(QTextDocument::ImageResource, QUrl(name)).value<QPixmap>() : sharp;
    }
};

}  // namespace

QString HelpPageFor(const QString& helpFile) {
    QString path = QDir::fromNativeSeparators(QString(helpFile).replace(QLatin1Char('\\'), QLatin1Char('/')));
    path.replace(QLatin1String("//"), QLatin1String("/"));
    if (path.endsWith(QLatin1String(".hlp"), Qt::CaseInsensitive)) path.chop(4);
    return path + QStringLiteral(".html");
}

HelpViewer::HelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window),
      browser_(new QTextBrowser(this)),
      back_(new QToolButton(this)),
      contents_(new QToolButton(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(LoadResPicture(kIconApplication));

    back_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    back_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back_->setEnabled(false);
    contents_->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
    contents_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(contents_, &QToolButton::clicked, this, &HelpViewer::ShowContents);
    // Without a window manager there is no close box: Escape closes the help.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 0);
    buttons->addWidget(back_);
    buttons->addWidget(contents_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(true);
    browser_->document()->documentLayout()->registerHandler(QTextFormat::ImageObject, new HelpPictureHandler(browser_));
}

void HelpViewer::Open(const QString& htmlPath, const QWidget* opener) {
    // Button texts follow the language like every other text.
    back_->setText(LoadResString(195));
    contents_->setText(LoadResString(196));

    page_ = htmlPath;
    const QFileInfo info(htmlPath);
    missing_ = !info.isFile() || !info.isReadable();
    if (missing_) {
        browser_->clear();
        browser_->clearHistory();
        browser_->setHtml(QStringLiteral("<p>") + (LoadResString(123) + info.fileName() + LoadResString(124)).toHtmlEscaped() +
                          QStringLiteral("</p>"));
        setWindowTitle(LoadResString(107).remove(QLatin1Char('&')));
    } else {
        const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        if (browser_->source() == url)
            browser_->reload();  // the page may have been left at any place
        else
            browser_->setSource(url);
        setWindowTitle(browser_->documentTitle());
    }
    contents_->setEnabled(!missing_);
    ShowContents();
    if (!isVisible()) Place(opener);
    show();
    raise();
    activateWindow();
}

void HelpViewer::Place(const QWidget* opener) {
    const QSize designed(720, 640);
    if (!opener || !screen()) {
        FitOnScreen(this, designed);
        return;
    }
    // Beside the window it was opened from, right or left, so that both stay
    // in sight; where the screen has no room for that, at its right edge.
    const QRect free = screen()->availableGeometry(), beside = opener->frameGeometry();
    QPoint topLeft = beside.topLeft();
    if (free.right() - beside.right() >= designed.width())
        topLeft.setX(beside.right() + 1);
    else if (beside.left() - free.left() >= designed.width())
        topLeft.setX(beside.left() - designed.width());
    else
        topLeft.setX(free.right() + 1 - designed.width());
    FitOnScreen(this, designed, topLeft);
}

void HelpViewer::ShowContents() {
    // The contents stand at the top of every help page.
    browser_->verticalScrollBar()->setValue(0);
    browser_->horizontalScrollBar()->setValue(0);
}

}  // namespace murlen

#include "help_viewer.moc"
