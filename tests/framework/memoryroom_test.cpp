// The memory room of a process, from kernel texts and cgroup folders made by
// hand: which group a process is in, the tightest limit up its hierarchy, the
// address space left, and the least of them as the process itself sees it.
#include "framework/files/memoryroom.h"
#include "framework/files/wholefile.h"

#include "../common/inchild.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <array>
#include <atomic>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace memoryroom;

namespace {

constexpr qint64 MiB = qint64(1) << 20;

// A cgroup folder under root holding the given files.
void Group(const QTemporaryDir& root, const QString& folder, const QList<std::pair<QString, QByteArray>>& files)
{
    ASSERT_TRUE(QDir(root.path()).mkpath(folder));
    for (const auto& [name, text] : files) {
        QFile file(root.filePath(folder + '/' + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }
}

QByteArray Mount(const QTemporaryDir& root, const QByteArray& point, const QByteArray& source, const QByteArray& tail)
{
    return "35 31 0:32 " + source + " " + QFile::encodeName(root.path()) + point + " rw,relatime - " + tail + "\n";
}

// This process's address space in use, in bytes.
qint64 VmSize()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
    return -1;
}

} // namespace

TEST(MemoryRoom, TheGroupIsFoundInTheMountOfItsHierarchyV1MemoryFirstThenUnified)
{
    QTemporaryDir root;
    const QByteArray top = QFile::encodeName(root.path());
    const QByteArray mounts = "22 1 0:21 / /proc rw - proc proc rw\n"
        + Mount(root, "/cpu", "/", "cgroup cgroup rw,cpu")
        + Mount(root, "/mem\\040ory", "/", "cgroup cgroup rw,memory")
        + Mount(root, "/unified", "/", "cgroup2 cgroup2 rw");
    const QByteArray hybrid = "9:name=systemd:/\n4:cpu:/other\n3:blkio,memory:/sandbox/job 1\n0::/session.slice\n";
    Cgroup found = FindMemoryCgroup(hybrid, mounts);
    EXPECT_EQ(std::tuple(found.folder, found.top, found.v2),
              std::tuple(top + "/mem ory/sandbox/job 1", top + "/mem ory", false));

    // No memory controller of its own: the unified hierarchy.
    found = FindMemoryCgroup("4:cpu:/other\n0::/user.slice/app.scope\n", mounts);
    EXPECT_EQ(std::tuple(found.folder, found.top, found.v2),
              std::tuple(top + "/unified/user.slice/app.scope", top + "/unified", true));

    // A container sees its own group as the mount's root; a mount of another part of
    // the hierarchy does not hold it.
    const QByteArray container = Mount(root, "/elsewhere", "/docker/other", "cgroup2 cgroup2 rw")
        + Mount(root, "/sys/fs/cgroup", "/docker/abc", "cgroup2 cgroup2 rw");
    found = FindMemoryCgroup("0::/docker/abc/inner\n", container);
    EXPECT_EQ(std::pair(found.folder, found.top), std::pair(top + "/sys/fs/cgroup/inner", top + "/sys/fs/cgroup"));
    found = FindMemoryCgroup("0::/\n", Mount(root, "/cg", "/", "cgroup2 cgroup2 rw"));
    EXPECT_EQ(std::pair(found.folder, found.top), std::pair(top + "/cg", top + "/cg"));

    for (const QByteArray& cgroup : {QByteArray("4:memory:/a\n"), QByteArray("0::/a\n"), QByteArray()})
        EXPECT_EQ(FindMemoryCgroup(cgroup, "22 1 0:21 / /proc rw - proc proc rw\n" + Mount(root, "/cpu", "/", "cgroup cgroup rw,cpu")).folder,
                  QByteArray()) << cgroup.constData();
}

TEST(MemoryRoom, TheTightestGroupUpToTheTopLimitsItsDroppableCacheCountingAsFree)
{
    QTemporaryDir root;
    const QByteArray top = QFile::encodeName(root.path());
    // v2: the session allows 1 GiB and uses 700 MiB, 100 MiB of it cache it would drop,
    // and a sixteenth of its limit is kept; the app's own group allows 2 GiB. Above the
    // top a tighter limit is not the process's.
    Group(root, "v2", {{"memory.max", "1000\n"}, {"memory.current", "0\n"}});
    Group(root, "v2/top", {{"memory.max", "max\n"}, {"memory.current", QByteArray::number(900 * MiB)}});
    Group(root, "v2/top/session", {{"memory.max", QByteArray::number(1024 * MiB) + "\n"},
                                   {"memory.current", QByteArray::number(700 * MiB) + "\n"},
                                   {"memory.stat", "anon 1\ninactive_file " + QByteArray::number(100 * MiB) + "\nactive_file 7\n"}});
    Group(root, "v2/top/session/app", {{"memory.max", QByteArray::number(2048 * MiB)}, {"memory.current", "4096"}});
    const Cgroup v2 {top + "/v2/top/session/app", top + "/v2/top", true};
    EXPECT_EQ(CgroupRoom(v2), 424 * MiB - 64 * MiB);
    // The group alone, when it is the top; a group with no limit anywhere sets none.
    EXPECT_EQ(CgroupRoom({top + "/v2/top/session/app", top + "/v2/top/session/app", true}), 2048 * MiB - 128 * MiB - 4096);
    EXPECT_EQ(CgroupRoom({top + "/v2/top", top + "/v2/top", true}), kNoLimit);
    EXPECT_EQ(CgroupRoom({}), kNoLimit);

    // v1: its own file names; a limit at the top counts, the unlimited figure does not
    // win, and a group past its limit has no room.
    Group(root, "v1", {{"memory.limit_in_bytes", QByteArray::number(600 * MiB)},
                       {"memory.usage_in_bytes", QByteArray::number(500 * MiB)},
                       {"memory.stat", "cache 9\ninactive_file 1\ntotal_inactive_file " + QByteArray::number(50 * MiB)}});
    Group(root, "v1/job", {{"memory.limit_in_bytes", "9223372036854771712"},
                           {"memory.usage_in_bytes", QByteArray::number(300 * MiB)},
                           {"memory.max", "1"}});
    EXPECT_EQ(CgroupRoom({top + "/v1/job", top + "/v1", false}), 150 * MiB - 600 * MiB / 16);
    Group(root, "v1/full", {{"memory.limit_in_bytes", QByteArray::number(64 * MiB)},
                            {"memory.usage_in_bytes", QByteArray::number(61 * MiB)}});
    EXPECT_EQ(CgroupRoom({top + "/v1/full", top + "/v1/full", false}), 0);
    // What is kept stops growing at 256 MiB.
    Group(root, "v1/large", {{"memory.limit_in_bytes", QByteArray::number(8192 * MiB)},
                             {"memory.usage_in_bytes", QByteArray::number(1024 * MiB)}});
    EXPECT_EQ(CgroupRoom({top + "/v1/large", top + "/v1/large", false}), 8192 * MiB - 256 * MiB - 1024 * MiB);
}

TEST(MemoryRoom, FreeMemoryAndAddressSpaceFromTheirTexts)
{
    EXPECT_EQ(SystemRoom("MemTotal:  900 kB\nMemFree: 10 kB\nMemAvailable:     2048 kB\nSwapTotal: 9 kB\nSwapFree:  1024 kB\n"),
              3 * MiB);
    EXPECT_EQ(SystemRoom("MemAvailable: 2048 kB\n"), 2 * MiB);
    EXPECT_EQ(SystemRoom("MemFree: 2048 kB\nSwapFree: 1 kB\n"), kNoLimit);

    // Beside the address space used: 64 MiB, and the stacks of the threads yet to
    // come, 12 at most; a thread started moves its stack from one to the other.
    const Beside beside {8 * MiB, 12};
    const auto status = [](qint64 vmSizeMiB, int threads) {
        return "Name:\tq\nVmPeak:\t  9999999 kB\nVmSize:\t " + QByteArray::number(vmSizeMiB * 1024)
            + " kB\nVmRSS:\t 5 kB\nThreads:\t" + QByteArray::number(threads) + "\n";
    };
    for (int started = 0; started < 3; ++started)
        EXPECT_EQ(AddressSpaceRoom(quint64(3072) * MiB, status(1024 + 8 * started, 4 + started), beside),
                  2048 * MiB - 64 * MiB - 8 * 8 * MiB) << started;
    EXPECT_EQ(AddressSpaceRoom(quint64(3072) * MiB, status(1024, 20), beside), 2048 * MiB - 64 * MiB);
    EXPECT_EQ(AddressSpaceRoom(quint64(1160) * MiB, status(1024, 4), beside), 8 * MiB);
    EXPECT_EQ(AddressSpaceRoom(quint64(1100) * MiB, status(1024, 4), beside), 0);
    EXPECT_EQ(AddressSpaceRoom(RLIM_INFINITY, status(1024, 4), beside), kNoLimit);
    // No figures: nothing used, one thread running.
    EXPECT_EQ(AddressSpaceRoom(quint64(256) * MiB, "Name:\tq\n", beside), 256 * MiB - 64 * MiB - 88 * MiB);
}

// The process's own room, in a child whose address space is limited: no more than
// the limit leaves, though the system has more free, less what is kept beside.
TEST(MemoryRoom, AvailableMemoryIsNoMoreThanTheAddressSpaceLimitLeaves)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer reserves terabytes of address space: no limit on it can be set";
#endif
    constexpr qint64 leaves = 1024 * MiB;
    ASSERT_GT(AvailableMemory(), 2 * leaves) << "this machine has too little memory free to tell the limit from it";
    const std::optional<QByteArray> answer = InChild([&]() -> std::optional<QByteArray> {
        const rlim_t limit = rlim_t(VmSize() + leaves);
        const rlimit as {limit, limit};
        return AsBytes(::setrlimit(RLIMIT_AS, &as) == 0 ? AvailableMemory() : qint64(-1));
    });
    ASSERT_TRUE(answer && answer->size() == sizeof(qint64));
    const qint64 room = *reinterpret_cast<const qint64*>(answer->constData());
    EXPECT_GT(room, 0);
    // Not a few pages' difference: the least kept beside is 64 MiB.
    EXPECT_LE(room, leaves - 32 * MiB);
}

// Under an address-space limit the room keeps a stack for each thread the program
// may run beside those running, and stays as it was when threads start.
TEST(MemoryRoom, TheAddressSpaceRoomKeepsTheStacksOfTheThreadsToComeWhetherOrNotTheyStarted)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer reserves terabytes of address space: no limit on it can be set";
#endif
    const qint64 most = 2 * QThread::idealThreadCount() + 8, leaves = 512 * MiB + most * 16 * MiB;
    ASSERT_GT(AvailableMemory(), 2 * leaves) << "this machine has too little memory free to tell the limit from it";
    // The room with some threads running and with two more, a thread's stack, and
    // how many threads ran at first.
    using Answer = std::array<qint64, 4>;
    const std::optional<QByteArray> told = InChild([&]() -> std::optional<QByteArray> {
        Answer answer {-1, -1, 0, 1};
        std::atomic<bool> done {false};
        std::vector<std::thread> threads;
        const auto start = [&] { threads.emplace_back([&done] { while (!done) QThread::msleep(1); }); };
        // The stacks of threads that ended before the fork are taken first: a thread
        // takes a stack of its own once they are all in use.
        while (threads.size() < 16 && answer[2] < MiB) {
            const qint64 before = VmSize();
            start();
            answer[2] = VmSize() - before;
        }
        answer[3] += qint64(threads.size());
        const rlim_t limit = rlim_t(VmSize() + leaves);
        const rlimit as {limit, limit};
        if (::setrlimit(RLIMIT_AS, &as) == 0) {
            answer[0] = AvailableMemory();
            start();
            start();
            answer[1] = AvailableMemory();
        }
        done = true;
        for (std::thread& thread : threads)
            thread.join();
        return AsBytes(answer);
    });
    ASSERT_TRUE(told && told->size() == sizeof(Answer));
    const auto [before, after, stack, running] = *reinterpret_cast<const Answer*>(told->constData());
    ASSERT_GT(stack, MiB) << "no thread took a stack of its own";
    if (running + 2 > most)
        GTEST_SKIP() << "more stacks were kept from ended threads than the program runs threads";
    EXPECT_NEAR(after, before, stack / 4);
    EXPECT_NEAR(before, leaves - 64 * MiB - (most - running) * stack, MiB + most * 64 * 1024);
}

// With no room left at all (its address space limit already passed), the process
// is not taken for one without a limit: every file but an empty one is refused.
TEST(MemoryRoom, NoRoomLeftIsNotTakenForNoLimit)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer reserves terabytes of address space: no limit on it can be set";
#endif
    QTemporaryDir dir;
    const QString small = dir.filePath("small.bin");
    {
        QFile f(small);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("two") == 3);
    }
    const qint64 size = VmSize();
    ASSERT_GT(size, 0);
    using Answer = std::array<qint64, 2>;  // the room, and the read's problem
    const std::optional<QByteArray> told = InChild([&]() -> std::optional<QByteArray> {
        const rlimit as {rlim_t(size / 2), RLIM_INFINITY};
        Answer answer {-1, -1};
        if (::setrlimit(RLIMIT_AS, &as) == 0) {
            answer[0] = AvailableMemory();
            answer[1] = qint64(ReadWholeFile(small, answer[0]).problem);
        }
        return AsBytes(answer);
    });
    ASSERT_TRUE(told && told->size() == sizeof(Answer));
    const Answer answer = *reinterpret_cast<const Answer*>(told->constData());
    EXPECT_GT(answer[0], 0) << "0 says no limit is known";
    EXPECT_LT(answer[0], 3);
    EXPECT_EQ(answer[1], qint64(WholeFile::Problem::TooLarge));
}
