// frmAbout, the About window: the disclaimer, the heart and the game's title
// line, and an Ok button. It is built afresh for every showing, so its texts
// always come from the string table in the language of the moment.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace murlen {

class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* parent = nullptr);

    // --- Controls -----------------------------------------------------------
    QLabel* labelDisclaim = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* labelDiscr = nullptr;
    QPushButton* cmdAboutOk = nullptr;

    // --- Event handlers -----------------------------------------------------
    // Fills the window from the string table and the icons; runs at each load.
    void Form_Load();
    void cmdAboutOk_Click();

private:
    void BuildDesign();
};

// Shows the About window modally over `parent` and returns when it is closed.
void ShowAbout(QWidget* parent);

}  // namespace murlen
