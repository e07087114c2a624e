// Pictures from the program's resources and drawing between pictures.
#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "framework/picture.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PictureResources, NamedPictureIsRenderedAtItsDeclaredSize)
{
    auto pic = Picture::OpenFromApp(QStringLiteral("TestHalves"));
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->Width(), 20);
    EXPECT_EQ(pic->Height(), 10);
    const qreal dpr = qGuiApp->devicePixelRatio();
    EXPECT_EQ(pic->Image().devicePixelRatio(), dpr);
    EXPECT_EQ(pic->Image().size(), QSize(int(20 * dpr), int(10 * dpr)));
    EXPECT_EQ(pic->Image().pixelColor(int(2 * dpr), int(5 * dpr)), QColor(255, 0, 0));
    EXPECT_EQ(pic->Image().pixelColor(int(18 * dpr), int(5 * dpr)), QColor(0, 0, 255));
}

TEST(PictureResources, AbsentNameGivesNoPicture)
{
    EXPECT_EQ(Picture::OpenFromApp(QStringLiteral("NoSuchPicture")), nullptr);
    EXPECT_EQ(Picture::OpenFromApp(QString()), nullptr);
    EXPECT_EQ(Picture::OpenFromApp(QStringLiteral("testhalves")), nullptr);
}

TEST(PictureResources, FileThatIsNoSvgGivesNoPicture)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.svg"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not an svg");
    f.close();
    EXPECT_EQ(Picture::OpenSvg(path), nullptr);
}

TEST(PictureDrawing, SourceRectangleIsScaledIntoTheDestination)
{
    auto halves = Picture::OpenFromApp(QStringLiteral("TestHalves"));
    ASSERT_NE(halves, nullptr);
    Picture target(40, 40);
    target.Image().fill(Qt::white);
    // The blue half, 10 x 10, stretched over 20 x 30 at (5, 5).
    target.Graphics().DrawPicture(halves.get(), 5, 5, 20, 30, 10, 0, 10, 10);
    const qreal dpr = target.Image().devicePixelRatio();
    auto at = [&](int x, int y) { return target.Image().pixelColor(int(x * dpr), int(y * dpr)); };
    EXPECT_EQ(at(6, 6), QColor(0, 0, 255));
    EXPECT_EQ(at(24, 34), QColor(0, 0, 255));
    EXPECT_EQ(at(26, 20), QColor(Qt::white));
    EXPECT_EQ(at(15, 36), QColor(Qt::white));
    EXPECT_EQ(at(3, 3), QColor(Qt::white));
}

TEST(PictureDrawing, WholePictureAtItsOwnSize)
{
    auto halves = Picture::OpenFromApp(QStringLiteral("TestHalves"));
    ASSERT_NE(halves, nullptr);
    Picture target(30, 10);
    target.Image().fill(Qt::white);
    target.Graphics().DrawPicture(halves.get(), 10, 0);
    const qreal dpr = target.Image().devicePixelRatio();
    EXPECT_EQ(target.Image().pixelColor(int(5 * dpr), int(5 * dpr)), QColor(Qt::white));
    EXPECT_EQ(target.Image().pixelColor(int(12 * dpr), int(5 * dpr)), QColor(255, 0, 0));
    EXPECT_EQ(target.Image().pixelColor(int(28 * dpr), int(5 * dpr)), QColor(0, 0, 255));
}

TEST(PictureDrawing, NilPictureRaisesNilObjectException)
{
    Picture target(10, 10);
    EXPECT_THROW(target.Graphics().DrawPicture(nullptr, 0, 0), NilObjectException);
}

TEST(PictureDrawing, NewPictureHasTheAskedSizeAndStartsTransparent)
{
    Picture p(395, 47, 32);
    EXPECT_EQ(p.Width(), 395);
    EXPECT_EQ(p.Height(), 47);
    EXPECT_EQ(p.Graphics().Width(), 395);
    EXPECT_EQ(p.Image().pixelColor(0, 0).alpha(), 0);
}
