// The desktop of a real run: Qt's dialogs, printer and our help viewer.
#pragma once

#include <QPointer>
#include <memory>

#include "app/desktop.h"

class QPrinter;
class QWidget;

namespace murlen {

class QtPrinter;
class HelpViewer;

class QtDesktop : public Desktop {
public:
    explicit QtDesktop(QString appPath);
    ~QtDesktop() override;

    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title) override;
    std::optional<FileChoice> ShowOpen(const FileDialogSetup& setup) override;
    std::optional<FileChoice> ShowSave(const FileDialogSetup& setup) override;
    std::optional<PrintSetup> ShowPrinter(int flags) override;
    Printer& ThePrinter() override;
    void ShowHelp(const QString& helpFile, int helpCommand) override;
    QString AppPath() const override { return appPath_; }
    QString DataFolder() const override;
    QString StateFolder() const override;
    QString ConfigFolder() const override;
    QString CacheFolder() const override;
    void DoEvents() override;
    void End() override;

private:
    std::optional<FileChoice> ShowFileDialog(const FileDialogSetup& setup, bool save);
    // The window a dialog opens over.
    QWidget* DialogOwner();

    QString appPath_;
    std::unique_ptr<QPrinter> qprinter_;
    std::unique_ptr<QtPrinter> printer_;
    QPointer<HelpViewer> helpViewer_;
    QPointer<QWidget> lastOwner_;
    bool ending_ = false;
};

// The Qt name filters for a "label|pattern|label|pattern" filter text.
QStringList NameFiltersOf(const QString& filter);

}  // namespace murlen
