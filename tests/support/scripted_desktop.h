// A desktop for tests: answers every question from a queue and records what was
// asked, so a test can check the exact sequence of messages and dialogs.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "app/desktop.h"
#include "app/picture_box.h"
#include "app/printer.h"

namespace murlen::testing {

struct AskedMessage {
    QString prompt;
    int style = 0;
    QString title;
    bool duringDrag = false;  // asked inside a drag's event loop
};

class ScriptedDesktop : public Desktop {
public:
    explicit ScriptedDesktop(QString appPath) : appPath_(std::move(appPath)) {}

    // --- What the script answers ---------------------------------------------
    std::deque<int> msgBoxAnswers;                     // default: OK / Yes when empty
    std::deque<QString> inputAnswers;                  // default: empty (cancel)
    std::deque<FileChoice> fileAnswers;                // an empty FileChoice or none left: cancel
    std::deque<std::optional<PrintSetup>> printAnswers;  // default: cancel
    Printer* printer = nullptr;                        // what ThePrinter() gives
    std::function<void()> onDoEvents;                  // runs at every DoEvents

    // --- What was asked ------------------------------------------------------
    std::vector<AskedMessage> messages;
    QStringList inputPrompts;
    std::vector<FileDialogSetup> openDialogs;
    std::vector<FileDialogSetup> saveDialogs;
    std::vector<int> printDialogs;
    QStringList helpFiles;
    std::vector<int> helpCommands;
    int doEventsCount = 0;
    bool ended = false;

    int MsgBox(const QString& prompt, int style, const QString& title) override {
        messages.push_back({prompt, style, title, PictureBox::Dragging()});
        if (msgBoxAnswers.empty()) return (style & 7) == 0 ? msgbox::kOk : msgbox::kYes;
        const int answer = msgBoxAnswers.front();
        msgBoxAnswers.pop_front();
        return answer;
    }
    QString InputBox(const QString& prompt, const QString&) override {
        inputPrompts << prompt;
        if (inputAnswers.empty()) return QString();
        QString answer = inputAnswers.front();
        inputAnswers.pop_front();
        return answer;
    }
    std::optional<FileChoice> ShowOpen(const FileDialogSetup& setup) override {
        openDialogs.push_back(setup);
        return NextFile();
    }
    std::optional<FileChoice> ShowSave(const FileDialogSetup& setup) override {
        saveDialogs.push_back(setup);
        return NextFile();
    }
    std::optional<PrintSetup> ShowPrinter(int flags) override {
        printDialogs.push_back(flags);
        if (printAnswers.empty()) return std::nullopt;
        auto answer = printAnswers.front();
        printAnswers.pop_front();
        return answer;
    }
    Printer& ThePrinter() override { return *printer; }
    void ShowHelp(const QString& helpFile, int helpCommand) override {
        helpFiles << helpFile;
        helpCommands.push_back(helpCommand);
    }
    QString AppPath() const override { return appPath_; }
    QString DataFolder() const override { return appPath_ + "/user data"; }
    void DoEvents() override {
        ++doEventsCount;
        if (onDoEvents) onDoEvents();
    }
    void End() override { ended = true; }

    QStringList Prompts() const {
        QStringList prompts;
        for (const auto& m : messages) prompts << m.prompt;
        return prompts;
    }

private:
    std::optional<FileChoice> NextFile() {
        if (fileAnswers.empty()) return std::nullopt;
        const FileChoice answer = fileAnswers.front();
        fileAnswers.pop_front();
        if (answer.fileName.isEmpty()) return std::nullopt;
        return answer;
    }
    QString appPath_;
};

}  // namespace murlen::testing
