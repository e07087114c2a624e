// Raw files and local sockets, named by their bytes as another process has them.
#pragma once
#include <QFile>
#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
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

inline void WriteFile(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}
