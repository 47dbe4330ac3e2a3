#include "about/frm_about.h"

#include <QLabel>
#include <QPushButton>

#include "app/icons.h"
#include "app/strings.h"
#include "app/twips.h"

namespace murlen {
namespace {

// The window's client area in twips.
constexpr int kClientWidth = 4470;
constexpr int kClientHeight = 2700;

// The design was made for a narrower font than most desktops have today. A
// text that would run out of its box is set a little smaller until it fits, so
// that the fixed layout holds in every language.
void FitTextToBox(QLabel* label) {
    constexpr double kSmallestPointSize = 6.0;
    QFont font = label->parentWidget()->font();
    label->setFont(font);
    while (label->heightForWidth(label->width()) > label->height() && font.pointSizeF() > kSmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
    }
}

}  // namespace

FrmAbout::FrmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    BuildDesign();
    Form_Load();
}

void FrmAbout::BuildDesign() {
    setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
    setSizeGripEnabled(false);
    setWindowTitle(QStringLiteral("About"));

    // Created in the tab order of the design: the button, then the two labels.
    // Labels never take the focus, so Tab stays on the button.
    cmdAboutOk = new QPushButton(this);
    SetTwipsGeometry(cmdAboutOk, 3360, 2160, 972, 492);
    cmdAboutOk->setDefault(true);  // Enter; Escape closes the dialog anyway
    connect(cmdAboutOk, &QPushButton::clicked, this, &FrmAbout::cmdAboutOk_Click);

    labelDisclaim = new QLabel(this);
    SetTwipsGeometry(labelDisclaim, 120, 120, 4212, 1932);
    labelDisclaim->setTextFormat(Qt::PlainText);
    labelDisclaim->setWordWrap(true);
    labelDisclaim->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    labelDiscr = new QLabel(this);
    SetTwipsGeometry(labelDiscr, 720, 2280, 2172, 492);
    labelDiscr->setTextFormat(Qt::PlainText);
    labelDiscr->setWordWrap(true);
    labelDiscr->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette darkRed = labelDiscr->palette();
    darkRed.setColor(QPalette::WindowText, QColor(192, 0, 0));
    labelDiscr->setPalette(darkRed);

    Image1 = new QLabel(this);
    SetTwipsGeometry(Image1, 120, 2280, 384, 384);
    Image1->setAlignment(Qt::AlignCenter);

    cmdAboutOk->setFocus();
}

void FrmAbout::Form_Load() {
    labelDiscr->setText(LoadResString(101));
    labelDisclaim->setText(LoadResString(102));
    setWindowTitle(LoadResString(103));
    cmdAboutOk->setText(LoadResString(104));
    Image1->setPixmap(LoadResPicture(kIconHeart).pixmap(Image1->size()));
    FitTextToBox(labelDisclaim);
    FitTextToBox(labelDiscr);
}

void FrmAbout::cmdAboutOk_Click() { accept(); }

void ShowAbout(QWidget* parent) {
    // A new window for every showing, gone when it is closed: its load step
    // runs each time.
    FrmAbout about(parent);
    about.exec();
}

}  // namespace murlen
