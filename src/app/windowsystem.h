// Qt's window system brought up for a launch that is to open a window. Without a
// display to open it on, Qt would end the process with an abort and a core dump;
// the launch says so in one line instead and ends with status 1.
#pragma once

#include <functional>

// Runs bringUp, which makes the QApplication. Should Qt find no display, giveUp
// runs first, so that nothing the launch holds (the start-up lock) outlives it,
// then the process ends. Qt's own messages while it starts are held back and
// shown only when it starts.
void StartWindowSystem(const std::function<void()>& bringUp, const std::function<void()>& giveUp = {});
