// A file rewritten where it is, for saves that cannot replace it. The new bytes
// stream into the file as they come; before the first one lands, the earlier
// bytes are copied aside (framework/files/earlierbytes.h) and synced, so a failure
// at any later step (or a crash) leaves them on disk. Other rewrites of the file
// wait for its lock.
#pragma once

#include "framework/files/earlierbytes.h"

#include <QByteArray>
#include <QString>

// Locks the open file against other rewrites (an open file description lock, so
// another thread's save is shut out too), waiting a few seconds for one that holds
// it. False with errno EAGAIN when it stays locked; a file system that takes no
// locks is written unlocked.
bool LockForRewrite(int fd);

class InPlaceWrite {
public:
    // Takes over fd, the file at target open for reading and writing.
    InPlaceWrite(int fd, QByteArray target);
    // A rewrite not committed is undone: the earlier bytes go back, with no memory
    // asked for, whatever ended it.
    ~InPlaceWrite();
    InPlaceWrite(const InPlaceWrite&) = delete;
    InPlaceWrite& operator=(const InPlaceWrite&) = delete;

    // Writes the bytes after those written so far. On failure the earlier bytes
    // are put back and false returned.
    bool Write(const char* data, qint64 size);
    // Syncs the new bytes, cuts what is left of the earlier ones, closes the file
    // and drops the copy of the earlier bytes. On failure, as Write.
    bool Commit();

    // After a failure: the system's error number, the step it stopped and the
    // words for it.
    int Error() const { return error_; }
    QString FailedStep() const;
    QString Reason() const;
    // After a failure: whether the earlier bytes could not be put back, and then
    // where they are kept (empty when they were never copied).
    bool Damaged() const { return damaged_; }
    QByteArray KeptAt() const { return damaged_ && kept_ ? copy_.Path() : QByteArray(); }
    // After a failure: whether the file holds the new bytes whole, as only closing
    // it failed once they were synced.
    bool HoldsNewBytes() const { return holdsNew_; }
    // After the save: where the copy of the earlier bytes stayed as it could not be
    // removed, and why (empty when it went).
    QByteArray LeftCopy() const { return leftError_ ? copy_.Path() : QByteArray(); }
    int LeftCopyError() const { return leftError_; }

private:
    bool KeepEarlierBytes();
    bool Fail(const char* step);
    bool PutBack(const char* step);
    void DropCopy();

    QByteArray target_;
    int fd_ = -1;
    EarlierCopy copy_;
    qint64 earlierLength_ = 0;
    qint64 written_ = 0;
    qint64 reserved_ = 0;  // room the file has for bytes past its earlier end
    bool started_ = false;
    bool kept_ = false;     // the copy is made
    bool cut_ = false;      // shortened to the new length
    bool finished_ = false;
    bool damaged_ = false;
    bool holdsNew_ = false;
    int error_ = 0;
    // Set without memory being asked for, as a failure may come from the lack of it.
    const char* step_ = "";
    bool copyFailed_ = false;  // the step and words are the copy's
    int leftError_ = 0;
};
