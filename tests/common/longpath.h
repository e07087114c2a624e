// Folders for tests of paths near the system's length limit.
#pragma once

#include <QDir>
#include <QString>

// Nested folders under base whose last one's path is length bytes long (ASCII
// names, so characters and bytes agree); empty when one cannot be made.
inline QString FolderOfLength(const QString& base, qsizetype length)
{
    QString path = base;
    if (!QDir().mkpath(base))
        return QString();
    while (path.size() < length) {
        const qsizetype left = length - path.size();
        path += QLatin1Char('/') + QString(left > 250 ? 200 : left - 1, QLatin1Char('d'));
        if (!QDir().mkdir(path))
            return QString();
    }
    return path;
}
