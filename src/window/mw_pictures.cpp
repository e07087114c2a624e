// The 32 picture accessors: one slot each, opened by its own name.
#include "window/pictures.h"

namespace {

// The slot keeps the first picture an open yields; a failed open leaves it empty,
// so the next call tries again.
std::shared_ptr<Picture> Shared(std::shared_ptr<Picture>& slot, const QString& name)
{
    if (!slot)
        slot = Picture::OpenFromApp(name);
    return slot;
}

}  // namespace

#define QV_PICTURE(NAME)                                  \
    std::shared_ptr<Picture> NAME()                       \
    {                                                     \
        static std::shared_ptr<Picture> slot;             \
        return Shared(slot, QStringLiteral(#NAME));       \
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
