// Timer: modes, period restarts, period 0, and a raising action.
#include "framework/exceptions.h"
#include "framework/timer.h"
#include "helpers.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

TEST(TimerModes, RepeatingFiresAgainAndAgainUntilSwitchedOff)
{
    Timer t;
    int fired = 0;
    t.Action = [&](Timer& s) {
        if (++fired == 3)
            s.SetMode(Timer::ModeOff);
    };
    t.SetPeriod(1);
    t.SetMode(Timer::ModeMultiple);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired >= 3; }, 5000));
    QTest::qWait(30);
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(t.Mode(), Timer::ModeOff);
}

TEST(TimerModes, OffTimerNeverFires)
{
    Timer t;
    int fired = 0;
    t.Action = [&](Timer&) { ++fired; };
    t.SetPeriod(0);
    QTest::qWait(20);
    EXPECT_EQ(fired, 0);
}

TEST(TimerModes, SingleFiresOnceAndSwitchesItselfOff)
{
    Timer t;
    int fired = 0;
    t.Action = [&](Timer&) { ++fired; };
    t.SetPeriod(0);
    t.SetMode(Timer::ModeSingle);
    QTest::qWait(30);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(t.Mode(), Timer::ModeOff);
}

TEST(TimerPeriod, ZeroFiresAsSoonAsTheEventLoopCan)
{
    Timer t;
    int fired = 0;
    t.Action = [&](Timer&) { ++fired; };
    t.SetMode(Timer::ModeMultiple);
    t.SetPeriod(0);
    EXPECT_EQ(fired, 0);  // never inside the setter
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_GE(fired, 1);
    t.SetMode(Timer::ModeOff);
}

TEST(TimerPeriod, SettingThePeriodRestartsTheWait)
{
    Timer t;
    bool fired = false;
    t.Action = [&](Timer&) { fired = true; };
    t.SetPeriod(300);
    t.SetMode(Timer::ModeMultiple);
    QTest::qWait(200);
    t.SetPeriod(300);  // counted again from here
    QTest::qWait(200);
    EXPECT_FALSE(fired);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired; }, 2000));
    t.SetMode(Timer::ModeOff);
}

TEST(TimerAction, RaisingActionIsReportedAndTheTimerGoesOn)
{
    ReportCollector c;
    Timer t;
    int fired = 0;
    t.Action = [&](Timer& s) {
        if (++fired == 2)
            s.SetMode(Timer::ModeOff);
        throw NilObjectException();
    };
    t.SetMode(Timer::ModeMultiple);
    t.SetPeriod(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired >= 2; }, 5000));
    EXPECT_EQ(c.reports.size(), 2);
}
