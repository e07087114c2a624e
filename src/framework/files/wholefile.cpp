// Reading a whole file: a stat before opening, so that a device is not even
// opened, and a check of the opened descriptor, in case the name was swapped.
#include "framework/files/wholefile.h"

#include "framework/text/pages.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads at most this much at once: one read returns at most about 2 GiB on Linux.
constexpr qint64 kMostPerRead = qint64(64) << 20;
constexpr qint64 kProbe = 64 * 1024;

WholeFile Failed(WholeFile::Problem problem, int error = 0)
{
    WholeFile f;
    f.problem = problem;
    f.error = error;
    return f;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads up to n bytes, through interruptions; -1 on an error.
qint64 ReadSome(int fd, char* out, qint64 n)
{
    for (;;) {
        const ssize_t got = ::read(fd, out, size_t(n));
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

} // namespace

WholeFile ReadWholeFile(const QString& path, qint64 memory)
{
    const QByteArray native = QFile::encodeName(path);
    // A device such as /dev/zero never ends, and a FIFO without a writer blocks open().
    struct stat st {};
    if (native.isEmpty() || ::stat(native.constData(), &st) != 0)
        return Failed(WholeFile::Problem::CannotRead, native.isEmpty() ? ENOENT : errno);
    if (!S_ISREG(st.st_mode))
        return Failed(WholeFile::Problem::NotARegularFile);
    const Descriptor fd(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        return Failed(WholeFile::Problem::CannotRead, errno);
    if (::fstat(fd.get(), &st) != 0)
        return Failed(WholeFile::Problem::CannotRead, errno);
    if (!S_ISREG(st.st_mode))
        return Failed(WholeFile::Problem::NotARegularFile);

    WholeFile f;
    f.size = st.st_size;
    // Asked for more than it has, the system may still say yes and end the program
    // once the pages are touched; so the size is weighed first.
    if (memory > 0 && f.size > memory) {
        f.problem = WholeFile::Problem::TooLarge;
        f.available = memory;
        return f;
    }
    // Read, not mapped: a mapping faults (SIGBUS) if another program shrinks the file
    // meanwhile. The size is only the first guess: the bytes read up to end of file
    // count, so a file that shrinks or grows (or a /proc file that says 0) gives what
    // it held, but never more than the memory weighed: /proc/self/pagemap says 0 and
    // gives hundreds of GiB, and a file appended to faster than it is read never ends.
    const qint64 most = memory > 0 ? memory : memoryroom::kNoLimit;
    qint64 got = 0;
    try {
        QByteArray bytes(qMax<qint64>(f.size, 0), Qt::Uninitialized);
        textfn::TakePagesAtOnce(bytes.data(), bytes.size());
        for (;;) {
            if (got == bytes.size()) {
                // As many bytes as the size said: only a read past them tells whether more came.
                char probe[kProbe];
                const qint64 n = ReadSome(fd.get(), probe, kProbe);
                if (n < 0)
                    return Failed(WholeFile::Problem::CannotRead, errno);
                if (n == 0)
                    break;
                if (n > most - got) {
                    f.problem = WholeFile::Problem::TooLarge;
                    f.size = got + n;
                    f.available = memory;
                    f.unended = true;
                    return f;
                }
                // Grown in place (a realloc, which the kernel moves without copying), never
                // past the memory weighed: an append would copy the bytes into a new
                // array, needing them twice over.
                if (bytes.capacity() < got + n)
                    bytes.reserve(qMin(most, qMax(got + n, 2 * got)));
                bytes.append(probe, n);
                got += n;
                continue;
            }
            const qint64 n = ReadSome(fd.get(), bytes.data() + got, qMin(kMostPerRead, bytes.size() - got));
            if (n < 0)
                return Failed(WholeFile::Problem::CannotRead, errno);
            if (n == 0)
                break;
            got += n;
        }
        bytes.truncate(got);
        f.bytes = std::move(bytes);
    } catch (const std::bad_alloc&) {
        // Refused before the limit weighed (an address space cut up into pieces): the
        // memory free is asked again, now that what was read is let go.
        f.problem = WholeFile::Problem::TooLarge;
        f.unended = got > f.size;
        f.size = qMax(f.size, got);
        f.available = AvailableMemory();
    }
    return f;
}
