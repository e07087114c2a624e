// Temporary folders on a file system that outlasts a restart, as the folder for
// the copies of earlier bytes must be: the system's temporary folder, or /var/tmp
// where that is held in memory (a tmpfs).
#pragma once

#include <QDir>
#include <QFile>

#include <linux/magic.h>
#include <sys/statfs.h>

inline bool HeldInMemory(const QString& path)
{
    struct statfs fs {};
    return statfs(QFile::encodeName(path).constData(), &fs) == 0
           && (fs.f_type == TMPFS_MAGIC || fs.f_type == RAMFS_MAGIC);
}

// A QTemporaryDir template for a folder named after name.
inline QString OnDisk(const QString& name)
{
    const QString base = HeldInMemory(QDir::tempPath()) ? QStringLiteral("/var/tmp") : QDir::tempPath();
    return base + QLatin1Char('/') + name + QStringLiteral("-XXXXXX");
}
