// SaveFile over the system calls themselves: QSaveFile lets a failed flush at
// commit through (a small save onto a full disk replaced the file with an empty
// one), ignores a failed sync or close, and cannot keep the owner.
#include "framework/files/savefile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

QByteArray FolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Writes all of bytes, at the file's start or at its position, or sets errno;
// done counts what reached the file either way.
bool WriteAll(int fd, const QByteArray& bytes, bool atStart, qint64& done)
{
    done = 0;
    while (done < bytes.size()) {
        const ssize_t n = atStart ? pwrite(fd, bytes.constData() + done, bytes.size() - done, done)
                                  : write(fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

bool ReadStart(int fd, qint64 count, QByteArray& out)
{
    out.resize(count);
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = pread(fd, out.data() + done, count - done, done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;  // the file shrank under us
            return false;
        }
        done += n;
    }
    return true;
}

// A file that cannot be synced (EINVAL, EROFS: the kind does not support it) has
// nothing more to flush.
bool Sync(int fd) { return fsync(fd) == 0 || errno == EINVAL || errno == EROFS; }

}  // namespace

SaveFile::SaveFile(QString path) : target_(QFile::encodeName(path)) {}

SaveFile::~SaveFile() { Discard(); }

QString SaveFile::ErrorString() const { return QString::fromLocal8Bit(std::strerror(error_)); }

bool SaveFile::FailAt(const char* step)
{
    error_ = errno;
    step_ = QString::fromLatin1(step);
    return false;
}

bool SaveFile::Open()
{
    // A link stays a link: the file it names is the one saved.
    struct stat link {};
    if (lstat(target_.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* real = realpath(target_.constData(), nullptr)) {
            target_ = real;
            std::free(real);
        }
    }
    struct stat earlier {};
    const bool exists = stat(target_.constData(), &earlier) == 0;
    if (exists && S_ISDIR(earlier.st_mode)) {
        errno = EISDIR;
        return FailAt("cannot create");
    }
    // A read-only file is not replaced behind its owner's back.
    if (exists && faccessat(AT_FDCWD, target_.constData(), W_OK, AT_EACCESS) != 0)
        return FailAt("cannot create");

    const QByteArray folder = FolderOf(target_);
    for (int attempt = 0; attempt < 32 && fd_ < 0; ++attempt) {
        temporary_ = folder + "/.quorvanel-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd_ = open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        FailAt("cannot create");
        temporary_.clear();
        const bool folderRefuses = error_ == EACCES || error_ == EPERM;
        return exists && folderRefuses && OpenInPlace();
    }
    if (exists) {
        // Where the owner cannot be given (not root, not the owner), the group may.
        if (fchown(fd_, earlier.st_uid, earlier.st_gid) != 0)
            (void)fchown(fd_, uid_t(-1), earlier.st_gid);
        // After the owner: changing it may clear the set-id bits.
        if (fchmod(fd_, earlier.st_mode & 07777) != 0) {
            FailAt("cannot create");
            Discard();
            return false;
        }
    }
    return true;
}

bool SaveFile::OpenInPlace()
{
    fd_ = open(target_.constData(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0)
        return false;  // the folder's refusal stays the reason
    inPlace_ = true;
    error_ = 0;
    step_.clear();
    return true;
}

bool SaveFile::Write(const char* data, qint64 size)
{
    if (fd_ < 0 || done_ || error_)
        return false;
    if (inPlace_) {
        held_.append(data, size);
        return true;
    }
    qint64 written = 0;
    if (!WriteAll(fd_, QByteArray::fromRawData(data, size), false, written)) {
        // Gone at once, not when the stream is dropped: the failure message may
        // stay up for a while.
        FailAt("cannot write");
        Discard();
        return false;
    }
    return true;
}

bool SaveFile::Commit()
{
    if (fd_ < 0 || done_ || error_)
        return false;
    const bool ok = inPlace_ ? CommitInPlace() : CommitTemporary();
    done_ = ok;
    if (!ok)
        Discard();
    return ok;
}

bool SaveFile::CommitTemporary()
{
    if (!Sync(fd_))
        return FailAt("cannot save");
    const int fd = std::exchange(fd_, -1);
    if (close(fd) != 0)
        return FailAt("cannot save");
    if (rename(temporary_.constData(), target_.constData()) != 0)
        return FailAt("cannot save");
    temporary_.clear();
    // The new name on disk too; the file's bytes already are, so a failure here
    // loses nothing that a crash before the rename would not.
    const int dir = open(FolderOf(target_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)fsync(dir);
        close(dir);
    }
    return true;
}

// No rename is possible, so the file is rewritten where it is, as safely as that
// allows: room for a longer file is reserved before any byte is overwritten, the
// bytes about to be overwritten are kept and put back when a later step fails,
// and the file is shortened only once the new bytes are on disk.
bool SaveFile::CommitInPlace()
{
    struct stat now {};
    if (fstat(fd_, &now) != 0)
        return FailAt("cannot write");
    const qint64 oldLength = now.st_size;
    const qint64 newLength = held_.size();
    if (newLength > oldLength && fallocate(fd_, FALLOC_FL_KEEP_SIZE, oldLength, newLength - oldLength) != 0
        && errno != EOPNOTSUPP && errno != ENOSYS)
        return FailAt("cannot write");
    QByteArray earlier;
    if (!ReadStart(fd_, qMin(oldLength, newLength), earlier))
        return FailAt("cannot write");

    // Only the bytes that were overwritten go back, so that what stopped the
    // write (a size limit, say) cannot stop putting them back.
    qint64 overwritten = 0;
    const auto putBack = [&](const char* step) {
        FailAt(step);
        qint64 restored = 0;
        damaged_ = !(WriteAll(fd_, earlier.left(overwritten), true, restored) && ftruncate(fd_, oldLength) == 0
                     && Sync(fd_));
        return false;
    };
    if (!WriteAll(fd_, held_, true, overwritten))
        return putBack("cannot write");
    if (!Sync(fd_))
        return putBack("cannot save");
    if (newLength < oldLength) {
        if (ftruncate(fd_, newLength) != 0)
            return putBack("cannot write");
        if (!Sync(fd_)) {
            damaged_ = true;  // the cut tail was never kept
            return FailAt("cannot save");
        }
    }
    const int fd = std::exchange(fd_, -1);
    if (close(fd) != 0) {
        damaged_ = true;  // what reached the disk is no longer known
        return FailAt("cannot save");
    }
    return true;
}

void SaveFile::Discard()
{
    if (fd_ >= 0)
        close(std::exchange(fd_, -1));
    if (!temporary_.isEmpty())
        unlink(std::exchange(temporary_, QByteArray()).constData());
    held_.clear();
}
