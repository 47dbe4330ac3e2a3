#include "app/qt_desktop.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

#include "app/controls.h"
#include "app/help_viewer.h"
#include "app/qt_printer.h"

namespace murlen {

namespace {

// A box without a title has an empty title bar. Qt shows the program's name
// for an empty title, but not for a blank.
QString NoneForEmpty(const QString& title) { return title.isEmpty() ? QStringLiteral(" ") : title; }

// A dialog that keeps to the free area of its screen at any scale, also when
// it grows (the print dialog's options): Qt sizes a dialog for its contents,
// however small the screen.
template <class Dialog>
class FittedDialog : public Dialog {
public:
    using Dialog::Dialog;

protected:
    void showEvent(QShowEvent* event) override {
        Dialog::showEvent(event);
        FitOnScreen(this, this->size(), this->pos());
    }
    void resizeEvent(QResizeEvent* event) override {
        Dialog::resizeEvent(event);
        if (this->isVisible()) FitOnScreen(this, this->size(), this->pos());
    }
};

// The print dialog of the certificate. Where the print system can pick pages
// itself, Qt shows the page range even when the program asks it not to; the
// certificate is one page, so the range goes whenever the dialog shows.
class PrintDialog : public FittedDialog<QPrintDialog> {
public:
    PrintDialog(QPrinter* printer, QWidget* parent, bool pageRange)
        : FittedDialog<QPrintDialog>(printer, parent), pageRange_(pageRange) {}

    void setVisible(bool visible) override {
        QPrintDialog::setVisible(visible);
        if (!visible || pageRange_) return;
        if (auto* range = findChild<QWidget*>(QStringLiteral("gbPrintRange"))) range->hide();
    }

private:
    bool pageRange_;
};

}  // namespace

QtDesktop::QtDesktop(QString appPath) : appPath_(std::move(appPath)) {}
QtDesktop::~QtDesktop() {
    delete helpViewer_.data();
}

QWidget* QtDesktop::DialogOwner() {
    // The window in front that holds the rest modal (the shape generator over
    // the game) asks; else the active window. Between one dialog and the next
    // no window is active until the window manager hands the focus back, so a
    // dialog that follows another opens over the window the last one did.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = QApplication::activeWindow();
    if (!owner) owner = lastOwner_;
    // A window hidden meanwhile (the generator after Return) leaves it to
    // the window it belongs to.
    while (owner && !owner->isVisible()) owner = owner->parentWidget() ? owner->parentWidget()->window() : nullptr;
    lastOwner_ = owner;
    return owner;
}

int QtDesktop::MsgBox(const QString& prompt, int style, const QString& title) {
    FittedDialog<QMessageBox> box(DialogOwner());
    box.setText(prompt);
    box.setWindowTitle(NoneForEmpty(title));
    if (style & msgbox::kCritical) box.setIcon(QMessageBox::Critical);
    if (style & msgbox::kQuestion) box.setIcon(QMessageBox::Question);
    switch (style & 7) {
    case msgbox::kYesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case msgbox::kYesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return msgbox::kYes;
    case QMessageBox::No: return msgbox::kNo;
    case QMessageBox::Cancel: return msgbox::kCancel;
    default: return msgbox::kOk;
    }
}

QString QtDesktop::InputBox(const QString& prompt, const QString& title) {
    FittedDialog<QInputDialog> dialog(DialogOwner());
    dialog.setWindowTitle(NoneForEmpty(title));
    dialog.setLabelText(prompt);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QStringList NameFiltersOf(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // "*.*" means every file; on this platform that is "*".
        QString pattern = parts[i + 1] == QLatin1String("*.*") ? QStringLiteral("*") : parts[i + 1];
        QString label = parts[i];
        label.replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
        if (!label.contains(QLatin1Char('('))) label += QStringLiteral(" (") + pattern + QLatin1Char(')');
        filters << label;
    }
    return filters;
}

std::optional<FileChoice> QtDesktop::ShowFileDialog(const FileDialogSetup& setup, bool save) {
    FittedDialog<QFileDialog> dialog(DialogOwner());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Any name, also one that does not exist: the program checks the name
    // itself and tells the player in the player's language.
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDirectory(setup.initDir);
    const QStringList filters = NameFiltersOf(setup.filter);
    dialog.setNameFilters(filters);
    if (setup.filterIndex >= 1 && setup.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[setup.filterIndex - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString path = QDir::toNativeSeparators(dialog.selectedFiles().first());
    return FileChoice{path, QFileInfo(path).fileName()};
}

std::optional<FileChoice> QtDesktop::ShowOpen(const FileDialogSetup& setup) {
    return ShowFileDialog(setup, false);
}
std::optional<FileChoice> QtDesktop::ShowSave(const FileDialogSetup& setup) {
    return ShowFileDialog(setup, true);
}

std::optional<PrintSetup> QtDesktop::ShowPrinter(int flags) {
    if (!qprinter_) qprinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    qprinter_->setCopyCount(1);
    PrintDialog dialog(qprinter_.get(), DialogOwner(), !(flags & 0x8));
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
    // 0x4: no selection, 0x8: no page numbers. The print-to-file choice stays:
    // on this platform it is the way to a PDF file.
    if (flags & 0x4) options &= ~QAbstractPrintDialog::PrintSelection;
    if (flags & 0x8) options &= ~QAbstractPrintDialog::PrintPageRange;
    dialog.setOptions(options);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    PrintSetup setup;
    setup.copies = std::max(1, qprinter_->copyCount());
    setup.orientation = qprinter_->pageLayout().orientation() == QPageLayout::Portrait ? 1 : 2;
    // The program prints every copy itself, one page each.
    qprinter_->setCopyCount(1);
    printer_ = std::make_unique<QtPrinter>(*qprinter_);
    return setup;
}

Printer& QtDesktop::ThePrinter() {
    if (!printer_) {
        if (!qprinter_) qprinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_ = std::make_unique<QtPrinter>(*qprinter_);
    }
    return *printer_;
}

void QtDesktop::ShowHelp(const QString& helpFile, int helpCommand) {
    Q_UNUSED(helpCommand);  // the viewer always opens at the contents
    if (!helpViewer_) helpViewer_ = new HelpViewer;  // a top-level window, deleted on close
    helpViewer_->Open(HelpPageFor(helpFile), DialogOwner());
}

QString QtDesktop::DataFolder() const { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

QString QtDesktop::CacheFolder() const { return QStandardPaths::writableLocation(QStandardPaths::CacheLocation); }

QString QtDesktop::ConfigFolder() const { return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation); }

QString QtDesktop::StateFolder() const {
    // Qt 6.4 knows no state location: the rule of the XDG base directories.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QLatin1Char('/') + QCoreApplication::applicationName();
}

void QtDesktop::DoEvents() { QCoreApplication::processEvents(); }

void QtDesktop::End() {
    // Closing the game window ends the program too, and comes back here.
    if (ending_) return;
    ending_ = true;
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

}  // namespace murlen
