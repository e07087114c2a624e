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
