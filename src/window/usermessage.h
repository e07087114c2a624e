// What the user is told when a file cannot be opened or saved: a warning box on a
// real display, or wherever a test has sent such messages.
#pragma once

#include <QString>
#include <functional>

// Shows the message: a warning box on a real display, and always on stderr (the
// offscreen platform has no box), for a launch from a terminal.
void ShowUserMessage(const QString& text);

// Where the messages go instead; returns the previous sink. An empty function
// puts the default back.
using UserMessageSink = std::function<void(const QString& text)>;
UserMessageSink SetUserMessageSink(UserMessageSink sink);
