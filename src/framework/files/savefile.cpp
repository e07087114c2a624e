// SaveFile over the system calls themselves: QSaveFile lets a failed flush at
// commit through (a small save onto a full disk replaced the file with an empty
// one), ignores a failed sync or close, and cannot keep the owner.
#include "framework/files/savefile.h"

#include "framework/files/inplacewrite.h"
#include "framework/files/writeall.h"
#include "framework/runtime/heldsignals.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

namespace {

bool ReadLink(int folder, const QByteArray& name, QByteArray& out)
{
    for (qsizetype size = 256;; size *= 4) {
        out.resize(size);
        const ssize_t n = readlinkat(folder, name.constData(), out.data(), out.size());
        if (n < 0)
            return false;
        if (n < size) {
            out.resize(n);
            return true;
        }
    }
}

// The file a path names, its links followed by the kernel so that its refusals
// hold. O_PATH opens nothing, so a FIFO cannot block here.
bool Look(const QByteArray& path, struct stat& st)
{
    const int fd = open(path.constData(), O_PATH | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = fstat(fd, &st) == 0;
    const int error = errno;
    close(fd);
    errno = error;
    return ok;
}

// As many links in a row as the kernel follows.
constexpr int kMostLinks = 40;

// Where a path's last links lead: the folder that holds the file they end at (or
// the missing file), its name there and a path to it, found without /proc, which
// a chroot or a sandbox may not have. The kernel opens each folder, so its
// refusals hold there; the caller checks the file against what the kernel itself
// found, as the links read here pass no such check.
struct Place {
    int folder = -1;
    QByteArray name;
    QByteArray path;
    struct stat st {};  // st_mode 0: no such file
};

bool Walk(const QByteArray& path, Place& place)
{
    QByteArray rest = path;
    QByteArray shown;  // the path of the folder the rest is relative to; empty: the current one
    int base = AT_FDCWD;
    for (int links = 0;; ++links) {
        const qsizetype slash = rest.lastIndexOf('/');
        const QByteArray dir = slash < 0    ? QByteArrayLiteral(".")
                               : slash == 0 ? QByteArrayLiteral("/")
                                            : rest.left(slash);
        const QByteArray name = rest.mid(slash + 1);
        if (slash >= 0)
            shown = rest.startsWith('/') || shown.isEmpty() ? dir : shown + '/' + dir;
        int folder = -1;
        if (name.isEmpty() || name == "." || name == "..")
            errno = EISDIR;
        else if (links > kMostLinks)
            errno = ELOOP;
        else
            folder = openat(base, dir.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int error = errno;
        if (base != AT_FDCWD)
            close(base);
        if (folder < 0) {
            errno = error;
            return false;
        }
        base = folder;
        struct stat st {};
        if (fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) {
                close(folder);
                return false;
            }
            st.st_mode = 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            place.folder = folder;
            place.name = name;
            place.path = shown.isEmpty() ? name : shown == "/" ? "/" + name : shown + '/' + name;
            place.st = st;
            return true;
        }
        if (!ReadLink(folder, name, rest)) {
            close(folder);
            return false;
        }
    }
}

// Read where the system shows it: setting it to read it races with other threads.
mode_t Umask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

// Every extended attribute of the file at path onto fd; false when one cannot be
// read or set.
bool CopyAttributes(const QByteArray& path, int fd)
{
    QByteArray names;
    ssize_t n = 0;
    do {
        n = listxattr(path.constData(), nullptr, 0);
        if (n < 0)
            return errno == ENOTSUP;  // none there
        names.resize(n);
        n = n > 0 ? listxattr(path.constData(), names.data(), names.size()) : 0;
    } while (n < 0 && errno == ERANGE);
    if (n < 0)
        return false;
    names.resize(n);
    for (const QByteArray& name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        QByteArray value;
        ssize_t size = 0;
        do {
            size = getxattr(path.constData(), name.constData(), nullptr, 0);
            if (size < 0)
                return false;
            value.resize(size);
            size = size > 0 ? getxattr(path.constData(), name.constData(), value.data(), value.size()) : 0;
        } while (size < 0 && errno == ERANGE);
        if (size < 0 || fsetxattr(fd, name.constData(), value.constData(), size, 0) != 0)
            return false;
    }
    return true;
}

}  // namespace

SaveFile::SaveFile(QString path) : target_(QFile::encodeName(path)) {}

SaveFile::~SaveFile()
{
    Discard();
    if (folder_ >= 0)
        close(folder_);
}

QString SaveFile::ErrorString() const
{
    return reason_.isEmpty() ? QString::fromLocal8Bit(std::strerror(error_)) : reason_;
}

bool SaveFile::FailAt(const char* step)
{
    error_ = errno;
    step_ = QString::fromLatin1(step);
    return false;
}

bool SaveFile::Open()
{
    held_ = std::make_unique<HeldSignals>();
    if (Begin())
        return true;
    held_.reset();
    return false;
}

bool SaveFile::Begin()
{
    struct stat earlier {};
    const bool exists = Look(target_, earlier);
    if (!exists && errno != ENOENT)
        return FailAt("cannot create");
    if (exists && S_ISDIR(earlier.st_mode)) {
        errno = EISDIR;
        return FailAt("cannot create");
    }
    // A FIFO or a device is not a file to replace, nor one to write into.
    if (exists && !S_ISREG(earlier.st_mode)) {
        errno = EINVAL;
        return FailAt("cannot create");
    }
    // Where the replacement is made, beside the file. What the kernel found is
    // never taken for a missing file, nor another one for it.
    Place place;
    if (!Walk(target_, place))
        return FailAt("cannot create");
    if (folder_ >= 0)
        close(folder_);
    folder_ = place.folder;
    name_ = place.name;
    const bool same = place.st.st_mode != 0 && place.st.st_dev == earlier.st_dev && place.st.st_ino == earlier.st_ino;
    if (exists ? !same : place.st.st_mode != 0) {
        errno = EAGAIN;  // changed while it was looked at
        return FailAt("cannot create");
    }
    // A link whose target is missing stays a link: the target is made where it
    // leads, the kernel having followed it with its refusals (another user's
    // link in /tmp) above.
    if (!exists)
        return OpenTemporary(nullptr);
    target_ = place.path;
    // A read-only file is not replaced behind its owner's back.
    if (faccessat(folder_, name_.constData(), W_OK, AT_EACCESS) != 0)
        return FailAt("cannot create");
    // A replacement would leave the other names with the old bytes.
    if (earlier.st_nlink > 1)
        return OpenInPlace(earlier);
    return OpenTemporary(&earlier);
}

bool SaveFile::OpenTemporary(const struct stat* earlier)
{
    for (int attempt = 0; attempt < 32 && fd_ < 0; ++attempt) {
        // Named within its folder, so that it is no longer a path than the file's.
        temporary_ = ".quorvanel-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        // Nobody else's until it holds the new bytes: the mode comes last.
        fd_ = openat(folder_, temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        FailAt("cannot create");
        temporary_.clear();
        const bool folderRefuses = error_ == EACCES || error_ == EPERM;
        if (!earlier || !folderRefuses)
            return false;
        const int refusal = error_;
        if (OpenInPlace(*earlier))
            return true;
        if (error_ != EAGAIN)
            error_ = refusal;  // the folder's refusal stays the reason, unless another saves the file
        return false;
    }
    if (earlier) {
        // What the file has and the replacement would not: written in place instead.
        // That includes another user's file in a sticky folder (/tmp), which a
        // replacement could not take the place of anyway.
        struct stat made {};
        const bool ownerKept = fstat(fd_, &made) == 0
                               && ((made.st_uid == earlier->st_uid && made.st_gid == earlier->st_gid)
                                   || fchown(fd_, earlier->st_uid, earlier->st_gid) == 0);
        if (!ownerKept || !CopyAttributes(target_, fd_)) {
            Discard();
            return OpenInPlace(*earlier);
        }
    }
    // Given at commit: until then the bytes are the owner's alone.
    finalMode_ = earlier ? earlier->st_mode & 07777 : 0666 & ~Umask();
    return true;
}

bool SaveFile::OpenInPlace(const struct stat& earlier)
{
    fd_ = openat(folder_, name_.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return FailAt("cannot create");
    // Still the file that was looked at, and no other save of it under way.
    struct stat now {};
    if (fstat(fd_, &now) != 0 || now.st_dev != earlier.st_dev || now.st_ino != earlier.st_ino) {
        errno = EAGAIN;
        FailAt("cannot create");
        close(std::exchange(fd_, -1));
        return false;
    }
    if (!LockForRewrite(fd_)) {
        FailAt("cannot create");
        close(std::exchange(fd_, -1));
        return false;
    }
    rewrite_ = std::make_unique<InPlaceWrite>(std::exchange(fd_, -1), target_);
    inPlace_ = true;
    error_ = 0;
    step_.clear();
    return true;
}

bool SaveFile::Write(const char* data, qint64 size)
{
    if (done_ || error_)
        return false;
    if (rewrite_)
        return rewrite_->Write(data, size) || RewriteFailed();
    if (fd_ < 0)
        return false;
    qint64 written = 0;
    if (!WriteAll(fd_, data, size, -1, written)) {
        // Gone at once, not when the stream is dropped: the failure message may
        // stay up for a while.
        FailAt("cannot write");
        Discard();
        held_.reset();
        return false;
    }
    return true;
}

bool SaveFile::Commit()
{
    if ((fd_ < 0 && !rewrite_) || done_ || error_)
        return false;
    const bool ok = rewrite_ ? CommitInPlace() : CommitTemporary();
    done_ = ok;
    if (!ok)
        Discard();
    held_.reset();
    return ok;
}

bool SaveFile::CommitTemporary()
{
    // After the owner, which was set at open: changing it may clear the set-id bits.
    if (fchmod(fd_, finalMode_) != 0)
        return FailAt("cannot save");
    // Only regular files are saved, and every one of them can be synced: a failure
    // (EROFS from a file system turned read-only after an error) means the bytes
    // never reached the disk.
    if (fsync(fd_) != 0)
        return FailAt("cannot save");
    const int fd = std::exchange(fd_, -1);
    if (close(fd) != 0)
        return FailAt("cannot save");
    if (renameat(folder_, temporary_.constData(), folder_, name_.constData()) != 0)
        return FailAt("cannot save");
    temporary_.clear();
    // The new name on disk too; the file's bytes already are, so a failure here
    // loses nothing that a crash before the rename would not.
    const int dir = openat(folder_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)fsync(dir);
        close(dir);
    }
    return true;
}

bool SaveFile::CommitInPlace()
{
    if (!rewrite_->Commit())
        return RewriteFailed();
    RewriteEnded();
    return true;
}

// The rewrite has put the earlier bytes back, or says where they are kept.
bool SaveFile::RewriteFailed()
{
    errno = rewrite_->Error();
    FailAt("");
    step_ = rewrite_->FailedStep();
    reason_ = rewrite_->Reason();
    damaged_ = rewrite_->Damaged();
    holdsNew_ = rewrite_->HoldsNewBytes();
    earlierCopy_ = QFile::decodeName(rewrite_->KeptAt());
    RewriteEnded();
    held_.reset();
    return false;
}

// What the rewrite left beside the file, then the rewrite itself.
void SaveFile::RewriteEnded()
{
    if (rewrite_->LeftCopyError() != 0) {
        leftCopy_ = QFile::decodeName(rewrite_->LeftCopy());
        leftCopyReason_ = QString::fromLocal8Bit(std::strerror(rewrite_->LeftCopyError()));
    }
    rewrite_.reset();
}

void SaveFile::Discard()
{
    if (fd_ >= 0)
        close(std::exchange(fd_, -1));
    if (!temporary_.isEmpty())
        unlinkat(folder_, std::exchange(temporary_, QByteArray()).constData(), 0);
    rewrite_.reset();  // undone, unless committed
}
