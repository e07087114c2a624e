// What the user is told when a file cannot be opened for a reason that is no fault
// of the name: the file and the reason, in a message box, or wherever a test has
// sent such messages.
#pragma once

#include <QString>
#include <functional>

struct WholeFile;

// The message for a file that could not be read whole, naming it and saying why;
// empty when the file was read, or when the reason needs no word (a missing or
// unreadable file, a folder, a device: opening them has always changed nothing).
QString OpenFailureText(const QString& path, const WholeFile& file);

// Shows the message: a warning box on a real display, stderr on the offscreen one
// (and always on stderr, for a launch from a terminal).
void ReportOpenFailure(const QString& text);

// Where the messages go instead; returns the previous sink. An empty function
// puts the default back.
using OpenFailureSink = std::function<void(const QString& text)>;
OpenFailureSink SetOpenFailureSink(OpenFailureSink sink);
