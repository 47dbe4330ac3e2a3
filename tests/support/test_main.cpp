// Runs every registered test class of the layer; the exit code is the number of
// failed classes. Arguments are passed on to Qt Test (e.g. -v2, a function name
// only applies when one class is selected with MURLEN_TEST_CLASS).
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "support/test_registry.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // What a window with the real desktop keeps of the user's (data, state,
    // settings, cache) goes to folders of this run, never to the user's own.
    const QTemporaryDir userData, userState, userConfig, userCache;
    qputenv("XDG_DATA_HOME", userData.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", userConfig.path().toUtf8());
    qputenv("XDG_CACHE_HOME", userCache.path().toUtf8());
    qputenv("XDG_STATE_HOME", userState.path().toUtf8());
    QApplication app(argc, argv);
    const QByteArray only = qgetenv("MURLEN_TEST_CLASS");
    int failed = 0;
    for (const auto& factory : murlen::testing::Registry()) {
        std::unique_ptr<QObject> test = factory();
        if (!only.isEmpty() && only != test->metaObject()->className()) continue;
        if (QTest::qExec(test.get(), argc, argv) != 0) ++failed;
    }
    return failed;
}
