// A desktop for tests: answers every question from a queue and records what was
// asked, so a test can check the exact sequence of messages and dialogs.
#pragma once

#include <QStringList>
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

    // --- What the script answers; with a queue empty, the default ------------
    std::deque<int> msgBoxAnswers;                       // OK, or Yes
    std::deque<QString> inputAnswers;                    // cancel
    std::deque<FileChoice> fileAnswers;                  // cancel
    std::deque<std::optional<PrintSetup>> printAnswers;  // cancel
    Printer* printer = nullptr;                          // what ThePrinter() gives
    std::function<void()> onDoEvents;                    // runs at every DoEvents

    // --- What was asked ------------------------------------------------------
    std::vector<AskedMessage> messages;
    int openDialogs = 0;
    std::vector<int> printDialogs;  // their flags
    QStringList helpFiles;
    bool ended = false;

    int MsgBox(const QString& prompt, int style, const QString& title) override {
        messages.push_back({prompt, style, title, PictureBox::Dragging()});
        return Next(msgBoxAnswers, (style & 7) == 0 ? msgbox::kOk : msgbox::kYes);
    }
    QString InputBox(const QString&, const QString&) override { return Next(inputAnswers, QString()); }
    std::optional<FileChoice> ShowOpen(const FileDialogSetup&) override {
        ++openDialogs;
        return Next(fileAnswers, std::optional<FileChoice>());
    }
    std::optional<FileChoice> ShowSave(const FileDialogSetup&) override {
        return Next(fileAnswers, std::optional<FileChoice>());
    }
    std::optional<PrintSetup> ShowPrinter(int flags) override {
        printDialogs.push_back(flags);
        return Next(printAnswers, std::optional<PrintSetup>());
    }
    Printer& ThePrinter() override { return *printer; }
    void ShowHelp(const QString& helpFile, int) override { helpFiles << helpFile; }
    QString AppPath() const override { return appPath_; }
    QString DataFolder() const override { return appPath_ + "/user data"; }
    QString StateFolder() const override { return appPath_ + "/user state"; }
    QString ConfigFolder() const override { return appPath_ + "/user config"; }
    QString CacheFolder() const override { return appPath_ + "/user cache"; }
    void DoEvents() override {
        if (onDoEvents) onDoEvents();
    }
    void End() override { ended = true; }

    QStringList Prompts() const {
        QStringList prompts;
        for (const auto& m : messages) prompts << m.prompt;
        return prompts;
    }

private:
    template <class T, class U>
    static U Next(std::deque<T>& queue, U fallback) {
        if (queue.empty()) return fallback;
        U answer = queue.front();
        queue.pop_front();
        return answer;
    }
    QString appPath_;
};

}  // namespace murlen::testing
