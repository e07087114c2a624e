// InPlaceWrite over the system calls: the new bytes go straight into the file,
// with room past its earlier end reserved first, and neither they nor the earlier
// ones are held in memory.
#include "framework/files/inplacewrite.h"

#include "framework/files/writeall.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kLockWaitMs = 3000;
constexpr int kLockRetryMs = 100;

}  // namespace

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
        PutBack(nullptr);
    if (fd_ >= 0)
        close(std::exchange(fd_, -1));
}

QString InPlaceWrite::FailedStep() const { return copyFailed_ ? copy_.FailedStep() : QString::fromLatin1(step_); }

QString InPlaceWrite::Reason() const
{
    return copyFailed_ ? copy_.Reason() : QString::fromLocal8Bit(std::strerror(error_));
}

bool InPlaceWrite::Fail(const char* step)
{
    error_ = errno;
    step_ = step;
    return false;
}

// The whole earlier file, as every byte of it is about to be overwritten or cut:
// copied and synced, with its record, before the first new byte is written.
bool InPlaceWrite::KeepEarlierBytes()
{
    started_ = true;
    struct stat st {};
    if (fstat(fd_, &st) != 0)
        return Fail("cannot write");
    earlierLength_ = reserved_ = st.st_size;
    if (earlierLength_ == 0)
        return true;
    if (!copy_.Make(fd_, earlierLength_, target_)) {
        copyFailed_ = true;
        error_ = copy_.Error();
        return false;
    }
    kept_ = true;
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
            return PutBack("cannot write");
        reserved_ = end;
    }
    qint64 done = 0;
    const bool ok = WriteAll(fd_, data, size, written_, done);
    written_ += done;  // what the put-back must cover, however far the write got
    return ok || PutBack("cannot write");
}

// The file is shortened only once the new bytes are on disk.
bool InPlaceWrite::Commit()
{
    if (finished_ || (!started_ && !KeepEarlierBytes()))
        return finished_ = true, false;
    if (fsync(fd_) != 0)
        return PutBack("cannot save");
    if (written_ < earlierLength_) {
        cut_ = true;
        if (ftruncate(fd_, written_) != 0)
            return PutBack("cannot write");
        if (fsync(fd_) != 0)
            return PutBack("cannot save");
    }
    finished_ = true;
    // The new bytes are on disk whatever the close says: the save is told as failed,
    // but the copy of the earlier ones is no longer wanted.
    const bool closed = close(std::exchange(fd_, -1)) == 0;
    if (!closed) {
        Fail("closing it failed");
        holdsNew_ = true;
    }
    DropCopy();
    return closed;
}

// Only the bytes that were overwritten go back (all of them once the file was
// cut), so that what stopped the write (a size limit, say) cannot stop putting
// them back. The copy goes once they are on disk, and stays where they are not.
bool InPlaceWrite::PutBack(const char* step)
{
    if (step)
        Fail(step);
    finished_ = true;
    const qint64 overwritten = cut_ ? earlierLength_ : qMin(written_, earlierLength_);
    damaged_ = !((overwritten == 0 || copy_.PutBack(fd_, overwritten)) && ftruncate(fd_, earlierLength_) == 0
                 && fsync(fd_) == 0);
    if (!damaged_)
        DropCopy();
    return false;
}

void InPlaceWrite::DropCopy()
{
    if (kept_ && !copy_.Drop())
        leftError_ = errno;
    kept_ = false;
}
