// Writing a whole block to a file descriptor, through short writes and signals.
#pragma once

#include <QtGlobal>

// Writes all size bytes of data to fd, at offset (pwrite), or at the file's
// position where offset < 0; done counts what reached the file either way. False
// with errno set when a write fails (ENOSPC where the file takes no more).
bool WriteAll(int fd, const char* data, qint64 size, qint64 offset, qint64& done);
