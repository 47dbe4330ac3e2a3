// Real pointer and keyboard input for the tests that play like a person: a
// gesture is handed to xdotool, which plays it on the test's own X display
// (tests/on_x_display.sh) while Qt's event loop runs here, inside drags and
// dialogs too. Elsewhere the tests that need it are skipped.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace murlen::testing {

inline bool OnRealDisplay() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

class RealInput {
public:
    RealInput& MoveTo(QPoint global) { return Do({"mousemove", QString::number(global.x()), QString::number(global.y())}, 0.05); }
    RealInput& Press(int button = 1) { return Do({"mousedown", QString::number(button)}); }
    RealInput& Release(int button = 1) { return Do({"mouseup", QString::number(button)}); }
    RealInput& Click(int button = 1) { return Press(button).Release(button); }
    // From the pointer's place to `global` in small steps, as a hand moves.
    RealInput& GlideTo(QPoint from, QPoint to, int steps = 8) {
        for (int step = 1; step <= steps; ++step) MoveTo(from + (to - from) * step / steps);
        return *this;
    }
    // Press at `from`, glide to `to`, let go.
    RealInput& Drag(QPoint from, QPoint to, int button = 1) {
        return MoveTo(from).Press(button).GlideTo(from, to).Sleep(0.2).Release(button);
    }
    // The pointer to `at` in the window whose title matches `title`, once it shows.
    RealInput& MoveOver(const QString& title, QPoint at) {
        return Alone({"search", "--sync", "--onlyvisible", "--name", title, "mousemove", "--window", "%1",
                      QString::number(at.x()), QString::number(at.y())});
    }
    // Waits until a window whose title matches `title` shows, and gives it the keys.
    RealInput& WaitFor(const QString& title) {
        return Alone({"search", "--sync", "--onlyvisible", "--name", title}).Sleep(0.5);
    }
    // The window's size set as a program would, with no window manager asked.
    RealInput& WindowSize(const QWidget* window, QSize size) {
        return Do({"windowsize", QString::number(window->winId()), QString::number(size.width()), QString::number(size.height())}, 0.05);
    }
    RealInput& KeyDown(const QString& key) { return Do({"keydown", key}); }
    RealInput& KeyUp(const QString& key) { return Do({"keyup", key}); }
    RealInput& Key(const QString& keys, int times = 1) {
        QStringList command{"key", "--delay", "30"};
        for (int i = 0; i < times; ++i) command << keys;
        return Do(command);
    }
    // Letters, digits and dots, key by key (xdotool's own "type" would take the
    // rest of the gesture for text).
    RealInput& Type(const QString& text) {
        QStringList keys{"key", "--delay", "30"};
        for (QChar c : text) keys << (c == '.' ? QString("period") : QString(c));
        return Do(keys);
    }
    RealInput& Sleep(double seconds) {
        steps_.back() << "sleep" << QString::number(seconds);
        return *this;
    }

    // Plays the gesture and returns when xdotool has played all of it. Dialogs
    // that open meanwhile get the keyboard, and the window gets it back when
    // they close, as a window manager would do; a dialog still open well after
    // the gesture is closed, and the test fails.
    void Play() {
        steps_.back() << "sleep" << "0.3";
        QProcess xdotool;
        QElapsedTimer sinceEnd;
        bool stuck = false;
        const QPointer<QWidget> home = QApplication::activeWindow();
        QTimer windowManager;
        QObject::connect(&windowManager, &QTimer::timeout, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (dialog && !dialog->isActiveWindow()) dialog->activateWindow();
            if (!dialog && !QApplication::activeWindow() && home) home->activateWindow();
            if (xdotool.state() != QProcess::NotRunning) return;
            if (!sinceEnd.isValid()) sinceEnd.start();
            if (dialog && sinceEnd.hasExpired(5000)) {
                stuck = true;
                dialog->close();
            }
        });
        windowManager.start(50);
        // One xdotool after the other, in a shell of their own, so that they go
        // on while a modal window runs its own event loop here.
        QStringList runs;
        for (const QStringList& step : std::as_const(steps_)) {
            if (step.isEmpty()) continue;
            QString run = QStringLiteral("xdotool");
            for (QString argument : step) run += " '" + argument.replace("'", "'\\''") + "'";
            runs << run;
        }
        xdotool.start(QStringLiteral("sh"), {"-c", runs.join(" && ")});
        QVERIFY2(xdotool.waitForStarted(), "no shell");
        QDeadlineTimer deadline(60000);
        while (xdotool.state() != QProcess::NotRunning && !deadline.hasExpired()) QTest::qWait(20);
        steps_ = {{}};
        QGuiApplication::sync();  // every event xdotool made is taken in, however busy the machine
        QTest::qWait(100);        // what the last events started
        QVERIFY2(xdotool.state() == QProcess::NotRunning, "xdotool did not finish");
        QVERIFY2(!stuck, "a dialog stayed open after the gesture");
    }

private:
    RealInput& Do(const QStringList& command, double pause = 0.1) {
        steps_.back() << command;
        return Sleep(pause);
    }
    // A command played by an xdotool of its own: a search sends the rest of
    // its xdotool's commands to the window it found.
    RealInput& Alone(const QStringList& command) {
        steps_ << command << QStringList();
        return *this;
    }
    QList<QStringList> steps_{{}};  // xdotool's arguments, one run after the other
};

// The centre of a widget on the screen.
inline QPoint CentreOf(const QWidget* widget) { return widget->mapToGlobal(widget->rect().center()); }

// A place on the client area where no control lies, with room for a pool
// piece to its lower right: the window's background.
inline QPoint Background(const QWidget* client) {
    const auto free = [client](int x, int y) { return !client->childAt(x, y) && !client->childAt(x + 40, y + 40); };
    for (int y = client->height() - 45; y > 0; y -= 5)
        for (int x = client->width() - 45; x > 0; x -= 5)
            if (free(x, y) && free(x + 40, y) && free(x, y + 40)) return client->mapToGlobal(QPoint(x, y));
    return {};
}

// A window's title as the window manager reads it.
inline QString TitleOnScreen(const QWidget* window) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {"getwindowname", QString::number(window->winId())});
    xdotool.waitForFinished(5000);
    QString title = QString::fromUtf8(xdotool.readAllStandardOutput());
    if (title.endsWith(QLatin1Char('\n'))) title.chop(1);
    return title;
}

}  // namespace murlen::testing
