#include "app/help_viewer.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/icons.h"
#include "app/strings.h"

namespace murlen {

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
    resize(720, 640);
}

void HelpViewer::Open(const QString& htmlPath) {
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
    show();
    raise();
    activateWindow();
}

void HelpViewer::ShowContents() {
    // The contents stand at the top of every help page.
    browser_->verticalScrollBar()->setValue(0);
    browser_->horizontalScrollBar()->setValue(0);
}

}  // namespace murlen
