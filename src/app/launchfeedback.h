// The desktop's launch feedback (the busy pointer, the entry that says "starting")
// for a launch that hands its documents to the running window: what the launch was
// given, the running window brought to the front with it, and the feedback ended.
// On X11 that end is the startup-notification "remove" message on the root window;
// on Wayland the compositor ends it once the token has activated a window.
#pragma once

#include "app/handovermessage.h"

#include <optional>

class QWidget;

namespace launch_feedback {

// The launch's own: DESKTOP_STARTUP_ID and XDG_ACTIVATION_TOKEN.
handover::Feedback OfThisLaunch();

// "remove: ID=<id>", the id quoted where it has a space, quote or backslash.
QByteArray RemoveMessage(const QByteArray& startupId);

// The time of the user's action that started the launch, from an id ending in
// "_TIME<n>"; nothing for any other id.
std::optional<quint32> LaunchTime(const QByteArray& startupId);

// Shows the window in front for the launch that handed documents over, and ends
// that launch's feedback.
void BringToFront(QWidget* window, const handover::Feedback& feedback);

// Ends the feedback of a launch that opens no window, from the launch itself,
// through a connection of its own to the X display; nothing without one. Wayland
// has no such end: a token nobody uses runs out on its own.
void EndWithoutWindow(const handover::Feedback& feedback);

} // namespace launch_feedback
