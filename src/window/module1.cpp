// Module1 on Linux over Qt: window translucency, the object runtime's class
// lookup, input-method composition.
#include "window/module1.h"

#include "framework/controls/window.h"
#include "window/mw.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QPalette>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <xcb/xcb.h>

namespace Module1 {

namespace {

const NativeClass kNSColor{"NSColor"};
const NativeClass* const kClasses[] = {&kNSColor};

// A handle is only trusted when it names one of the program's top-level widgets.
QWidget* TopLevelFromHandle(quintptr handle)
{
    QWidget* candidate = Window::WidgetFromHandle(handle);
    if (!candidate)
        return nullptr;
    const auto windows = QApplication::topLevelWidgets();
    return windows.contains(candidate) ? candidate : nullptr;
}

// X11: a compositing manager owns the selection _NET_WM_CM_S<screen>.
bool X11CompositorRunning()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int screens = xcb_setup_roots_length(setup);
    for (int screen = 0; screen < screens; ++screen) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
        xcb_intern_atom_reply_t* atom
            = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(name.size()), name.constData()), nullptr);
        if (!atom)
            continue;
        const xcb_atom_t a = atom->atom;
        std::free(atom);
        if (a == XCB_ATOM_NONE)
            continue;  // the atom was never made, so nobody owns it
        xcb_get_selection_owner_reply_t* owner
            = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, a), nullptr);
        const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
        if (owned)
            return true;
    }
    return false;
}

void SetBackgroundColor(QWidget& window, const QColor& color)
{
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, color);
    window.setPalette(pal);
    window.setAutoFillBackground(true);
}

void SetOpaque(QWidget& window, bool opaque, bool compositing)
{
    if (!opaque && compositing) {
        window.setAttribute(Qt::WA_TranslucentBackground, true);
        return;
    }
    // Without a compositor the alpha channel would show whatever lay behind the
    // window when it was mapped, so the background keeps its colour at full opacity.
    QColor solid = window.palette().color(QPalette::Window);
    solid.setAlpha(255);
    SetBackgroundColor(window, solid);
    window.setAttribute(Qt::WA_TranslucentBackground, false);
}

}  // namespace

bool CompositorRunning()
{
    const QString platform = QGuiApplication::platformName();
    // Wayland compositors always composite.
    if (platform.startsWith(QLatin1String("wayland")))
        return true;
    if (platform == QLatin1String("xcb"))
        return X11CompositorRunning();
    return false;
}

const NativeClass* NSClassFromString(const QString& name)
{
    for (const NativeClass* c : kClasses)
        if (name == QLatin1String(c->name))
            return c;
    return nullptr;
}

QColor ColorWithCalibratedWhite(const NativeClass* colorClass, double white, double alpha)
{
    if (colorClass != &kNSColor)
        return {};
    QColor c;
    const double w = qBound(0.0, white, 1.0);
    c.setRgbF(float(w), float(w), float(w), float(qBound(0.0, alpha, 1.0)));
    return c;
}

void MakeWindowTransparent(quintptr handle) { MakeWindowTransparent(handle, CompositorRunning()); }

void MakeWindowTransparent(quintptr handle, bool compositing)
{
    QWidget* window = TopLevelFromHandle(handle);
    if (!window)
        return;
    const QColor white = ColorWithCalibratedWhite(NSClassFromString(QStringLiteral("NSColor")), 1.0, 0.5);
    if (white.isValid())
        SetBackgroundColor(*window, white);
    SetOpaque(*window, false, compositing);
    // The shadow refresh of other desktops: here the window is repainted.
    window->update();
}

void KeyScript(qint64 mode)
{
    MW* w = MW::Existing();
    if (!w)
        return;
    w->BinaryTa().SetInputMethodEnabled(mode != 0);
    // Ends a composition that was under way, so its half-typed text is dropped.
    if (mode == 0)
        QGuiApplication::inputMethod()->reset();
}

}  // namespace Module1
