// BevelButton: the pressed state reads at a glance, at every scale.
#include "framework/controls/bevelbutton.h"

#include <QImage>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// The button as it paints itself, in device pixels at the scale.
QImage Look(BevelButton& b, qreal scale)
{
    QImage image(b.Widget()->size() * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    b.Widget()->render(&image);
    return image;
}

} // namespace

// Sampled across the middle of the button: its face, and each edge as thick as a
// point is at the scale.
TEST(BevelButtonLook, APressedButtonIsClearlyDarkerAndSunkInByItsEdgesAtOneAndTwoTimes)
{
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        BevelButton b;
        b.Widget()->resize(14, 16);
        const QImage raised = Look(b, scale);
        b.SetValue(true);
        const QImage pressed = Look(b, scale);
        const int w = pressed.width(), h = pressed.height(), mx = w / 2, my = h / 2;
        auto grey = [](const QImage& i, int x, int y) { return qGray(i.pixel(x, y)); };
        const int face = grey(pressed, mx, my);
        EXPECT_GE(grey(raised, mx, my) - face, 60) << "the face, raised and pressed";
        for (int d = 0; d < scale; ++d) {
            SCOPED_TRACE(d);
            // A shadow two points deep along the top and the left, light along the
            // bottom and the right.
            EXPECT_GE(face - grey(pressed, mx, d), 60);
            EXPECT_GE(face - grey(pressed, d, my), 60);
            EXPECT_GE(face - grey(pressed, mx, scale + d), 20);
            EXPECT_GE(face - grey(pressed, scale + d, my), 20);
            EXPECT_GE(grey(pressed, mx, h - 1 - d) - face, 40);
            EXPECT_GE(grey(pressed, w - 1 - d, my) - face, 40);
        }
        b.SetCaption(QStringLiteral("W"));
        EXPECT_NE(Look(b, scale), pressed) << "the caption shows on the pressed face";
        b.SetCaption(QString());
        b.SetValue(false);
        EXPECT_EQ(Look(b, scale), raised) << "released, it is raised again";
        // Held down by the mouse, before the click sets its value.
        QTest::mousePress(b.Widget(), Qt::LeftButton);
        EXPECT_EQ(Look(b, scale), pressed) << "held down, it looks pressed";
        QTest::mouseRelease(b.Widget(), Qt::LeftButton);
    }
}
