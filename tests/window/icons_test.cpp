// The icons of the note-length, velocity and rest buttons: each button shows the
// picture of its own name, at the picture's own size over the button's bevel.
#include "fixture.h"

#include <QPainter>

TEST_F(WindowTest, EachIconButtonShowsItsOwnPictureUnscaledOverItsBevel)
{
    const char* velocity[16] = {"vel0", "Vel1", "Vel2", "Vel1", "Vel4", "Vel1", "Vel6", "Vel1",
                                "Vel8", "Vel9", "VelA", "Vel1", "VelC", "VelD", "Vel1", "VelF"};
    std::vector<std::pair<BevelButton*, QString>> buttons = {{&w().BBR(0), "kyuhu"}};
    for (qint64 i = 0; i < 16; ++i) {
        buttons.emplace_back(&w().BBD(i), "Onpu" + QString::number(i, 16).toUpper());
        buttons.emplace_back(&w().BBV(i), velocity[i]);
    }
    for (const auto& [button, name] : buttons) {
        SCOPED_TRACE(name.toStdString() + " on " + button->Name().toStdString() + "("
                     + std::to_string(button->Index()) + ")");
        const QImage shown = button->Widget()->grab().toImage();
        const std::shared_ptr<Picture> held = button->Icon();
        button->SetIcon(nullptr);
        QImage expected = button->Widget()->grab().toImage();
        button->SetIcon(held);
        const std::shared_ptr<Picture> picture = Picture::OpenFromApp(name);
        ASSERT_NE(picture, nullptr);
        ASSERT_EQ(QSize(int(button->Width()), int(button->Height())), QSize(14, 16));
        ASSERT_EQ(picture->Image().size(), QSize(14, 16));
        QPainter(&expected).drawImage(QPoint(0, 0), picture->Image());
        EXPECT_EQ(shown, expected);
    }
}
