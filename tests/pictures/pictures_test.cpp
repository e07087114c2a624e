// The 32 picture accessors (each opens its own resource once and shares it; a
// picture not found is asked for again), and the three keyboard pictures checked
// pixel by pixel against the key layout the canvas copies from.
#include "window/pictures.h"

#include <QImage>
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
    const struct {
        const char* name;
        std::shared_ptr<Picture> (*get)();
        qint64 width, height;
    } accessors[] = {
        {"Piano", Piano, 395, 47}, {"PianoS", PianoS, 395, 47}, {"PianoSS", PianoSS, 395, 47},
        {"BackPic1", BackPic1, 800, 600}, {"kyuhu", kyuhu, 14, 16},
        {"Onpu0", Onpu0, 14, 16}, {"Onpu1", Onpu1, 14, 16}, {"Onpu2", Onpu2, 14, 16},
        {"Onpu3", Onpu3, 14, 16}, {"Onpu4", Onpu4, 14, 16}, {"Onpu5", Onpu5, 14, 16},
        {"Onpu6", Onpu6, 14, 16}, {"Onpu7", Onpu7, 14, 16}, {"Onpu8", Onpu8, 14, 16},
        {"Onpu9", Onpu9, 14, 16}, {"OnpuA", OnpuA, 14, 16}, {"OnpuB", OnpuB, 14, 16},
        {"OnpuC", OnpuC, 14, 16}, {"OnpuD", OnpuD, 14, 16}, {"OnpuE", OnpuE, 14, 16},
        {"OnpuF", OnpuF, 14, 16}, {"vel0", vel0, 14, 16}, {"Vel1", Vel1, 14, 16},
        {"Vel2", Vel2, 14, 16}, {"Vel4", Vel4, 14, 16}, {"Vel6", Vel6, 14, 16},
        {"Vel8", Vel8, 14, 16}, {"Vel9", Vel9, 14, 16}, {"VelA", VelA, 14, 16},
        {"VelC", VelC, 14, 16}, {"VelD", VelD, 14, 16}, {"VelF", VelF, 14, 16},
    };
    std::set<const Picture*> objects;
    for (const auto& a : accessors) {
        SCOPED_TRACE(a.name);
        const std::shared_ptr<Picture> shared = a.get();
        ASSERT_NE(shared, nullptr);
        EXPECT_EQ(a.get(), shared);
        EXPECT_EQ(shared->Width(), a.width);
        EXPECT_EQ(shared->Height(), a.height);
        // The resource of its own name, and no other: a fresh open looks the same.
        const std::shared_ptr<Picture> fresh = Picture::OpenFromApp(QString::fromLatin1(a.name));
        ASSERT_NE(fresh, nullptr);
        EXPECT_TRUE(fresh->Image() == shared->Image());
        EXPECT_TRUE(objects.insert(shared.get()).second);
    }
}

namespace {

// The key layout, in points (the tests run at scale 1): white key i spans x 14i+2
// to 14i+16 over the full height, its first column the divider; the black key
// after white key i spans x 14i+10 to 14i+24 over y 0 to 25.
const std::set<int> kBlackKeyAfter = {0, 1, 2, 4, 5, 7, 8, 9, 11, 12, 14, 15, 16, 18, 19, 21, 22, 23, 25, 26};

bool OnBlackKey(int x, int y)
{
    if (y >= 25)
        return false;
    for (int i : kBlackKeyAfter)
        if (14 * i + 10 <= x && x < 14 * i + 24)
            return true;
    return false;
}

bool OnWhiteKeyFace(int x, int y)
{
    return !OnBlackKey(x, y) && x >= 3 && x < 14 * 28 + 2 && (x - 2) % 14 != 0;
}

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
    EXPECT_EQ(Breaks(*piano,
                     [](int x, int y, QRgb c) {
                         return OnBlackKey(x, y) ? Dark(c) : OnWhiteKeyFace(x, y) ? Light(c) : !Light(c);
                     }),
              "");
    // Pressed white keys: only the faces differ, and show pressed.
    EXPECT_EQ(Breaks(*white,
                     [&](int x, int y, QRgb c) {
                         return OnWhiteKeyFace(x, y) ? PressedBlue(c) && c != rest.pixel(x, y)
                                                     : c == rest.pixel(x, y);
                     }),
              "");
    // Pressed black keys: only the black keys differ, and show pressed.
    EXPECT_EQ(Breaks(*black,
                     [&](int x, int y, QRgb c) {
                         return OnBlackKey(x, y) ? PressedBlue(c) && c != rest.pixel(x, y) : c == rest.pixel(x, y);
                     }),
              "");
}
