// The 32 picture accessors (each opens its own resource once and shares it; a
// picture not found is asked for again), and the three keyboard pictures checked
// pixel by pixel against the key layout the canvas copies from.
#include "window/pictures.h"

#include <QImage>
#include <algorithm>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <set>

// First in this file, so that it runs before anything has opened PianoSS.
TEST(Pictures, APictureNotFoundIsAskedForAgainAndOnceFoundIsKept)
{
    Q_CLEANUP_RESOURCE(pictures);
    EXPECT_EQ(PianoSS(), nullptr);
    EXPECT_EQ(PianoSS(), nullptr);
    Q_INIT_RESOURCE(pictures);
    const std::shared_ptr<Picture> found = PianoSS();
    ASSERT_NE(found, nullptr);
    Q_CLEANUP_RESOURCE(pictures);
    EXPECT_EQ(PianoSS(), found) << "a found picture is not asked for again";
    Q_INIT_RESOURCE(pictures);
}

TEST(Pictures, EachAccessorSharesOneObjectOfItsOwnResource)
{
#define QV_ROW(NAME) {#NAME, NAME}
    const struct {
        const char* name;
        std::shared_ptr<Picture> (*get)();
    } accessors[] = {
        QV_ROW(Piano), QV_ROW(PianoS), QV_ROW(PianoSS), QV_ROW(BackPic1), QV_ROW(kyuhu), QV_ROW(Onpu0),
        QV_ROW(Onpu1), QV_ROW(Onpu2), QV_ROW(Onpu3), QV_ROW(Onpu4), QV_ROW(Onpu5), QV_ROW(Onpu6), QV_ROW(Onpu7),
        QV_ROW(Onpu8), QV_ROW(Onpu9), QV_ROW(OnpuA), QV_ROW(OnpuB), QV_ROW(OnpuC), QV_ROW(OnpuD), QV_ROW(OnpuE),
        QV_ROW(OnpuF), QV_ROW(vel0), QV_ROW(Vel1), QV_ROW(Vel2), QV_ROW(Vel4), QV_ROW(Vel6), QV_ROW(Vel8),
        QV_ROW(Vel9), QV_ROW(VelA), QV_ROW(VelC), QV_ROW(VelD), QV_ROW(VelF),
    };
#undef QV_ROW
    std::set<const Picture*> objects;
    for (const auto& a : accessors) {
        SCOPED_TRACE(a.name);
        const std::shared_ptr<Picture> shared = a.get();
        ASSERT_NE(shared, nullptr);
        EXPECT_EQ(a.get(), shared);
        // The resource of its own name, and no other: a fresh open looks the same.
        const std::shared_ptr<Picture> fresh = Picture::OpenFromApp(QString::fromLatin1(a.name));
        EXPECT_TRUE(fresh && fresh->Image() == shared->Image());
        EXPECT_TRUE(objects.insert(shared.get()).second);
    }
    // The sizes of the icons and the keyboards are checked where they are shown.
    EXPECT_EQ(QSize(int(BackPic1()->Width()), int(BackPic1()->Height())), QSize(800, 600));
}

namespace {

// The key layout, in points (the tests run at scale 1): white key i spans x 14i+2
// to 14i+16 over the full height, its first column the divider; the black key
// after white key i spans x 14i+10 to 14i+24 over y 0 to 25.
const std::set<int> kBlackKeyAfter = {0, 1, 2, 4, 5, 7, 8, 9, 11, 12, 14, 15, 16, 18, 19, 21, 22, 23, 25, 26};

bool OnBlackKey(int x, int y)
{
    return y < 25 && std::ranges::any_of(kBlackKeyAfter, [x](int i) { return 14 * i + 10 <= x && x < 14 * i + 24; });
}

bool OnWhiteKeyFace(int x, int y) { return !OnBlackKey(x, y) && x >= 3 && x < 14 * 28 + 2 && (x - 2) % 14 != 0; }

bool Light(QRgb c) { return qGray(c) > 180; }
bool Dark(QRgb c) { return qGray(c) < 90; }
bool PressedBlue(QRgb c) { return qBlue(c) > qRed(c) + 30; }

// The first few pixels of the picture that break the rule for their place.
std::string Breaks(const Picture& picture, const std::function<bool(int x, int y, QRgb c)>& holds)
{
    QStringList breaks;
    const QImage& image = picture.Image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!holds(x, y, image.pixel(x, y)) && breaks.size() < 8)
                breaks << QStringLiteral("(%1,%2)").arg(x).arg(y);
    return breaks.join(' ').toStdString();
}

} // namespace

TEST(Pictures, KeyboardPicturesShowEveryKeyWhereTheCanvasCopiesIt)
{
    const std::shared_ptr<Picture> piano = Piano(), white = PianoS(), black = PianoSS();
    ASSERT_TRUE(piano && white && black);
    for (const auto& p : {piano, white, black}) {
        ASSERT_EQ(p->Image().size(), QSize(395, 47));
        ASSERT_EQ(p->Image().devicePixelRatio(), 1.0);
    }
    const QImage& rest = piano->Image();
    // At rest: black keys dark, white faces light, dividers and the edges neither.
    EXPECT_EQ(Breaks(*piano, [](int x, int y, QRgb c) {
        return OnBlackKey(x, y) ? Dark(c) : OnWhiteKeyFace(x, y) ? Light(c) : !Light(c); }), "");
    // Pressed keys of either colour: only those keys differ, and show pressed.
    const auto pressed = [&](bool (*onKey)(int, int)) {
        return [&rest, onKey](int x, int y, QRgb c) {
            return onKey(x, y) ? PressedBlue(c) && c != rest.pixel(x, y) : c == rest.pixel(x, y); };
    };
    EXPECT_EQ(Breaks(*white, pressed(OnWhiteKeyFace)), "") << "white";
    EXPECT_EQ(Breaks(*black, pressed(OnBlackKey)), "") << "black";
}
