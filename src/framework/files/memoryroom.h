// The memory this process may still take: what the system has free, and what
// the limits set on the process itself leave (its memory cgroup and every group
// above it, its address-space limit). Each source is read by a plain function
// of the texts the kernel gives, so that any of them can be fed by hand.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <limits>

namespace memoryroom {

// The room of a source that sets no limit.
constexpr qint64 kNoLimit = std::numeric_limits<qint64>::max();

// MemAvailable + SwapFree of a /proc/meminfo text, in bytes; kNoLimit when it
// does not say what is available.
qint64 SystemRoom(const QByteArray& meminfo);

// Where a process's memory cgroup lies: its folder, and the top of the hierarchy
// it is mounted from (the walk up stops there).
struct Cgroup {
    QByteArray folder;  // empty when the process has no memory cgroup that is mounted
    QByteArray top;
    bool v2 = false;
};

// The memory cgroup named in a /proc/<pid>/cgroup text, found among the mounts
// of a /proc/<pid>/mountinfo text: the v1 memory controller's hierarchy, else
// the unified (v2) one.
Cgroup FindMemoryCgroup(const QByteArray& cgroupText, const QByteArray& mountinfo);

// The room under the tightest limit from the group up to the top, as each group
// limits all below it: the limit less what is used, the file cache that would be
// dropped counting as free, and less a sixteenth of the limit (at most 256 MiB)
// kept for what the process needs beside. kNoLimit where no group sets a limit (or
// none is readable).
qint64 CgroupRoom(const Cgroup& group);

// What the program needs beside a file's bytes to go on working under an address-
// space limit: a stack for every thread it may run (Qt's pool, the synthesizer's,
// a dialog's), and kKeptBeside for the rest: a dialog's widgets and a save's blocks
// take a few MiB, a window's backing store on a large screen tens.
struct Beside {
    qint64 threadStack = 0; // address space a thread takes: its stack and guard
    qint64 threadsMost = 0; // the threads the program may run at once
};
constexpr qint64 kKeptBeside = qint64(64) << 20;

// The address space left for a file's bytes under an RLIMIT_AS of limit bytes
// (RLIM_INFINITY: none), beside the VmSize of a /proc/<pid>/status text and what
// the program needs beside: the stacks of the threads it does not run yet (by the
// status's Threads) and kKeptBeside. The threads running now count as the most
// there may be, so the room does not hang on how many have started.
qint64 AddressSpaceRoom(quint64 limit, const QByteArray& status, const Beside& beside);

// What this process needs beside a file: its threads' default stack, and twice as
// many threads as processors (Qt's pool and the synthesizer's each take one a
// processor) and 8 more.
Beside ProcessBeside();

// A small text file (a /proc or /sys one, which says it is empty) read whole; empty
// when it cannot be read.
QByteArray ReadKernelText(const QByteArray& path);

} // namespace memoryroom

// The bytes of memory this process can still take: the least of the system's
// free memory (with the caches it would drop and free swap), the room in its
// memory cgroups and in its address space; 0 when none of them says.
qint64 AvailableMemory();
