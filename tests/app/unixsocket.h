// A raw local socket, as another process (or a crashed instance) would have it.
#pragma once
#include <QFile>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A socket bound to path, or connected to it and sending nothing; -1 when that is
// turned away at once.
inline int UnixSocket(const QString& path, bool bind)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    const auto* a = reinterpret_cast<sockaddr*>(&addr);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0 && (bind ? ::bind(fd, a, sizeof addr) : ::connect(fd, a, sizeof addr)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
