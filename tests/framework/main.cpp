// Test main of the framework tests: one QApplication for the whole run, and no
// message box from an unhandled exception.
#include "framework/runtime/dispatch.h"
#include "common/ownhomes.h"


#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    const RunOwnHomes homes;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    SetUnhandledExceptionReporter([](const QString& report) {
        std::fprintf(stderr, "unhandled in test: %s\n", report.toLocal8Bit().constData());
    });
    return RUN_ALL_TESTS();
}
