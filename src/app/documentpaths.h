// Document paths as the system gives them: bytes, not text. A path is made absolute
// but never cleaned as text ("lnk/.." is the folder above lnk's target, which only
// the system knows), and a name that is not UTF-8 is kept byte for byte up to the
// moment the file is opened.
#pragma once

#include <QByteArray>
#include <QList>

using DocumentPaths = QList<QByteArray>;

// The document paths of the command line, in order: every non-empty argument after
// the program's name, made absolute against the current folder. A relative one
// stays relative when the current folder cannot be had.
DocumentPaths LaunchDocuments(int argc, char** argv);
