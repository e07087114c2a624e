// Closing the main window while a track plays, in a child process: the event loop
// ends with status 0 and nothing is left waiting.
#include "fixture.h"

#include "framework/runtime.h"

#include <QTest>
#include <QTimer>
#include <cstdlib>

namespace {

// Plays through the synthesizer the program uses, closes the window from the running
// event loop and exits with the status the loop ends with. A watchdog turns a hang
// into a status of its own.
[[noreturn]] void PlayCloseAndRun(MW& w)
{
    SetNoteOutput(nullptr);
    const QString line = QStringLiteral("90 3C 55 83 18 90 3C 00 48 ") + QChar(13);
    w.BinaryTa().SetText(line + line + line);
    QTest::mouseClick(w.NotePlayButton().Widget(), Qt::LeftButton);
    if (w.TM0().Mode() == Timer::ModeOff)
        std::_Exit(2);
    QTimer::singleShot(50, [&w] { w.Close(); });
    QTimer::singleShot(20000, [] { std::_Exit(3); });
    std::exit(RuntimeRun());
}

} // namespace

using PlaybackClosing = WindowTest;

TEST_F(PlaybackClosing, ClosingTheWindowWhilePlayingQuitsWithStatusZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(PlayCloseAndRun(w()), ::testing::ExitedWithCode(0), "");
}
