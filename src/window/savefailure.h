// What the user is told when a save fails: the file and the reason.
#pragma once

#include <QString>

// The reason a file could not be created at path, in words, from what the path
// is (a folder, in a missing or read-only folder) and the system's error number.
QString CreateFailureReason(const QString& path, qint64 errorCode);

// The reason part of a stream's failure message ("cannot write PATH: reason"): the
// path is said once, in the message around it.
QString WriteFailureReason(const QString& message, const QString& path);

// The message: which file, why, and whether the earlier file is still as it was
// (it is not only when a rewrite in place could not be undone), and then where a
// copy of its earlier bytes is kept, if anywhere.
QString SaveFailureText(const QString& path, const QString& reason, bool earlierKept = true,
                        const QString& earlierCopy = {});

// Shows the message to the user (window/usermessage.h).
void ReportSaveFailure(const QString& path, const QString& reason, bool earlierKept = true,
                       const QString& earlierCopy = {});
