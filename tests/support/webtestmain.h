#pragma once

#include <QApplication>
#include <QTest>

// main() for tests that run the web engine: no sandbox (tests run as root
// in CI) and shared GL contexts, as the engine wants them set up before the
// application object exists.
#define QUILLON_WEB_TEST_MAIN(TestClass)                                                                               \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");                                                                   \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                                    \
        QApplication app(argc, argv);                                                                                  \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
