// Where the earlier bytes of a file rewritten in place are kept, and what is left
// of them after a rewrite was cut off. The copy goes to the user's state folder
// ($XDG_STATE_HOME/quorvanel, by default ~/.local/state/quorvanel), which outlasts
// a restart and no cleaner empties, or where that cannot be had to the user's own
// /var/tmp/quorvanel-UID; never to a folder held in memory (tmpfs). It is made as
// ".partial-NAME.earlier-RANDOM" and named NAME.earlier-RANDOM only once it is whole
// and synced, after a record beside it (NAME.earlier-RANDOM.record) names the file
// it belongs to. The rewrite holds a lock on the copy while it runs, so a whole
// copy with a record that nobody holds is what a cut-off save left.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

// A copy of a file's earlier bytes, made before a rewrite overwrites them.
class EarlierCopy {
public:
    EarlierCopy() = default;
    // Lets the copy go (and its lock); a copy not dropped stays where it is.
    ~EarlierCopy();
    EarlierCopy(const EarlierCopy&) = delete;
    EarlierCopy& operator=(const EarlierCopy&) = delete;

    // Copies the first length bytes of fd, the file at path, and records path
    // beside the copy. False when it cannot, with nothing of it left; Error,
    // FailedStep and Reason then say why.
    bool Make(int fd, qint64 length, const QByteArray& path);
    // The first count bytes of the copy back into fd. Allocates nothing, so that it
    // works whatever ended the rewrite; false with errno set.
    bool PutBack(int fd, qint64 count) const;
    // Removes the copy and its record, once the rewrite ended well or was undone.
    // False with errno set when the copy stays (its record then says the save
    // ended, so that it is never taken for a cut-off one).
    bool Drop();

    // Where the copy is, once made.
    QByteArray Path() const;
    int Error() const { return error_; }
    QString FailedStep() const { return step_; }
    // The system's words for Error, or what else kept the copy from being made.
    QString Reason() const;

private:
    bool Fail(QString step, int error, QString reason = {});
    void Remove();

    std::unique_ptr<char[]> buffer_;  // for a copy between two file systems
    int folder_ = -1;
    int fd_ = -1;
    QByteArray folderPath_, name_, partial_, record_;
    bool whole_ = false;  // under its final name
    int error_ = 0;
    QString step_, reason_;
};

// What a rewrite cut off left: a whole copy, not held by a running save, and the
// file it is of.
struct LeftEarlierBytes {
    QByteArray copy;
    QByteArray file;
    bool told = false;  // the user has been told of it once
    qint64 madeAt = 0;  // nanoseconds since the epoch
};

// Every such copy in the state folder and in /var/tmp/quorvanel-UID, newest first.
// Reads only: no folder is made.
std::vector<LeftEarlierBytes> FindLeftEarlierBytes();
// Notes in the copy's record that the user has been told of it.
bool MarkEarlierBytesTold(const QByteArray& copy);
// A file's path as records give it: absolute, links and "." and ".." resolved
// where the file can be found.
QByteArray RecordedPath(const QByteArray& path);
