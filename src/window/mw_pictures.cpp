// The 32 picture accessors: one slot each, opened by its own name.
#include "window/pictures.h"

std::shared_ptr<Picture> PictureSlot::Get(const Opener& open)
{
    if (!pic_)
        pic_ = open(name_);  // an exception leaves the slot as it was: empty
    return pic_;
}

std::shared_ptr<Picture> PictureSlot::Get()
{
    return Get([](const QString& name) { return Picture::OpenFromApp(name); });
}

#define QV_PICTURE(NAME)                                  \
    std::shared_ptr<Picture> NAME()                       \
    {                                                     \
        static PictureSlot slot(QStringLiteral(#NAME));   \
        return slot.Get();                                \
    }

QV_PICTURE(Piano)
QV_PICTURE(PianoS)
QV_PICTURE(PianoSS)
QV_PICTURE(BackPic1)
QV_PICTURE(kyuhu)
QV_PICTURE(Onpu0)
QV_PICTURE(Onpu1)
QV_PICTURE(Onpu2)
QV_PICTURE(Onpu3)
QV_PICTURE(Onpu4)
QV_PICTURE(Onpu5)
QV_PICTURE(Onpu6)
QV_PICTURE(Onpu7)
QV_PICTURE(Onpu8)
QV_PICTURE(Onpu9)
QV_PICTURE(OnpuA)
QV_PICTURE(OnpuB)
QV_PICTURE(OnpuC)
QV_PICTURE(OnpuD)
QV_PICTURE(OnpuE)
QV_PICTURE(OnpuF)
QV_PICTURE(vel0)
QV_PICTURE(Vel1)
QV_PICTURE(Vel2)
QV_PICTURE(Vel4)
QV_PICTURE(Vel6)
QV_PICTURE(Vel8)
QV_PICTURE(Vel9)
QV_PICTURE(VelA)
QV_PICTURE(VelC)
QV_PICTURE(VelD)
QV_PICTURE(VelF)

#undef QV_PICTURE

const PictureAccessor kPictureAccessors[32] = {
    {"Piano", Piano}, {"PianoS", PianoS}, {"PianoSS", PianoSS}, {"BackPic1", BackPic1},
    {"kyuhu", kyuhu}, {"Onpu0", Onpu0},   {"Onpu1", Onpu1},     {"Onpu2", Onpu2},
    {"Onpu3", Onpu3}, {"Onpu4", Onpu4},   {"Onpu5", Onpu5},     {"Onpu6", Onpu6},
    {"Onpu7", Onpu7}, {"Onpu8", Onpu8},   {"Onpu9", Onpu9},     {"OnpuA", OnpuA},
    {"OnpuB", OnpuB}, {"OnpuC", OnpuC},   {"OnpuD", OnpuD},     {"OnpuE", OnpuE},
    {"OnpuF", OnpuF}, {"vel0", vel0},     {"Vel1", Vel1},       {"Vel2", Vel2},
    {"Vel4", Vel4},   {"Vel6", Vel6},     {"Vel8", Vel8},       {"Vel9", Vel9},
    {"VelA", VelA},   {"VelC", VelC},     {"VelD", VelD},       {"VelF", VelF},
};
