// What the user is told when a save fails: the file and the reason.
#pragma once

#include <QString>

class BinaryStream;

// The reason a file could not be created at path, in words, from what the path
// is (a folder, in a missing or read-only folder) and the system's error number.
QString CreateFailureReason(const QString& path, qint64 errorCode);

// The reason part of a stream's failure message ("cannot write PATH: reason"): the
// path is said once, in the message around it.
QString WriteFailureReason(const QString& message, const QString& path);

// What a failed save left at the file's name: the earlier file as it was, a file
// rewritten in place that could not be put back, or the new bytes whole (only the
// close failed, once they were on disk).
enum class FileAfterFailure { Unchanged, NotPutBack, NewBytes };

// The message: which file, why, and what the file holds now, and for a file not
// put back where a copy of its earlier bytes is kept, if anywhere.
QString SaveFailureText(const QString& path, const QString& reason, FileAfterFailure after = FileAfterFailure::Unchanged,
                        const QString& earlierCopy = {});

// Shows the message to the user (window/usermessage.h).
void ReportSaveFailure(const QString& path, const QString& reason, FileAfterFailure after = FileAfterFailure::Unchanged,
                       const QString& earlierCopy = {});

// What the user is told once a save through stream has ended: why it failed (failure,
// the stream's message, empty when it did not) and what the file holds then, and
// where a copy of the file's earlier bytes that could not be removed was left.
// Empty when the save went well and left nothing.
QString SaveEndText(const QString& path, const QString& failure, const BinaryStream& stream);
