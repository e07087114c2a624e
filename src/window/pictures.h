// The 32 named pictures of the program's resources, each opened by name on the
// first call that gets it and shared from then on; a call that gets none keeps
// nothing, so the next call tries again.
#pragma once

#include "framework/graphics/picture.h"

#include <QString>
#include <memory>

std::shared_ptr<Picture> Piano();
std::shared_ptr<Picture> PianoS();
std::shared_ptr<Picture> PianoSS();
std::shared_ptr<Picture> BackPic1();
std::shared_ptr<Picture> kyuhu();
std::shared_ptr<Picture> Onpu0();
std::shared_ptr<Picture> Onpu1();
std::shared_ptr<Picture> Onpu2();
std::shared_ptr<Picture> Onpu3();
std::shared_ptr<Picture> Onpu4();
std::shared_ptr<Picture> Onpu5();
std::shared_ptr<Picture> Onpu6();
std::shared_ptr<Picture> Onpu7();
std::shared_ptr<Picture> Onpu8();
std::shared_ptr<Picture> Onpu9();
std::shared_ptr<Picture> OnpuA();
std::shared_ptr<Picture> OnpuB();
std::shared_ptr<Picture> OnpuC();
std::shared_ptr<Picture> OnpuD();
std::shared_ptr<Picture> OnpuE();
std::shared_ptr<Picture> OnpuF();
std::shared_ptr<Picture> vel0();
std::shared_ptr<Picture> Vel1();
std::shared_ptr<Picture> Vel2();
std::shared_ptr<Picture> Vel4();
std::shared_ptr<Picture> Vel6();
std::shared_ptr<Picture> Vel8();
std::shared_ptr<Picture> Vel9();
std::shared_ptr<Picture> VelA();
std::shared_ptr<Picture> VelC();
std::shared_ptr<Picture> VelD();
std::shared_ptr<Picture> VelF();
