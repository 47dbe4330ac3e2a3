// Everything the windows ask of the desktop beyond their own widgets: message
// and input boxes, file and print dialogs, the printer, help, the program
// folder, running pending events and ending the program. The real one wraps Qt;
// tests put a scripted one in its place that answers from a queue and records
// every question.
#pragma once

#include <QString>
#include <optional>

namespace murlen {

class Printer;

// Message box styles and answers.
namespace msgbox {
constexpr int kOkOnly = 0;
constexpr int kYesNoCancel = 3;
constexpr int kYesNo = 4;
constexpr int kCritical = 16;
constexpr int kQuestion = 32;
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;
}  // namespace msgbox

struct FileDialogSetup {
    // Label and pattern pairs joined by "|": "Games (*.kyp)|*.kyp".
    QString filter;
    int filterIndex = 1;  // counts from 1
    QString initDir;
    int flags = 0;  // 4: hide the read-only box
};

struct FileChoice {
    QString fileName;   // full path
    QString fileTitle;  // name without folder
};

struct PrintSetup {
    int copies = 1;
    int orientation = 1;  // 1 portrait, 2 landscape
};

constexpr int kHelpContents = 3;

class Desktop {
public:
    virtual ~Desktop() = default;

    // Returns one of the msgbox answers. An empty title leaves the title bar empty.
    virtual int MsgBox(const QString& prompt, int style, const QString& title) = 0;
    // The typed text; an empty text when cancelled.
    virtual QString InputBox(const QString& prompt, const QString& title) = 0;

    // Nothing when the user cancels.
    virtual std::optional<FileChoice> ShowOpen(const FileDialogSetup& setup) = 0;
    virtual std::optional<FileChoice> ShowSave(const FileDialogSetup& setup) = 0;

    // The print dialog; nothing when cancelled. After it, Printer() is the
    // chosen printer with a fresh document.
    virtual std::optional<PrintSetup> ShowPrinter(int flags) = 0;
    virtual Printer& ThePrinter() = 0;

    // Opens a help file at its contents (command 3) without waiting for it.
    virtual void ShowHelp(const QString& helpFile, int helpCommand) = 0;

    // The program folder, without a trailing separator.
    virtual QString AppPath() const = 0;
    // The folder for what the program keeps of the user's own (best times).
    virtual QString DataFolder() const = 0;
    // The folder for the program's own state, which is no file of the user's
    // (the game in progress kept against a crash).
    virtual QString StateFolder() const = 0;
    // The folder for the program's settings (the window's place, the last
    // figure played).
    virtual QString ConfigFolder() const = 0;
    // The folder for what the program can always work out again (the
    // difficulty of figures once rated).
    virtual QString CacheFolder() const = 0;

    // Runs pending window events before the caller goes on.
    virtual void DoEvents() = 0;

    // Ends the program: every window closes without further questions. The
    // caller returns at once.
    virtual void End() = 0;
};

}  // namespace murlen
