// A small help viewer standing in for the platform's: a window of its own that
// shows an HTML help page from its start (the contents), without blocking the
// game. Links inside the page are followed; Back returns along them and
// Contents goes to the top. A missing page is reported in the viewer.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace murlen {

// The HTML help page that stands for a help file name: the program folder's
// "\NAME.hlp" read with the platform's separator and the extension ".html".
QString HelpPageFor(const QString& helpFile);

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);
    // Shows `htmlPath` from its top and brings the window to the front. A
    // window not yet shown opens beside `opener` where the screen has room.
    void Open(const QString& htmlPath, const QWidget* opener = nullptr);
    QString ShownPage() const { return page_; }
    bool ShowsMissingPage() const { return missing_; }
    QTextBrowser* Browser() const { return browser_; }
    QToolButton* BackButton() const { return back_; }
    QToolButton* ContentsButton() const { return contents_; }

private:
    void Place(const QWidget* opener);
    void ShowContents();

    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* contents_;
    QString page_;
    bool missing_ = false;
};

}  // namespace murlen
