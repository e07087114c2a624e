// The built program opening a file within the memory it may use: in a memory
// cgroup of its own (made here where the machine lets root make one) and under an
// address-space limit, a file larger than the room, or one that never ends, is
// told as too large with true figures, and the program lives on.
#include "framework/files/memoryroom.h"

#include <QByteArray>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qint64 MiB = qint64(1) << 20;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteText(const QByteArray& path, const QByteArray& text)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, text.constData(), size_t(text.size())) == text.size();
    if (fd >= 0)
        ::close(fd);
    return written;
}

// A memory cgroup of this test's own, with a limit; why says what the machine
// refused when there is none. Where the memory controller had to be given to the
// root's groups (v2), it is taken back at the end, as the group is removed.
class MemoryGroup {
public:
    explicit MemoryGroup(qint64 limit)
    {
        QByteArray top = "/sys/fs/cgroup/memory", limitFile = "memory.limit_in_bytes";
        const bool v2 = !QFile::exists(QString::fromLatin1(top + "/" + limitFile));
        if (v2) {
            top = "/sys/fs/cgroup";
            limitFile = "memory.max";
            if (!ReadAll(QStringLiteral("/sys/fs/cgroup/cgroup.controllers")).trimmed().split(' ').contains("memory")) {
                why_ = "no memory cgroup controller is mounted at /sys/fs/cgroup";
                return;
            }
        }
        // The groups of tests run at once take turns, so that none takes the
        // controller back from under another's group.
        lock_ = ::open(top.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (lock_ < 0 || ::flock(lock_, LOCK_EX) != 0) {
            why_ = "cannot lock " + top + ": " + std::strerror(errno);
            return;
        }
        if (v2 && !ReadAll(QStringLiteral("/sys/fs/cgroup/cgroup.subtree_control")).contains("memory")) {
            if (!WriteText(top + "/cgroup.subtree_control", "+memory")) {
                why_ = "the memory controller cannot be given to new groups: " + QByteArray(std::strerror(errno));
                return;
            }
            given_ = top + "/cgroup.subtree_control";
        }
        folder_ = top + "/quorvanel-test-" + QByteArray::number(::getpid());
        if (::mkdir(folder_.constData(), 0755) != 0) {
            why_ = "cannot make a cgroup at " + folder_ + ": " + std::strerror(errno);
            folder_.clear();
            return;
        }
        if (!WriteText(folder_ + "/" + limitFile, QByteArray::number(limit)))
            why_ = "cannot limit the cgroup's memory: " + QByteArray(std::strerror(errno));
        procs_ = folder_ + "/cgroup.procs";
    }
    ~MemoryGroup()
    {
        // A group is busy until the kernel has seen its last process go.
        for (int tries = 0; !folder_.isEmpty() && ::rmdir(folder_.constData()) != 0 && errno == EBUSY && tries < 100; ++tries)
            QThread::msleep(10);
        if (!given_.isEmpty())
            WriteText(given_, "-memory");
        if (lock_ >= 0)
            ::close(lock_);
    }
    MemoryGroup(const MemoryGroup&) = delete;
    MemoryGroup& operator=(const MemoryGroup&) = delete;
    const QByteArray& Why() const { return why_; }
    // Moves the calling process into the group; allocates nothing, as it is called
    // between fork and exec.
    bool Join() const
    {
        char pid[32];
        const int n = std::snprintf(pid, sizeof pid, "%d", int(::getpid()));
        const int fd = ::open(procs_.constData(), O_WRONLY | O_CLOEXEC);
        const bool joined = fd >= 0 && ::write(fd, pid, size_t(n)) == n;
        if (fd >= 0)
            ::close(fd);
        return joined;
    }

private:
    QByteArray folder_, procs_, why_, given_;
    int lock_ = -1;
};

struct Opened {
    QByteArray err;    // what the program wrote on stderr
    bool alive = false; // still running once it had told it
    qint64 addressSpace = 0; // its VmSize then, in bytes
};

// The program, on its own, opening path: joined to group or with its address space
// limited to addressSpace bytes first when given. Waits until it has said the
// file could not be opened, or ended, or 30 s went by; then ends it.
Opened OpenInProgram(const QByteArray& path, const MemoryGroup* group = nullptr, qint64 addressSpace = 0)
{
    QTemporaryDir run;
    const QByteArray errPath = QFile::encodeName(run.filePath(QStringLiteral("stderr")));
    const int out = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    QByteArray program = QUORVANEL_PROGRAM, file = path;
    char* argv[] = {program.data(), file.data(), nullptr};
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run.path()));
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
        const rlimit as {rlim_t(addressSpace), rlim_t(addressSpace)};
        if ((group && !group->Join()) || (addressSpace > 0 && ::setrlimit(RLIMIT_AS, &as) != 0))
            ::_exit(126);
        ::execv(argv[0], argv);
        ::_exit(127);
    }
    ::close(out);
    Opened opened;
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    bool ended = false;
    while (!(ended = ::waitpid(pid, &status, WNOHANG) == pid) && clock.elapsed() < 30000
           && !ReadAll(QFile::decodeName(errPath)).contains("could not be opened"))
        QThread::msleep(20);
    if (!ended) {
        // Told, but maybe not yet done: a moment more shows whether telling was its end.
        QThread::msleep(300);
        opened.alive = ::waitpid(pid, &status, WNOHANG) == 0;
        for (const QByteArray& line : ReadAll(QStringLiteral("/proc/%1/status").arg(pid)).split('\n'))
            if (line.startsWith("VmSize:"))
                opened.addressSpace = line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    opened.err = ReadAll(QFile::decodeName(errPath));
    return opened;
}

// The memory the message says is free, in bytes; -1 when it names none.
qint64 FreeMemorySaid(const QByteArray& err)
{
    static const QRegularExpression said(QStringLiteral(R"(the ([0-9.]+) (bytes|KiB|MiB|GiB|TiB) of memory that is free)"));
    const QRegularExpressionMatch m = said.match(QString::fromLocal8Bit(err));
    if (!m.hasMatch())
        return -1;
    const int shift = QStringList{"bytes", "KiB", "MiB", "GiB", "TiB"}.indexOf(m.captured(2)) * 10;
    return qint64(m.captured(1).toDouble() * double(qint64(1) << shift));
}

// The program lived on and told the file as too large, in words that contain said,
// with a free memory above 0 and below the limit it runs under.
void ExpectToldWithinLimit(const Opened& opened, const QString& said, qint64 limit)
{
    EXPECT_TRUE(opened.alive) << opened.err.constData();
    EXPECT_TRUE(QString::fromLocal8Bit(opened.err).contains(said)) << opened.err.constData();
    const qint64 free = FreeMemorySaid(opened.err);
    EXPECT_GT(free, 0) << opened.err.constData();
    EXPECT_LT(free, limit) << opened.err.constData();
}

// A file made sparse to size bytes; false where the file system cannot hold one.
bool Sparse(const QByteArray& path, qint64 size)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool made = fd >= 0 && ::ftruncate(fd, size) == 0;
    if (fd >= 0)
        ::close(fd);
    return made;
}

// A file that grows as it is read: 128 MiB at first, and 16 MiB more (a hole)
// each time a read of it is seen, more than such a read takes.
class GrowingFile {
public:
    explicit GrowingFile(const QByteArray& path)
        : fd_(::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)),
          events_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (fd_ < 0 || events_ < 0 || ::ftruncate(fd_, kFirst) != 0
            || ::inotify_add_watch(events_, path.constData(), IN_ACCESS) < 0)
            return;
        writer_ = std::thread([this] {
            alignas(inotify_event) char buffer[4096];
            for (qint64 size = kFirst; !stop_;) {
                pollfd ready {events_, POLLIN, 0};
                if (::poll(&ready, 1, 10) != 1)
                    continue;
                for (ssize_t n = ::read(events_, buffer, sizeof buffer), at = 0; n > 0 && at < n;
                     at += ssize_t(sizeof(inotify_event) + reinterpret_cast<inotify_event*>(buffer + at)->len))
                    size += 16 * MiB;
                if (::ftruncate(fd_, size) != 0)
                    break;
            }
        });
    }
    ~GrowingFile()
    {
        stop_ = true;
        if (writer_.joinable())
            writer_.join();
        for (int fd : {fd_, events_})
            if (fd >= 0)
                ::close(fd);
    }
    bool Growing() const { return writer_.joinable(); }

private:
    static constexpr qint64 kFirst = 128 * MiB;
    int fd_, events_;
    std::atomic<bool> stop_ {false};
    std::thread writer_;
};

} // namespace

// In a 512 MiB memory cgroup: a file half as large again as the limit is told as
// too large, with the room the group leaves.
TEST(OpenMemory, InAMemoryCgroupAFileOverItsRoomIsToldAndTheProgramLives)
{
    constexpr qint64 limit = 512 * MiB;
    const MemoryGroup group(limit);
    if (!group.Why().isEmpty())
        GTEST_SKIP() << group.Why().constData();
    QTemporaryDir files;
    const QByteArray large = QFile::encodeName(files.filePath(QStringLiteral("large.bin")));
    if (!Sparse(large, limit * 3 / 2))
        GTEST_SKIP() << "this file system cannot hold a sparse file of " << limit * 3 / 2 << " bytes";

    ExpectToldWithinLimit(OpenInProgram(large, &group),
                          "\"" + QFile::decodeName(large) + "\" could not be opened: it holds 768.0 MiB, more than the ", limit);
}

// In a 512 MiB memory cgroup, a file growing faster than it is read: read up to
// the room the group leaves and no further, told as more than that room.
TEST(OpenMemory, InAMemoryCgroupAFileGrowingAsItIsReadIsCutOffAtTheRoomAndTheProgramLives)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's realloc copies: an array grown up to the room needs more than the room";
#endif
    constexpr qint64 limit = 512 * MiB;
    const MemoryGroup group(limit);
    if (!group.Why().isEmpty())
        GTEST_SKIP() << group.Why().constData();
    QTemporaryDir files;
    const QByteArray growing = QFile::encodeName(files.filePath(QStringLiteral("growing.bin")));
    const GrowingFile writer(growing);
    if (!writer.Growing())
        GTEST_SKIP() << "this file system cannot hold a sparse file, or does not report reads of it";
    ExpectToldWithinLimit(OpenInProgram(growing, &group),
                          "\"" + QFile::decodeName(growing) + "\" could not be opened: it holds more than the ", limit);
}

// Under an address-space limit of 512 MiB more than the program takes to start:
// the figures told are the file's real size, or that it never ended, and the room
// the limit leaves, not the free memory of the whole machine.
TEST(OpenMemory, UnderAnAddressSpaceLimitTheMessageGivesTheFilesSizeAndTheRoomTheLimitLeaves)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer reserves terabytes of address space: no limit on it can be set";
#endif
    QTemporaryDir files;
    const QByteArray huge = QFile::encodeName(files.filePath(QStringLiteral("huge.bin")));
    const qint64 size = AvailableMemory() + (qint64(4) << 30);
    if (!Sparse(huge, size))
        GTEST_SKIP() << "this file system cannot hold a sparse file of " << size << " bytes";
    // The program's own address space as it tells of a file, when nothing limits it.
    const Opened unlimited = OpenInProgram(huge);
    ASSERT_TRUE(unlimited.alive && unlimited.addressSpace > 0) << unlimited.err.constData();
    const qint64 room = 512 * MiB, limit = unlimited.addressSpace + room;

    const QString sized = QStringLiteral("\"%1\" could not be opened: it holds %2, more than the ")
        .arg(QFile::decodeName(huge), QLocale::c().formattedDataSize(size, 1, QLocale::DataSizeIecFormat));
    const QString endless = QStringLiteral("\"/proc/self/pagemap\" could not be opened: it holds more than the ");
    for (const auto& [path, said] : {std::pair(huge, sized), std::pair(QByteArray("/proc/self/pagemap"), endless)}) {
        // What the limit leaves as the file is opened: less than the limit, though not
        // the room exactly, as a program under a limit reserves less address space.
        ExpectToldWithinLimit(OpenInProgram(path, nullptr, limit), said, limit);
    }
}

// Under an address-space limit, the same file launch after launch: the room told
// is the same each time, whichever threads the program had started by then.
TEST(OpenMemory, UnderAnAddressSpaceLimitTheSameFileIsWeighedAlikeLaunchAfterLaunch)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer reserves terabytes of address space: no limit on it can be set";
#endif
    QTemporaryDir files;
    const QByteArray huge = QFile::encodeName(files.filePath(QStringLiteral("huge.bin")));
    if (!Sparse(huge, AvailableMemory() + (qint64(4) << 30)))
        GTEST_SKIP() << "this file system cannot hold a sparse file larger than the memory free";
    const Opened unlimited = OpenInProgram(huge);
    ASSERT_TRUE(unlimited.alive && unlimited.addressSpace > 0) << unlimited.err.constData();
    QList<qint64> told;
    for (int launch = 0; launch < 5; ++launch)
        told.append(FreeMemorySaid(OpenInProgram(huge, nullptr, unlimited.addressSpace + 512 * MiB).err));
    const auto [least, most] = std::minmax_element(told.cbegin(), told.cend());
    EXPECT_GT(*least, 0);
    EXPECT_LE(*most - *least, MiB) << QDebug::toString(told).toStdString();
}
