// What the user is told when a file cannot be opened for a reason that is no fault
// of the name: the file and the reason.
#pragma once

#include <QString>

struct WholeFile;

// The message for a file that could not be read whole, naming it and saying why;
// empty when the file was read, or when the reason needs no word (a missing or
// unreadable file, a folder, a device: opening them has always changed nothing).
QString OpenFailureText(const QString& path, const WholeFile& file);
