// Starting Qt's window system, and the launch's end when it finds no display.
#include "app/windowsystem.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <unistd.h>

namespace {

struct Held {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};

QList<Held>& HeldMessages()
{
    static QList<Held> held;
    return held;
}

std::function<void()>& GiveUp()
{
    static std::function<void()> giveUp;
    return giveUp;
}

// What the launch found: no display named, or the one named out of reach.
QByteArray NoDisplay()
{
    QByteArrayList named;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (!qEnvironmentVariableIsEmpty(name))
            named << name + QByteArray("=") + qgetenv(name);
    return named.isEmpty() ? "there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"
                           : "the display cannot be reached (" + named.join(", ") + ")";
}

void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        HeldMessages() << Held {type, context.file, context.function, context.category, context.line, text};
        return;
    }
    // Qt gives up only when no platform could start. Ending here, before Qt's
    // abort, leaves no core dump.
    if (GiveUp())
        GiveUp()();
    std::fprintf(stderr, "Quorvanel: cannot open a window: %s\n", NoDisplay().constData());
    ::_exit(1);
}

} // namespace

void StartWindowSystem(const std::function<void()>& bringUp, const std::function<void()>& giveUp)
{
    GiveUp() = giveUp;
    const QtMessageHandler previous = qInstallMessageHandler(Hold);
    bringUp();
    qInstallMessageHandler(previous);
    GiveUp() = nullptr;
    for (const Held& m : std::exchange(HeldMessages(), {}))
        qt_message_output(m.type, QMessageLogContext(m.file.constData(), m.line, m.function.constData(),
                                                     m.category.constData()), m.text);
}
