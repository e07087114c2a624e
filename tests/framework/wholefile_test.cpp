// The whole-file reader every opener uses: regular files whole, also through a
// link and past a size that undercounts; nothing, and promptly, from anything
// else; a file larger than memory refused before any of it is read.
#include "framework/files/wholefile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Problem = WholeFile::Problem;

// ReadWholeFile in a child process, so that a read that never ends (or a FIFO that
// blocks) fails the test after a short wait instead of hanging the run.
const char* ReadInChild(const QString& path)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(ReadWholeFile(path).problem == Problem::NotARegularFile ? 11 : 10);
    for (int waited = 0; child > 0 && waited < 3000; waited += 10) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return !WIFEXITED(status) ? "a crash" : WEXITSTATUS(status) == 10 ? "something read" : "refused";
        usleep(10 * 1000);
    }
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return "still running after 3 s";
}

struct Outcome {
    Problem problem;
    qint64 size, available, bytes;
    bool unended;
    qint64 peak;  // how far the read raised the child's resident memory
};

// A figure in kB of a process's status ("VmRSS:"), in bytes.
qint64 StatusBytes(pid_t pid, const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith(field))
                return line.mid(field.size()).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

// ReadWholeFile(path, memory) in a child, its address space limited to addressSpace
// bytes more than it has (0: not limited); nothing when the read had to be stopped,
// as it took more than 512 MiB or 10 s.
std::optional<Outcome> ReadWatched(const QString& path, qint64 memory, qint64 addressSpace = 0)
{
    int out[2];
    if (::pipe(out) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        if (addressSpace > 0) {
            const rlimit as {rlim_t(StatusBytes(getpid(), "VmSize:") + addressSpace), RLIM_INFINITY};
            if (::setrlimit(RLIMIT_AS, &as) != 0)
                _exit(2);
        }
        const qint64 before = StatusBytes(getpid(), "VmRSS:");
        const WholeFile read = ReadWholeFile(path, memory);
        const Outcome o {read.problem, read.size, read.available, read.bytes.size(), read.unended,
                         StatusBytes(getpid(), "VmHWM:") - before};
        _exit(::write(out[1], &o, sizeof o) == sizeof o ? 0 : 1);
    }
    ::close(out[1]);
    std::optional<Outcome> outcome;
    for (int waited = 0; child > 0; waited += 5) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            Outcome o {};
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && ::read(out[0], &o, sizeof o) == sizeof o)
                outcome = o;
            break;
        }
        if (waited > 10000 || StatusBytes(child, "VmRSS:") > (qint64(512) << 20)) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            break;
        }
        usleep(5 * 1000);
    }
    ::close(out[0]);
    return outcome;
}

} // namespace

TEST(WholeFile, RegularFilesAreReadWholeAlsoThroughALinkAndPastASizeThatSaysZero)
{
    QTemporaryDir dir;
    QByteArray sequence;
    for (int i = 0; i < 300; ++i)
        sequence.append(char(i));
    for (const QByteArray& bytes : {QByteArray(), sequence}) {
        const QString path = dir.filePath(QString::number(bytes.size())), link = path + "-link";
        ASSERT_TRUE(std::ofstream(path.toStdString()) << bytes.toStdString());
        ASSERT_TRUE(QFile::link(path, link));
        for (const QString& p : {path, link}) {
            const WholeFile read = ReadWholeFile(p);
            EXPECT_EQ(read.problem, Problem::None) << p.toStdString();
            EXPECT_TRUE(read.bytes == bytes) << p.toStdString();
        }
    }
    // A /proc file is a regular file that says it is empty.
    ASSERT_EQ(QFileInfo(QStringLiteral("/proc/self/status")).size(), 0);
    const WholeFile status = ReadWholeFile(QStringLiteral("/proc/self/status"));
    EXPECT_EQ(status.problem, Problem::None);
    EXPECT_TRUE(status.bytes.startsWith("Name:")) << status.bytes.left(30).constData();
    EXPECT_GT(status.bytes.size(), 300);
}

TEST(WholeFile, DeviceFifoFolderAndMissingFileGiveNothingPromptlyAndAFileLargerThanMemoryIsNotRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo"), fifoLink = dir.filePath("fifo-link"), zeroLink = dir.filePath("zero-link");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(fifo, fifoLink));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeroLink));
    for (const QString& path : {QStringLiteral("/dev/zero"), fifo, fifoLink, zeroLink})
        EXPECT_STREQ(ReadInChild(path), "refused") << path.toStdString();
    EXPECT_EQ(ReadWholeFile(dir.path()).problem, Problem::NotARegularFile);
    const WholeFile missing = ReadWholeFile(dir.filePath("missing"));
    EXPECT_EQ(std::pair(missing.problem, missing.error), std::pair(Problem::CannotRead, ENOENT));

    // A file larger than the memory there is, is refused before any of it is read.
    const QString sized = dir.filePath("sized");
    ASSERT_TRUE(std::ofstream(sized.toStdString()) << std::string(300, 'x'));
    const WholeFile over = ReadWholeFile(sized, 299);
    EXPECT_EQ(std::tuple(over.problem, over.size, over.available, over.bytes.size()),
              std::tuple(Problem::TooLarge, 300, 299, 0));
    const WholeFile fits = ReadWholeFile(sized, 300);
    EXPECT_EQ(std::pair(fits.problem, fits.bytes.size()), std::pair(Problem::None, qsizetype(300)));

    // The memory weighed against, in bytes: at least what is free, at most all there is.
    struct sysinfo info {};
    ASSERT_EQ(sysinfo(&info), 0);
    const qint64 unit = info.mem_unit, available = AvailableMemory();
    EXPECT_GE(available, qint64(info.freeram) * unit / 2);
    EXPECT_LE(available, qint64(info.totalram + info.totalswap) * unit);
}

// A file that says it is empty yet goes on (pagemap gives 8 bytes for each page a
// process could map: hundreds of GiB) is read up to the memory weighed and no
// further, its bytes held once meanwhile; refused by the allocator first, it is
// told as more than what was read.
TEST(WholeFile, AFileThatGoesOnPastTheMemoryWeighedIsCutOffThereAndCalledTooLarge)
{
    const QString endless = QStringLiteral("/proc/self/pagemap");
    if (!QFileInfo(endless).isReadable())
        GTEST_SKIP() << "this kernel gives no readable /proc/self/pagemap";
    ASSERT_EQ(QFileInfo(endless).size(), 0);
    constexpr qint64 memory = qint64(8) << 20;
    const std::optional<Outcome> cut = ReadWatched(endless, memory);
    ASSERT_TRUE(cut) << "the read went on past the memory weighed";
    EXPECT_EQ(std::tuple(cut->problem, cut->unended, cut->available, cut->bytes),
              std::tuple(Problem::TooLarge, true, memory, 0));
    EXPECT_GT(cut->size, memory);
    EXPECT_LE(cut->size, memory + 64 * 1024);
#ifndef __SANITIZE_ADDRESS__  // whose realloc always copies
    // Read up to a room of 200 MiB, its bytes are held once: an array grown by copying
    // them would need one and a half times as much.
    const std::optional<Outcome> large = ReadWatched(endless, qint64(200) << 20);
    ASSERT_TRUE(large);
    EXPECT_EQ(std::pair(large->problem, large->unended), std::pair(Problem::TooLarge, true));
    EXPECT_LT(large->peak, qint64(216) << 20);
#endif

    // A short one that says 0 is read whole within a little room, and told as more
    // than its room when it has less.
    const std::optional<Outcome> status = ReadWatched(QStringLiteral("/proc/self/status"), 100);
    ASSERT_TRUE(status);
    EXPECT_EQ(std::tuple(status->problem, status->unended, status->available, status->bytes),
              std::tuple(Problem::TooLarge, true, 100, 0));
    EXPECT_GT(status->size, 100);
    const std::optional<Outcome> fits = ReadWatched(QStringLiteral("/proc/self/status"), 64 * 1024);
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->problem, Problem::None);
    EXPECT_GT(fits->bytes, 300);

#ifndef __SANITIZE_ADDRESS__
    // No limit weighed, but an address-space limit of 256 MiB more than the process has.
    const std::optional<Outcome> refused = ReadWatched(endless, 0, qint64(256) << 20);
    ASSERT_TRUE(refused) << "the read went on past the address-space limit";
    EXPECT_EQ(std::tuple(refused->problem, refused->unended, refused->bytes), std::tuple(Problem::TooLarge, true, 0));
    EXPECT_GT(refused->size, qint64(16) << 20);
    EXPECT_GT(refused->available, 0);
    EXPECT_LE(refused->available, qint64(256) << 20);
#endif
}
