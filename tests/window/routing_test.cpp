// Clicks delivered to the window as the desktop delivers them, at places in the
// content, so that they find their control the way a person's click does.
#include "fixture.h"

#include <QMainWindow>
#include <QWindow>

TEST_F(WindowTest, ClicksReachTheButtonsAndKeysInsideAndOutsideThePanelFrame)
{
    auto clickAt = [&](QPoint content) {
        const QPoint p = w().ContentWidget()->mapTo(w().QtWindow(), content);
        QTest::mouseClick(w().QtWindow()->windowHandle(), Qt::LeftButton, {}, p);
    };
    clickAt(QPoint(152 + 15 * 2 + 7, 527 + 8));  // BBD(2)
    EXPECT_TRUE(w().BBD(2).Value());
    clickAt(QPoint(142 + 160, 450 + 40));  // the key C4 of PianoCV
    EXPECT_TRUE(w().BinaryTa().Text().startsWith("90 3C 55"));
    clickAt(QPoint(347 + 7, 509 + 8));  // BBV(13), a child of Rectangle1
    EXPECT_EQ(w().vv, "6E");
    EXPECT_TRUE(w().BBV(13).Value());
    clickAt(QPoint(481 + 15, 509 + 10));  // "AC"
    EXPECT_EQ(w().BinaryTa().Text(), "");
}
