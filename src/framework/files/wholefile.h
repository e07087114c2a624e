// A file read whole into memory, by the one set of rules every opener of the
// program follows: regular files only (a link to one is followed), read up to
// their end as it is when read, and never more than the memory the process may
// take: a file that says it is small and then goes on is cut off there.
#pragma once

#include "framework/files/memoryroom.h"

#include <QByteArray>
#include <QString>

struct WholeFile {
    enum class Problem {
        None,
        NotARegularFile,  // a folder, a device, a FIFO or a socket: nothing is read from it
        CannotRead,       // missing, no permission, or a read failed; error says which
        TooLarge,         // more bytes than the memory free to take them
    };
    Problem problem = Problem::None;
    QByteArray bytes;     // the whole file when there is no problem
    qint64 size = 0;      // the size the file had when it was opened
    qint64 available = 0; // for TooLarge: the bytes of memory that were free
    int error = 0;        // for CannotRead: the system's error number
    bool unended = false; // for TooLarge: the file went on past the memory weighed (it says
                          // less than it holds, or grows while read); size is what it had given
};

// Reads the file at path; one larger than memory bytes, by its size or by the
// bytes it gives, is TooLarge (memory 0: no limit but what an allocation refuses).
WholeFile ReadWholeFile(const QString& path, qint64 memory = AvailableMemory());
