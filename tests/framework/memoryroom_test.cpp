// The memory room of a process, from kernel texts and cgroup folders made by
// hand: which group a process is in, the tightest limit up its hierarchy, the
// address space left, and the least of them as the process itself sees it.
#include "framework/files/memoryroom.h"
#include "framework/files/wholefile.h"

#include "../common/inchild.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

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

    const QByteArray status = "Name:\tq\nVmPeak:\t  999999 kB\nVmSize:\t 1048576 kB\nVmRSS:\t 5 kB\n";
    EXPECT_EQ(AddressSpaceRoom(quint64(3072) * MiB, status), 2048 * MiB);
    EXPECT_EQ(AddressSpaceRoom(quint64(512) * MiB, status), 0);
    EXPECT_EQ(AddressSpaceRoom(RLIM_INFINITY, status), kNoLimit);
    EXPECT_EQ(AddressSpaceRoom(quint64(64) * MiB, "Name:\tq\n"), 64 * MiB);
}

// The process's own room, in a child whose address space is limited: no more than
// the limit leaves, though the system has more free.
TEST(MemoryRoom, AvailableMemoryIsNoMoreThanTheAddressSpaceLimitLeaves)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer reserves terabytes of address space: no limit on it can be set";
#endif
    const qint64 size = VmSize();
    ASSERT_GT(size, 0);
    const qint64 limit = size + 256 * MiB;
    ASSERT_GT(AvailableMemory(), 256 * MiB) << "this machine has too little memory free to tell the limit from it";
    const std::optional<QByteArray> answer = InChild([&]() -> std::optional<QByteArray> {
        const rlimit as {rlim_t(limit), rlim_t(limit)};
        return AsBytes(::setrlimit(RLIMIT_AS, &as) == 0 ? AvailableMemory() : qint64(-1));
    });
    ASSERT_TRUE(answer && answer->size() == sizeof(qint64));
    const qint64 room = *reinterpret_cast<const qint64*>(answer->constData());
    EXPECT_GT(room, 0);
    EXPECT_LE(room, 256 * MiB);
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
