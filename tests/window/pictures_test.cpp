// The named pictures: all 32 open from the resources at their sizes, each once and
// shared; a slot that got nothing asks again, one that got a picture never does.
#include "window/pictures.h"

#include <QSet>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(Pictures, AllThirtyTwoOpenAtTheirSizesAndAreShared)
{
    QSet<QString> names;
    for (const PictureAccessor& a : kPictureAccessors) {
        SCOPED_TRACE(a.name);
        names.insert(QString::fromLatin1(a.name));
        const std::shared_ptr<Picture> first = a.get();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(a.get(), first) << "the same object on every call";
        const QString n = QString::fromLatin1(a.name);
        if (n.startsWith("Piano"))
            EXPECT_EQ(QSize(int(first->Width()), int(first->Height())), QSize(395, 47));
        else if (n == "BackPic1")
            EXPECT_EQ(QSize(int(first->Width()), int(first->Height())), QSize(800, 600));
        else {
            EXPECT_LE(first->Width(), 14);
            EXPECT_LE(first->Height(), 16);
        }
    }
    EXPECT_EQ(names.size(), 32);
    EXPECT_TRUE(names.contains("vel0")) << "velocity 0 is named with a small v";
    EXPECT_FALSE(names.contains("Vel0"));
}

TEST(Pictures, SlotThatGotNothingAsksAgainUntilItGetsOne)
{
    PictureSlot slot(QStringLiteral("Late"));
    int asked = 0;
    auto picture = std::make_shared<Picture>(2, 2);
    auto opener = [&](const QString& name) -> std::shared_ptr<Picture> {
        EXPECT_EQ(name, "Late");
        return ++asked < 3 ? nullptr : picture;
    };
    EXPECT_EQ(slot.Get(opener), nullptr);
    EXPECT_EQ(slot.Get(opener), nullptr);
    EXPECT_EQ(slot.Get(opener), picture);
    EXPECT_EQ(slot.Get(opener), picture);
    EXPECT_EQ(asked, 3) << "a filled slot asks no more";
}

TEST(Pictures, ExceptionWhileOpeningReachesTheCallerAndLeavesTheSlotEmpty)
{
    PictureSlot slot(QStringLiteral("Broken"));
    int asked = 0;
    auto failing = [&](const QString&) -> std::shared_ptr<Picture> {
        ++asked;
        throw std::runtime_error("unreadable");
    };
    EXPECT_THROW(slot.Get(failing), std::runtime_error);
    auto picture = std::make_shared<Picture>(1, 1);
    EXPECT_EQ(slot.Get([&](const QString&) { return picture; }), picture);
    EXPECT_EQ(asked, 1);
}

TEST(Pictures, AbsentResourceGivesNoPicture)
{
    PictureSlot slot(QStringLiteral("NoSuchPicture"));
    EXPECT_EQ(slot.Get(), nullptr);
    EXPECT_EQ(slot.Get(), nullptr);
}
