// Module1: the native calls of the main window on Linux: the half-transparent
// window background and the keyboard input of the hex column. The platform's
// object runtime is replaced by a small one of this layer's own.
#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

namespace Module1 {

// A class of the layer's own object runtime, known by its name.
struct NativeClass {
    const char* name;
};

// A white background at alpha 0.5, then the window no longer opaque, then a
// repaint, in that order. Where no compositor runs the window cannot show an
// alpha channel and stays opaque white. A handle that is no top-level window of
// the program is left alone.
void MakeWindowTransparent(quintptr handle);
// The same, told whether a compositor runs.
void MakeWindowTransparent(quintptr handle, bool compositing);

// The class of that name, or null for a name the runtime does not know.
const NativeClass* NSClassFromString(const QString& name);

// What the "NSColor" class makes: a grey of that whiteness and opacity (0 to 1).
// Another class, or none, makes no colour (an invalid QColor).
QColor ColorWithCalibratedWhite(const NativeClass* colorClass, double white, double alpha);

// Mode 0: input-method composition off for the hex column, so typed keys arrive
// as plain ASCII characters; any other mode switches composition back on.
void KeyScript(qint64 mode);

// Whether a compositing manager runs on this display (translucency can be shown).
bool CompositorRunning();

}  // namespace Module1
