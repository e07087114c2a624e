// Paths as bytes on their way into Qt's file functions.
#include "framework/files/openablepath.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

OpenablePath::OpenablePath(const QByteArray& native)
{
    const QString text = QFile::decodeName(native);
    if (QFile::encodeName(text) == native) {
        path_ = text;
        return;
    }
    fd_ = ::open(native.constData(), O_PATH | O_CLOEXEC);
    if (fd_ < 0) {
        problem_ = "cannot open " + native + ": " + std::strerror(errno);
        return;
    }
    const QByteArray entry = "/proc/self/fd/" + QByteArray::number(fd_);
    if (::access(entry.constData(), F_OK) != 0) {
        problem_ = "cannot open " + native + ": its name is not UTF-8, and without /proc it cannot be reached";
        return;
    }
    path_ = QString::fromLatin1(entry);
}

OpenablePath::~OpenablePath()
{
    if (fd_ >= 0)
        ::close(fd_);
}
