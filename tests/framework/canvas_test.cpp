// Canvas: only a press that MouseDown takes is followed by its drags and its
// mouse-up; a refused press, and one whose handler raises, by neither.
#include "framework/controls/canvas.h"
#include "framework/runtime/dispatch.h"
#include "framework/runtime/exceptions.h"

#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

TEST(Canvas, OnlyATakenPressIsFollowedByItsDragsAndItsMouseUp)
{
    QStringList reports;
    UnhandledExceptionReporter previous =
        SetUnhandledExceptionReporter([&](const QString& report) { reports << report; });
    enum Answer { Take, Refuse, Raise };
    const struct {
        Answer answer;
        QStringList events;
    } cases[] = {
        {Take, {"down 5 6", "drag 7 8", "up 9 10"}},
        {Refuse, {"down 5 6"}},
        {Raise, {"down 5 6"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        Canvas canvas;
        canvas.Widget()->resize(20, 20);
        QStringList events;
        auto log = [&](const char* what, qint64 x, qint64 y) {
            events << QStringLiteral("%1 %2 %3").arg(what).arg(x).arg(y);
        };
        canvas.MouseDown = [&](Canvas&, qint64 x, qint64 y) {
            log("down", x, y);
            if (c.answer == Raise)
                throw NilObjectException();
            return c.answer == Take;
        };
        canvas.MouseDrag = [&](Canvas&, qint64 x, qint64 y) { log("drag", x, y); };
        canvas.MouseUp = [&](Canvas&, qint64 x, qint64 y) { log("up", x, y); };
        QTest::mousePress(canvas.Widget(), Qt::LeftButton, {}, QPoint(5, 6));
        QTest::mouseMove(canvas.Widget(), QPoint(7, 8));
        QTest::mouseRelease(canvas.Widget(), Qt::LeftButton, {}, QPoint(9, 10));
        EXPECT_EQ(events, c.events);
    }
    SetUnhandledExceptionReporter(std::move(previous));
    EXPECT_EQ(reports.size(), 1) << "the raising handler is reported";
}
