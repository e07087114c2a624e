// The copies of earlier bytes fall back to /var/tmp/quorvanel-UID, outside any
// folder of a test's own. A test that may send them there holds this for its
// length: such tests take turns (a lock on /var/tmp itself, as ctest runs them side
// by side), and the folders that were not there before are removed with what
// they hold when the test ends, so the machine is left as it was found.
#pragma once

#include "common/removetree.h"

#include <QByteArray>
#include <QList>

#include <fcntl.h>
#include <initializer_list>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

class FallbackFoldersLeftAsFound {
public:
    explicit FallbackFoldersLeftAsFound(std::initializer_list<uid_t> users)
        : lock_(::open("/var/tmp", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (lock_ >= 0)
            ::flock(lock_, LOCK_EX);
        for (const uid_t user : users) {
            const QByteArray folder = "/var/tmp/quorvanel-" + QByteArray::number(user);
            struct stat st {};
            if (::lstat(folder.constData(), &st) != 0)
                made_ << folder;
        }
    }
    ~FallbackFoldersLeftAsFound()
    {
        for (const QByteArray& folder : made_)
            RemoveTree(folder);
        if (lock_ >= 0)
            ::close(lock_);
    }
    FallbackFoldersLeftAsFound(const FallbackFoldersLeftAsFound&) = delete;
    FallbackFoldersLeftAsFound& operator=(const FallbackFoldersLeftAsFound&) = delete;

private:
    int lock_;
    QList<QByteArray> made_;
};
