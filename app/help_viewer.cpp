#include "app/help_viewer.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/icons.h"
#include "app/strings.h"

namespace murlen {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(LoadResPicture(kIconApplication));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(true);
    resize(720, 640);
}

QString HelpPageFor(const QString& helpFile) {
    QString path = QDir::fromNativeSeparators(QString(helpFile).replace(QLatin1Char('\\'), QLatin1Char('/')));
    path.replace(QLatin1String("//"), QLatin1String("/"));
    if (path.endsWith(QLatin1String(".hlp"), Qt::CaseInsensitive)) path.chop(4);
    return path + QStringLiteral(".html");
}

void HelpViewer::Open(const QString& htmlPath) {
    page_ = htmlPath;
    const QFileInfo info(htmlPath);
    missing_ = !info.isFile() || !info.isReadable();
    if (missing_) {
        browser_->setHtml(QStringLiteral("<p>") + (LoadResString(123) + info.fileName() + LoadResString(124)).toHtmlEscaped() +
                          QStringLiteral("</p>"));
        setWindowTitle(LoadResString(107).remove(QLatin1Char('&')));
    } else {
        browser_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
        browser_->scrollToAnchor(QStringLiteral("contents"));
        setWindowTitle(browser_->documentTitle());
    }
    show();
    raise();
    activateWindow();
}

}  // namespace murlen
