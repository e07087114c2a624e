// A file rewritten where it is, for saves that cannot replace it. The new bytes
// stream into the file as they come; before the first one lands, the earlier
// bytes are copied to a private file in the user's cache folder and synced, so a
// failure at any later step (or a crash) leaves them on disk. Other rewrites of
// the file wait for its lock.
#pragma once

#include <QByteArray>
#include <QString>

// Where the earlier bytes of files rewritten in place are kept: the program's
// folder in $XDG_CACHE_HOME, or in ~/.cache when that is unset or relative.
QByteArray EarlierBytesFolder();

// Locks the open file against other rewrites (an open file description lock, so
// another thread's save is shut out too), waiting a few seconds for one that holds
// it. False with errno EAGAIN when it stays locked; a file system that takes no
// locks is written unlocked.
bool LockForRewrite(int fd);

class InPlaceWrite {
public:
    // Takes over fd, the file at target open for reading and writing.
    InPlaceWrite(int fd, QByteArray target);
    // A rewrite not committed is undone: the earlier bytes go back.
    ~InPlaceWrite();
    InPlaceWrite(const InPlaceWrite&) = delete;
    InPlaceWrite& operator=(const InPlaceWrite&) = delete;

    // Writes the bytes after those written so far. On failure the earlier bytes
    // are put back and false returned.
    bool Write(const char* data, qint64 size);
    // Syncs the new bytes, cuts what is left of the earlier ones, closes the file
    // and drops the copy of the earlier bytes. On failure, as Write.
    bool Commit();

    // After a failure: the system's error number and the step it stopped.
    int Error() const { return error_; }
    QString FailedStep() const { return step_; }
    // After a failure: whether the earlier bytes could not be put back, and then
    // where they are kept (empty when they were never copied).
    bool Damaged() const { return damaged_; }
    QByteArray KeptAt() const { return damaged_ ? keptAt_ : QByteArray(); }

private:
    bool KeepEarlierBytes();
    bool Fail(const QString& step);
    bool PutBack(const QString& step);
    void DropCopy();

    QByteArray target_;
    int fd_ = -1;
    int copy_ = -1;      // the earlier bytes, in the cache folder
    int copyFolder_ = -1;
    QByteArray copyName_, keptAt_;
    qint64 earlierLength_ = 0;
    qint64 written_ = 0;
    qint64 reserved_ = 0;  // room the file has for bytes past its earlier end
    bool started_ = false;
    bool cut_ = false;      // shortened to the new length
    bool finished_ = false;
    bool damaged_ = false;
    int error_ = 0;
    QString step_;
};
