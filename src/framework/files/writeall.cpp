// WriteAll over write(2) and pwrite(2).
#include "framework/files/writeall.h"

#include <cerrno>
#include <unistd.h>

bool WriteAll(int fd, const char* data, qint64 size, qint64 offset, qint64& done)
{
    done = 0;
    while (done < size) {
        const ssize_t n = offset >= 0 ? pwrite(fd, data + done, size_t(size - done), offset + done)
                                      : write(fd, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}
