// The memory room of this process, source by source. A source that cannot be
// read limits nothing: a missing /proc or cgroup file must not refuse every file.
#include "framework/files/memoryroom.h"

#include <QList>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

namespace memoryroom {

namespace {

// The text after "Name:" in a /proc text; empty when there is no such line.
QByteArray FieldText(const QByteArray& text, const QByteArray& name)
{
    for (const QByteArray& line : text.split('\n'))
        if (line.startsWith(name) && line.size() > name.size() && line[name.size()] == ':')
            return line.mid(name.size() + 1).trimmed();
    return {};
}

// A count written in decimal; -1 when it is not one.
qint64 Count(const QByteArray& value)
{
    bool ok = false;
    const qint64 n = value.trimmed().toLongLong(&ok);
    return ok && n >= 0 ? n : -1;
}

// The value of "Name: value kB" in a /proc text, in bytes; -1 when it is not there.
qint64 KibField(const QByteArray& text, const QByteArray& name)
{
    QByteArray value = FieldText(text, name);
    if (value.endsWith(" kB"))
        value.chop(3);
    const qint64 kib = Count(value);
    return kib >= 0 ? kib * 1024 : -1;
}

// A number in a cgroup file ("max" for no limit: kNoLimit); -1 when it is not readable.
qint64 CgroupNumber(const QByteArray& path)
{
    const QByteArray text = ReadKernelText(path).trimmed();
    return text == "max" ? kNoLimit : Count(text);
}

// The value of "name value" in a cgroup's memory.stat; 0 when it is not there.
qint64 StatField(const QByteArray& stat, const QByteArray& name)
{
    for (const QByteArray& line : stat.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2 && parts[0] == name)
            return qMax<qint64>(parts[1].trimmed().toLongLong(), 0);
    }
    return 0;
}

// A mount point as mountinfo gives it: space, tab, newline and backslash as octal escapes.
QByteArray Unescaped(const QByteArray& field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int c = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(c));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return out;
}

} // namespace

qint64 SystemRoom(const QByteArray& meminfo)
{
    const qint64 available = KibField(meminfo, "MemAvailable");
    if (available < 0)
        return kNoLimit;
    return available + qMax<qint64>(KibField(meminfo, "SwapFree"), 0);
}

Cgroup FindMemoryCgroup(const QByteArray& cgroupText, const QByteArray& mountinfo)
{
    QByteArray v1Path, v2Path;
    bool hasV1 = false, hasV2 = false;
    for (const QByteArray& line : cgroupText.split('\n')) {
        const qsizetype first = line.indexOf(':'), second = line.indexOf(':', first + 1);
        if (first < 0 || second < 0)
            continue;
        const QByteArray controllers = line.mid(first + 1, second - first - 1), path = line.mid(second + 1);
        if (line.left(first) == "0" && controllers.isEmpty()) {
            v2Path = path;
            hasV2 = true;
        } else if (controllers.split(',').contains("memory")) {
            v1Path = path;
            hasV1 = true;
        }
    }
    Cgroup v1, v2;
    for (const QByteArray& line : mountinfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (dash < 6 || dash + 1 >= fields.size())
            continue;
        const QByteArray& type = fields[dash + 1];
        const bool isV1 = type == "cgroup" && dash + 3 < fields.size() && fields[dash + 3].split(',').contains("memory");
        const bool isV2 = type == "cgroup2";
        if (!(isV1 && hasV1 && v1.folder.isEmpty()) && !(isV2 && hasV2 && v2.folder.isEmpty()))
            continue;
        // The mount shows the hierarchy from its root down: the group must lie under it.
        const QByteArray root = Unescaped(fields[3]), path = isV1 ? v1Path : v2Path;
        QByteArray below;
        if (root == "/")
            below = path;
        else if (path == root || path.startsWith(root + '/'))
            below = path.mid(root.size());
        else
            continue;
        Cgroup& found = isV1 ? v1 : v2;
        found.top = Unescaped(fields[4]);
        while (found.top.size() > 1 && found.top.endsWith('/'))
            found.top.chop(1);
        while (below.endsWith('/'))
            below.chop(1);
        found.folder = found.top + below;
        found.v2 = isV2;
    }
    return v1.folder.isEmpty() ? v2 : v1;
}

qint64 CgroupRoom(const Cgroup& group)
{
    if (group.folder.isEmpty())
        return kNoLimit;
    const QByteArray limitFile = group.v2 ? "/memory.max" : "/memory.limit_in_bytes";
    const QByteArray usageFile = group.v2 ? "/memory.current" : "/memory.usage_in_bytes";
    const QByteArray cacheField = group.v2 ? "inactive_file" : "total_inactive_file";
    qint64 room = kNoLimit;
    for (QByteArray folder = group.folder;;) {
        const qint64 limit = CgroupNumber(folder + limitFile);
        if (limit >= 0 && limit != kNoLimit) {
            const qint64 used = qMax<qint64>(CgroupNumber(folder + usageFile), 0);
            const qint64 dropped = StatField(ReadKernelText(folder + "/memory.stat"), cacheField);
            // Filled to its limit, a group's process is killed at the next page it takes:
            // a read needs pages of cache and page tables beside the bytes, and the
            // program pages of its own. A sixteenth of the limit, up to 256 MiB, is kept.
            const qint64 kept = qMin(limit / 16, qint64(256) << 20);
            room = qMin(room, qMax<qint64>(limit - kept - qMax<qint64>(used - dropped, 0), 0));
        }
        const qsizetype slash = folder.lastIndexOf('/');
        if (folder == group.top || !folder.startsWith(group.top) || slash <= 0)
            break;
        folder.truncate(slash);
    }
    return room;
}

qint64 AddressSpaceRoom(quint64 limit, const QByteArray& status, const Beside& beside)
{
    if (limit == quint64(RLIM_INFINITY) || limit >= quint64(kNoLimit))
        return kNoLimit;
    const qint64 used = qMax<qint64>(KibField(status, "VmSize"), 0);
    // A thread that cannot get its stack is never started, and Qt waits on it for good
    // (a drawing, a dialog): the threads yet to come keep their stacks' room.
    const qint64 threads = qMax<qint64>(Count(FieldText(status, "Threads")), 1);
    const qint64 toCome = qMax<qint64>(beside.threadsMost - threads, 0);
    return qMax<qint64>(qint64(limit) - used - toCome * beside.threadStack - kKeptBeside, 0);
}

Beside ProcessBeside()
{
    Beside beside;
    pthread_attr_t attr;
    size_t stack = 0, guard = 0;
    if (::pthread_getattr_default_np(&attr) == 0) {
        ::pthread_attr_getstacksize(&attr, &stack);
        ::pthread_attr_getguardsize(&attr, &guard);
        ::pthread_attr_destroy(&attr);
    }
    beside.threadStack = qint64(stack + guard);
    beside.threadsMost = 2 * qint64(QThread::idealThreadCount()) + 8;
    return beside;
}

QByteArray ReadKernelText(const QByteArray& path)
{
    constexpr qsizetype kMost = 4 << 20;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    QByteArray text;
    char buffer[16384];
    while (text.size() < kMost) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, n);
    }
    ::close(fd);
    return text;
}

} // namespace memoryroom

qint64 AvailableMemory()
{
    using namespace memoryroom;
    rlimit as {};
    const quint64 asLimit = ::getrlimit(RLIMIT_AS, &as) == 0 ? quint64(as.rlim_cur) : quint64(RLIM_INFINITY);
    const qint64 room = std::min(
        {SystemRoom(ReadKernelText("/proc/meminfo")),
         CgroupRoom(FindMemoryCgroup(ReadKernelText("/proc/self/cgroup"), ReadKernelText("/proc/self/mountinfo"))),
         AddressSpaceRoom(asLimit, ReadKernelText("/proc/self/status"), ProcessBeside())});
    // 0 says "no limit known": a full group still refuses all but an empty file.
    return room == kNoLimit ? 0 : qMax<qint64>(room, 1);
}
