// Test main of the shell tests: one QApplication for the run, offscreen unless a
// display is asked for, a silent note output, and unhandled-exception reports
// collected for the tests.
#include "framework/runtime/dispatch.h"
#include "framework/sound/noteoutput.h"
#include "framework/sound/recordingnoteoutput.h"
#include "common/ownhomes.h"


#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

QStringList& Reports()
{
    static QStringList reports;
    return reports;
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const RunOwnHomes homes;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // Start-up is run in a fresh process of its own (its quit is for good).
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // No sound device is needed to test the shell.
    SetNoteOutput(std::make_shared<RecordingNoteOutput>());
    SetUnhandledExceptionReporter([](const QString& report) {
        std::fprintf(stderr, "unhandled in test: %s\n", report.toLocal8Bit().constData());
        Reports() << report;
    });
    return RUN_ALL_TESTS();
}
