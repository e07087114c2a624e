// The keyboard through its canvas: a pressed key copied from its picture onto its
// own place, every key drawn back on release, and no release after a refused press.
// Which key a point hits is the keyboard's own test.
#include "fixture.h"

#include "window/pictures.h"

#include <QMainWindow>
#include <QPainter>
#include <QScreen>

namespace {

// What the canvas shows once the pending repaints are done: its part of the
// window's painted surface, not a fresh rendering of the widget, so a key drawn
// wrong and a redraw left out both show.
QImage OnScreen(MW& w)
{
    QCoreApplication::processEvents();
    QWidget* canvas = w.PianoCV().Widget();
    const QPoint at = canvas->mapTo(w.QtWindow(), QPoint(0, 0));
    const QPixmap shown = w.QtWindow()->screen()->grabWindow(w.QtWindow()->winId(), at.x(), at.y(), canvas->width(),
                                                             canvas->height());
    return shown.toImage().convertToFormat(QImage::Format_RGB32);
}

// The keyboard at rest with one rectangle taken from the same place of another picture.
QImage AtRestWith(const Picture& source, QRect place)
{
    QImage image = Piano()->Image().convertToFormat(QImage::Format_RGB32);
    QPainter p(&image);
    p.drawImage(place, source.Image(), place);
    return image;
}

} // namespace

TEST_F(WindowTest, PressedKeyIsCopiedFromItsPictureOntoItsPlaceAndReleaseDrawsEveryKeyBack)
{
    const QImage atRest = Piano()->Image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(OnScreen(w()), atRest);
    const struct { QPoint at; std::shared_ptr<Picture> (*source)(); QRect place; } presses[] = {
        {{3, 29}, PianoS, {2, 0, 14, 47}},       // the first white key
        {{390, 40}, PianoS, {380, 0, 14, 47}},   // the last white key
        {{11, 28}, PianoSS, {10, 0, 14, 25}},    // the first black key
        {{165, 20}, PianoSS, {164, 0, 14, 25}},  // C#4
        {{384, 3}, PianoSS, {374, 0, 14, 25}},   // the last black key
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.at.x());
        QTest::mousePress(w().PianoCV().Widget(), Qt::LeftButton, {}, press.at);
        EXPECT_EQ(OnScreen(w()), AtRestWith(*press.source(), press.place));
        QTest::mouseRelease(w().PianoCV().Widget(), Qt::LeftButton, {}, press.at);
        EXPECT_EQ(OnScreen(w()), atRest);
    }
    EXPECT_EQ(Notes().size(), 10);
}

// A press on a gap is refused: no release follows it, so a key drawn pressed by an
// earlier press stays drawn, and nothing sounds or is inserted for the gap.
TEST_F(WindowTest, RefusedPressOnAGapIsNotFollowedByARelease)
{
    QWidget* keyboard = w().PianoCV().Widget();
    QTest::mousePress(keyboard, Qt::LeftButton, {}, QPoint(160, 40));
    const QImage c4 = AtRestWith(*PianoS(), {156, 0, 14, 47});
    for (const QPoint gap : {QPoint(55, 10), QPoint(390, 10)}) {
        QTest::mousePress(keyboard, Qt::LeftButton, {}, gap);
        QTest::mouseRelease(keyboard, Qt::LeftButton, {}, gap);
        EXPECT_EQ(OnScreen(w()), c4);
    }
    EXPECT_EQ(Notes(), QStringList({"on 60 100", "off 60"}));
    EXPECT_EQ(Track(), NoteLine("3C").replace(CR, "|"));
}
