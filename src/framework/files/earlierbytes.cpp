// EarlierCopy and the records over the system calls. The copy is made by the
// kernel (copy_file_range), or through one buffer taken before anything is copied,
// so that putting the bytes back never needs memory.
#include "framework/files/earlierbytes.h"

#include "framework/files/writeall.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <new>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr char kProgram[] = "quorvanel";
constexpr char kFallbackParent[] = "/var/tmp";
constexpr char kPartial[] = ".partial-";
constexpr char kRecordSuffix[] = ".record";
// The lines a record may hold after the path: the user was told of the copy, or
// its save ended well and only the copy could not be removed.
constexpr char kTold[] = "told";
constexpr char kSaved[] = "saved";
constexpr qint64 kCopyBlock = qint64(1) << 20;
constexpr qsizetype kLongestKeptName = 200;  // of NAME_MAX 255, room for the suffixes
constexpr qint64 kLongestRecord = 64 * 1024;

QByteArray StateHome()
{
    const QByteArray set = qgetenv("XDG_STATE_HOME");
    if (set.startsWith('/'))
        return set;
    QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/')) {
        const passwd* user = getpwuid(geteuid());
        home = user && user->pw_dir && user->pw_dir[0] == '/' ? QByteArray(user->pw_dir) : QByteArray();
    }
    return home.isEmpty() ? QByteArray() : home + "/.local/state";
}

QByteArray FallbackName() { return "quorvanel-" + QByteArray::number(geteuid()); }

// The two folders a copy may be in, the state folder first (empty without a home).
QByteArray StateFolder()
{
    const QByteArray home = StateHome();
    return home.isEmpty() ? QByteArray() : home + '/' + kProgram;
}
QByteArray FallbackFolder() { return QByteArray(kFallbackParent) + '/' + FallbackName(); }

// A tmpfs or ramfs is emptied by a restart, which is when the copy is wanted.
bool InMemory(int fd)
{
    struct statfs fs {};
    return fstatfs(fd, &fs) == 0 && (fs.f_type == TMPFS_MAGIC || fs.f_type == RAMFS_MAGIC);
}

// Why a folder cannot take the copy, as the message gives it.
struct Refusal {
    int error = 0;
    bool inMemory = false;
    QString Words() const
    {
        return inMemory ? QStringLiteral("it is held in memory only, so a restart would lose them")
                        : QString::fromLocal8Bit(std::strerror(error));
    }
};
// No errno says "held in memory"; the words do.
constexpr int kInMemoryError = ENOTSUP;

// Each missing folder of path, made for the user alone.
bool MakeFolders(const QByteArray& path)
{
    for (qsizetype at = path.indexOf('/', 1);; at = path.indexOf('/', at + 1)) {
        if (mkdir((at < 0 ? path : path.left(at)).constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (at < 0)
            return true;
    }
}

// The folder name in parentPath, made for the user alone where missing; refused
// when another user owns it (EPERM) or it is a link (ELOOP), as either could hand
// the copy to someone else, and when it is held in memory.
int OpenPrivateFolder(const QByteArray& parentPath, const QByteArray& name, bool makeParents, Refusal& refusal)
{
    if (makeParents && !MakeFolders(parentPath))
        return refusal.error = errno, -1;
    const int parent = open(parentPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0)
        return refusal.error = errno, -1;
    int folder = -1;
    if (InMemory(parent))
        refusal = {kInMemoryError, true};
    else if (mkdirat(parent, name.constData(), 0700) == 0 || errno == EEXIST)
        folder = openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0 && !refusal.inMemory)
        refusal.error = errno;
    close(parent);
    if (folder < 0)
        return -1;
    struct stat st {};
    if (fstat(folder, &st) != 0)
        refusal.error = errno;
    else if (st.st_uid != geteuid())
        refusal.error = EPERM;
    else if ((st.st_mode & 077) != 0 && fchmod(folder, 0700) != 0)
        refusal.error = errno;
    else if (InMemory(folder))
        refusal = {kInMemoryError, true};
    else
        return folder;
    close(folder);
    return -1;
}

// count bytes from in at offset to out at the same offset, through buffer where
// the kernel cannot copy them; errno set on failure.
bool CopyRange(int in, int out, qint64 offset, qint64 count, char* buffer)
{
    qint64 done = 0;
    bool kernel = true;
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
            n = pread(in, buffer, size_t(qMin(count - done, kCopyBlock)), offset + done);
            qint64 put = 0;
            if (n > 0 && !WriteAll(out, buffer, n, offset + done, put))
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

// Held by the rewrite while it runs; a file system that keeps no locks goes without.
void Lock(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    (void)fcntl(fd, F_OFD_SETLK, &lock);
}

bool HeldElsewhere(int fd)
{
    struct flock lock {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    return fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

bool Exists(int folder, const QByteArray& name)
{
    struct stat st {};
    return fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// A line of the record: the path as it is, but for its backslashes and line breaks.
QByteArray Escaped(const QByteArray& path)
{
    return QByteArray(path).replace('\\', "\\\\").replace('\n', "\\n");
}

QByteArray Unescaped(const QByteArray& line)
{
    QByteArray out;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size())
            out += line[++i] == 'n' ? '\n' : line[i];
        else
            out += line[i];
    }
    return out;
}

// A line added to the record named record in folder.
bool AddToRecord(int folder, const char* record, const char* line)
{
    const int fd = openat(folder, record, O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    // The line and its break in one write, so that a kill cannot leave half of it.
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%s\n", line);
    qint64 done = 0;
    const bool ok = WriteAll(fd, text, length, -1, done) && fsync(fd) == 0;
    close(fd);
    return ok;
}

// A regular file of the user's own in folder, opened for reading; -1 otherwise.
int OpenOwn(int folder, const QByteArray& name, struct stat& st)
{
    const int fd = openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid())
        return fd;
    if (fd >= 0)
        close(fd);
    return -1;
}

// The copy of the record named name in folder, if what a cut-off save left.
bool ReadLeft(int folder, const QByteArray& folderPath, const QByteArray& name, LeftEarlierBytes& left)
{
    const QByteArray copyName = name.chopped(qsizetype(sizeof kRecordSuffix) - 1);
    struct stat st {};
    const int copy = OpenOwn(folder, copyName, st);
    if (copy < 0)
        return false;  // made only in part, or removed
    const bool running = HeldElsewhere(copy);
    close(copy);
    struct stat recordSt {};
    const int fd = running ? -1 : OpenOwn(folder, name, recordSt);
    if (fd < 0)
        return false;
    QByteArray text(qMin<qint64>(recordSt.st_size, kLongestRecord), Qt::Uninitialized);
    const ssize_t n = pread(fd, text.data(), size_t(text.size()), 0);
    close(fd);
    text.truncate(qMax<ssize_t>(n, 0));
    left = {folderPath + '/' + copyName, {}, false, qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith("file="))
            left.file = Unescaped(line.mid(5));
        else if (line == kTold)
            left.told = true;
        else if (line == kSaved)
            return false;  // its save ended well, and only the copy could not go
    }
    return !left.file.isEmpty();
}

}  // namespace

EarlierCopy::~EarlierCopy()
{
    if (fd_ >= 0)
        close(fd_);
    if (folder_ >= 0)
        close(folder_);
}

bool EarlierCopy::Fail(QString step, int error, QString reason)
{
    error_ = error;
    step_ = std::move(step);
    reason_ = std::move(reason);
    Remove();
    return false;
}

QString EarlierCopy::Reason() const
{
    return reason_.isEmpty() ? QString::fromLocal8Bit(std::strerror(error_)) : reason_;
}

QByteArray EarlierCopy::Path() const { return folderPath_ + '/' + name_; }

bool EarlierCopy::Make(int fd, qint64 length, const QByteArray& path)
{
    const QString to = QStringLiteral("cannot copy the earlier bytes to ");
    buffer_.reset(new (std::nothrow) char[kCopyBlock]);
    if (!buffer_)
        return Fail(QStringLiteral("cannot copy the earlier bytes"), ENOMEM);
    // The state folder's refusal is the one to tell, as it is the one looked for.
    const QByteArray state = StateFolder();
    Refusal refusal{ENOENT}, fallback;
    folderPath_ = state;
    if (!state.isEmpty())
        folder_ = OpenPrivateFolder(state.left(state.lastIndexOf('/')), kProgram, true, refusal);
    if (folder_ < 0) {
        folderPath_ = FallbackFolder();
        folder_ = OpenPrivateFolder(kFallbackParent, FallbackName(), false, fallback);
    }
    if (folder_ < 0 && !state.isEmpty())
        return Fail(to + QFile::decodeName(state), refusal.error, refusal.Words());
    if (folder_ < 0)
        return Fail(to + QFile::decodeName(folderPath_), fallback.error,
                    QStringLiteral("there is no home folder to keep them in, and this folder cannot be used (%1)")
                        .arg(fallback.Words()));
    const QString step = to + QFile::decodeName(folderPath_);

    // Cut short, at a character's start: the message names it.
    QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    qsizetype cut = qMin(name.size(), kLongestKeptName);
    while (cut < name.size() && cut > 0 && (uchar(name[cut]) & 0xC0) == 0x80)
        --cut;
    name.truncate(cut);
    errno = EEXIST;
    for (int attempt = 0; attempt < 32 && fd_ < 0; ++attempt) {
        name_ = name + ".earlier-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        partial_ = kPartial + name_;
        record_ = name_ + kRecordSuffix;
        // A copy or record left by an earlier save stays as it is.
        if (Exists(folder_, name_) || Exists(folder_, record_))
            continue;
        fd_ = openat(folder_, partial_.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0)
        return Fail(step, errno);
    Lock(fd_);
    if (!CopyRange(fd, fd_, 0, length, buffer_.get()) || fsync(fd_) != 0)
        return Fail(step, errno);

    // The record is on disk before the copy is named whole, so a whole copy always
    // has one.
    const QByteArray line = "file=" + Escaped(RecordedPath(path)) + '\n';
    const int record = openat(folder_, record_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    qint64 done = 0;
    const bool recorded = record >= 0 && WriteAll(record, line.constData(), line.size(), -1, done) && fsync(record) == 0;
    const int error = errno;
    if (record >= 0)
        close(record);
    if (!recorded)
        return Fail(step, error);
    if (fsync(folder_) != 0)
        return Fail(step, errno);
    if (renameat2(folder_, partial_.constData(), folder_, name_.constData(), RENAME_NOREPLACE) != 0
        && (errno != EINVAL || renameat(folder_, partial_.constData(), folder_, name_.constData()) != 0))
        return Fail(step, errno);
    whole_ = true;
    if (fsync(folder_) != 0)
        return Fail(step, errno);
    return true;
}

bool EarlierCopy::PutBack(int fd, qint64 count) const
{
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    return count == 0 || CopyRange(fd_, fd, 0, count, buffer_.get());
}

bool EarlierCopy::Drop()
{
    if (fd_ < 0)
        return true;
    const bool gone = unlinkat(folder_, (whole_ ? name_ : partial_).constData(), 0) == 0;
    const int error = errno;
    if (unlinkat(folder_, record_.constData(), 0) != 0 && !gone)
        AddToRecord(folder_, record_.constData(), kSaved);
    // Let go only now: until its record is gone, the copy must not look left over.
    close(std::exchange(fd_, -1));
    errno = error;
    return gone;
}

void EarlierCopy::Remove()
{
    if (fd_ >= 0) {
        unlinkat(folder_, (whole_ ? name_ : partial_).constData(), 0);
        unlinkat(folder_, record_.constData(), 0);
        close(std::exchange(fd_, -1));
    }
    if (folder_ >= 0)
        close(std::exchange(folder_, -1));
}

std::vector<LeftEarlierBytes> FindLeftEarlierBytes()
{
    std::vector<LeftEarlierBytes> found;
    for (const QByteArray& folderPath : {StateFolder(), FallbackFolder()}) {
        const int folder = folderPath.isEmpty()
            ? -1
            : open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        struct stat st {};
        if (folder >= 0 && (fstat(folder, &st) != 0 || st.st_uid != geteuid())) {
            close(folder);
            continue;
        }
        DIR* dir = folder >= 0 ? fdopendir(folder) : nullptr;
        if (!dir) {
            if (folder >= 0)
                close(folder);
            continue;
        }
        while (const dirent* entry = readdir(dir)) {
            const QByteArray name(entry->d_name);
            LeftEarlierBytes left;
            if (name.endsWith(kRecordSuffix) && ReadLeft(dirfd(dir), folderPath, name, left))
                found.push_back(std::move(left));
        }
        closedir(dir);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.madeAt > b.madeAt; });
    return found;
}

bool MarkEarlierBytesTold(const QByteArray& copy)
{
    return AddToRecord(AT_FDCWD, (copy + kRecordSuffix).constData(), kTold);
}

QByteArray RecordedPath(const QByteArray& path)
{
    if (char* real = realpath(path.constData(), nullptr)) {
        const QByteArray resolved(real);
        std::free(real);
        return resolved;
    }
    if (path.startsWith('/'))
        return path;
    char* cwd = getcwd(nullptr, 0);
    const QByteArray absolute = cwd ? QByteArray(cwd) + '/' + path : path;
    std::free(cwd);
    return absolute;
}
