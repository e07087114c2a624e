// A file read whole into memory, by the one set of rules every opener of the
// program follows: regular files only (a link to one is followed), read up to
// their end as it is when read, and never more than memory can hold.
#pragma once

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
};

// The bytes of memory the system can still give this process (free memory, the
// caches it would drop, free swap); 0 when it does not say.
qint64 AvailableMemory();

// Reads the file at path; one larger than memory bytes is TooLarge (memory 0: no
// limit but what an allocation refuses).
WholeFile ReadWholeFile(const QString& path, qint64 memory = AvailableMemory());
