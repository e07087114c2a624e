// InPlaceWrite over the system calls: the copy of the earlier bytes is made by the
// kernel (copy_file_range), or through one small buffer where it cannot, so a
// rewrite holds neither the new bytes nor the earlier ones in memory.
#include "framework/files/inplacewrite.h"

#include "framework/files/writeall.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kLockWaitMs = 3000;
constexpr int kLockRetryMs = 100;
constexpr qint64 kCopyBlock = qint64(1) << 20;
constexpr qsizetype kLongestKeptName = 200;  // of NAME_MAX 255, room for the suffix

QByteArray CacheHome()
{
    const QByteArray set = qgetenv("XDG_CACHE_HOME");
    if (set.startsWith('/'))
        return set;
    QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/')) {
        const passwd* user = getpwuid(geteuid());
        home = user && user->pw_dir ? QByteArray(user->pw_dir) : QByteArray();
    }
    return home.isEmpty() ? QByteArray() : home + "/.cache";
}

// The folder name in parent, made for the user alone where missing; refused
// (EPERM) when another user owns it, and when it is a link (ELOOP), as either
// could hand the copy to someone else.
int OpenPrivateFolder(const QByteArray& parentPath, const QByteArray& name, bool makeParent)
{
    if (parentPath.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    if (makeParent && mkdir(parentPath.constData(), 0700) != 0 && errno != EEXIST)
        return -1;
    const int parent = open(parentPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0)
        return -1;
    int folder = -1;
    if (mkdirat(parent, name.constData(), 0700) == 0 || errno == EEXIST)
        folder = openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    close(parent);
    errno = error;
    if (folder < 0)
        return -1;
    struct stat st {};
    if (fstat(folder, &st) != 0 || st.st_uid != geteuid()) {
        close(folder);
        errno = EPERM;
        return -1;
    }
    if ((st.st_mode & 077) != 0 && fchmod(folder, 0700) != 0) {
        const int failed = errno;
        close(folder);
        errno = failed;
        return -1;
    }
    return folder;
}

// The program's cache folder; where that cannot be had (a home that is not the
// user's, as after switching users, or a read-only one), a folder of the user's
// own in /var/tmp, which outlasts a restart too. Its path goes to path.
int OpenCopyFolder(QByteArray& path)
{
    path = EarlierBytesFolder();
    int folder = OpenPrivateFolder(CacheHome(), "quorvanel", true);
    if (folder >= 0)
        return folder;
    const int error = errno;
    const QByteArray own = "quorvanel-" + QByteArray::number(geteuid());
    folder = OpenPrivateFolder("/var/tmp", own, false);
    if (folder >= 0) {
        path = "/var/tmp/" + own;
        return folder;
    }
    errno = error;  // the cache folder's refusal is the one to tell
    return -1;
}

// count bytes from in at offset to out at the same offset; errno set on failure.
bool CopyRange(int in, int out, qint64 offset, qint64 count)
{
    qint64 done = 0;
    bool kernel = true;
    QByteArray buffer;
    while (done < count) {
        ssize_t n = -1;
        if (kernel) {
            loff_t from = offset + done, to = offset + done;
            n = copy_file_range(in, &from, out, &to, size_t(count - done), 0);
            if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
                kernel = false;  // across file systems, or a kernel without it
                continue;
            }
        } else {
            if (buffer.isEmpty())
                buffer.resize(kCopyBlock);
            n = pread(in, buffer.data(), size_t(qMin(count - done, kCopyBlock)), offset + done);
            qint64 put = 0;
            if (n > 0 && !WriteAll(out, buffer.constData(), n, offset + done, put))
                return false;
        }
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

}  // namespace

QByteArray EarlierBytesFolder()
{
    const QByteArray home = CacheHome();
    return home.isEmpty() ? QByteArray() : home + "/quorvanel";
}

bool LockForRewrite(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    for (int waited = 0;; waited += kLockRetryMs) {
        if (fcntl(fd, F_OFD_SETLK, &lock) == 0)
            return true;
        // Where locks are not kept (some network file systems), nothing can hold one.
        if (errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP)
            return true;
        if (errno != EAGAIN && errno != EACCES && errno != EINTR)
            return false;
        if (waited >= kLockWaitMs) {
            errno = EAGAIN;
            return false;
        }
        usleep(kLockRetryMs * 1000);
    }
}

InPlaceWrite::InPlaceWrite(int fd, QByteArray target) : target_(std::move(target)), fd_(fd) {}

InPlaceWrite::~InPlaceWrite()
{
    if (!finished_ && started_)
        PutBack(QString());
    if (fd_ >= 0)
        close(std::exchange(fd_, -1));
    if (copy_ >= 0)
        close(std::exchange(copy_, -1));
    if (copyFolder_ >= 0)
        close(std::exchange(copyFolder_, -1));
}

bool InPlaceWrite::Fail(const QString& step)
{
    error_ = errno;
    step_ = step;
    return false;
}

// The whole earlier file, as every byte of it is about to be overwritten or cut:
// copied and synced, its name too, before the first new byte is written.
bool InPlaceWrite::KeepEarlierBytes()
{
    started_ = true;
    struct stat st {};
    if (fstat(fd_, &st) != 0)
        return Fail(QStringLiteral("cannot write"));
    earlierLength_ = reserved_ = st.st_size;
    if (earlierLength_ == 0)
        return true;
    const QString to = QStringLiteral("cannot copy the earlier bytes to ");
    QByteArray folder;
    copyFolder_ = OpenCopyFolder(folder);
    if (copyFolder_ < 0)
        return Fail(to + QFile::decodeName(EarlierBytesFolder()));
    const QString step = to + QFile::decodeName(folder);
    // Cut short, at a character's start: the message names it.
    QByteArray name = target_.mid(target_.lastIndexOf('/') + 1);
    qsizetype length = qMin(name.size(), kLongestKeptName);
    while (length < name.size() && length > 0 && (uchar(name[length]) & 0xC0) == 0x80)
        --length;
    name.truncate(length);
    for (int attempt = 0; attempt < 32 && copy_ < 0; ++attempt) {
        copyName_ = name + ".earlier-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        copy_ = openat(copyFolder_, copyName_.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (copy_ < 0 && errno != EEXIST)
            break;
    }
    if (copy_ < 0)
        return Fail(step);
    keptAt_ = folder + '/' + copyName_;
    if (!CopyRange(fd_, copy_, 0, earlierLength_) || fsync(copy_) != 0 || fsync(copyFolder_) != 0) {
        Fail(step);
        DropCopy();
        return false;
    }
    return true;
}

bool InPlaceWrite::Write(const char* data, qint64 size)
{
    if (finished_ || (!started_ && !KeepEarlierBytes()))
        return finished_ = true, false;
    const qint64 end = written_ + size;
    // Room past the earlier end is taken before the bytes are written there, so
    // that a full disk stops the write at a block's start.
    if (end > reserved_) {
        if (fallocate(fd_, FALLOC_FL_KEEP_SIZE, reserved_, end - reserved_) != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
            return PutBack(QStringLiteral("cannot write"));
        reserved_ = end;
    }
    qint64 done = 0;
    const bool ok = WriteAll(fd_, data, size, written_, done);
    written_ += done;  // what the put-back must cover, however far the write got
    return ok || PutBack(QStringLiteral("cannot write"));
}

// The file is shortened only once the new bytes are on disk.
bool InPlaceWrite::Commit()
{
    if (finished_ || (!started_ && !KeepEarlierBytes()))
        return finished_ = true, false;
    if (fsync(fd_) != 0)
        return PutBack(QStringLiteral("cannot save"));
    if (written_ < earlierLength_) {
        cut_ = true;
        if (ftruncate(fd_, written_) != 0)
            return PutBack(QStringLiteral("cannot write"));
        if (fsync(fd_) != 0)
            return PutBack(QStringLiteral("cannot save"));
    }
    finished_ = true;
    if (close(std::exchange(fd_, -1)) != 0) {
        damaged_ = true;  // what reached the disk is no longer known: the copy stays
        return Fail(QStringLiteral("cannot save"));
    }
    DropCopy();
    return true;
}

// Only the bytes that were overwritten go back (all of them once the file was
// cut), so that what stopped the write (a size limit, say) cannot stop putting
// them back. The copy goes once they are on disk, and stays where they are not.
bool InPlaceWrite::PutBack(const QString& step)
{
    if (!step.isEmpty())
        Fail(step);
    finished_ = true;
    const qint64 overwritten = cut_ ? earlierLength_ : qMin(written_, earlierLength_);
    damaged_ = !((overwritten == 0 || CopyRange(copy_, fd_, 0, overwritten)) && ftruncate(fd_, earlierLength_) == 0
                 && fsync(fd_) == 0);
    if (!damaged_)
        DropCopy();
    return false;
}

void InPlaceWrite::DropCopy()
{
    if (copy_ < 0)
        return;
    close(std::exchange(copy_, -1));
    unlinkat(copyFolder_, copyName_.constData(), 0);
    keptAt_.clear();
}
