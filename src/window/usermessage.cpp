// The one place the window's messages to the user go through.
#include "window/usermessage.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

void DefaultSink(const QString& text)
{
    std::fprintf(stderr, "Quorvanel: %s\n", text.toLocal8Bit().constData());
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;  // nobody could close a box there
    QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Quorvanel"), text);
}

UserMessageSink& Sink()
{
    static UserMessageSink sink = DefaultSink;
    return sink;
}

}  // namespace

void ShowUserMessage(const QString& text)
{
    Sink()(text);
}

UserMessageSink SetUserMessageSink(UserMessageSink sink)
{
    UserMessageSink previous = std::move(Sink());
    Sink() = sink ? std::move(sink) : UserMessageSink(DefaultSink);
    return previous;
}
