// Test main of the window and picture tests: one QApplication for the run,
// offscreen unless a display is asked for, and unhandled exceptions collected instead of shown.
#include "framework/runtime/dispatch.h"
#include "common/ownhomes.h"


#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const RunOwnHomes homes;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    SetUnhandledExceptionReporter([](const QString& report) {
        std::fprintf(stderr, "unhandled in test: %s\n", report.toLocal8Bit().constData());
        ADD_FAILURE() << "unhandled exception: " << report.toStdString();
    });
    return RUN_ALL_TESTS();
}
