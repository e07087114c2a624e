// Canvas: the backdrop it shows, and which mouse events follow a press.
#include "framework/canvas.h"
#include "framework/graphics.h"
#include "framework/window.h"
#include "helpers.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct CanvasFixture {
    Window w;
    Canvas* c;
    QStringList log;
    bool take = true;

    CanvasFixture()
    {
        c = &w.Add<Canvas>(QStringLiteral("PianoCV"));
        c->SetBounds(142, 450, 395, 47);
        c->MouseDown = [this](Canvas&, qint64 x, qint64 y) {
            log << QStringLiteral("down %1,%2").arg(x).arg(y);
            return take;
        };
        c->MouseDrag = [this](Canvas&, qint64 x, qint64 y) { log << QStringLiteral("drag %1,%2").arg(x).arg(y); };
        c->MouseUp = [this](Canvas&, qint64 x, qint64 y) { log << QStringLiteral("up %1,%2").arg(x).arg(y); };
        w.SetVisible(true);
    }
};

} // namespace

TEST(CanvasMouse, TakenPressIsFollowedByItsDragsAndRelease)
{
    CanvasFixture f;
    QTest::mousePress(f.c->Widget(), Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseMove(f.c->Widget(), QPoint(25, 12));
    QTest::mouseRelease(f.c->Widget(), Qt::LeftButton, {}, QPoint(30, 12));
    ASSERT_GE(f.log.size(), 2);
    EXPECT_EQ(f.log.first(), QStringLiteral("down 20,10"));
    EXPECT_EQ(f.log.last(), QStringLiteral("up 30,12"));
}

TEST(CanvasMouse, RefusedPressGivesNeitherDragsNorRelease)
{
    CanvasFixture f;
    f.take = false;
    QTest::mousePress(f.c->Widget(), Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseMove(f.c->Widget(), QPoint(25, 12));
    QTest::mouseRelease(f.c->Widget(), Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_EQ(f.log, QStringList{QStringLiteral("down 20,10")});
}

TEST(CanvasBackdrop, DrawingIntoTheBackdropShowsAfterRefresh)
{
    CanvasFixture f;
    auto own = std::make_shared<Picture>(395, 47);
    own->Image().fill(Qt::white);
    f.c->SetBackdrop(own);
    auto red = std::make_shared<Picture>(14, 47);
    red->Image().fill(Qt::red);
    own->Graphics().DrawPicture(red.get(), 16, 0, 14, 47, 0, 0, 14, 47);
    f.c->Refresh(true);
    const QImage shot = f.c->Widget()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(20, 20), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(5, 20), QColor(Qt::white));
}
