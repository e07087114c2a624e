// A save cut off midway, as a kill cuts it: run in a child process that stops
// for good while its in-place save is under way.
#pragma once

#include "framework/files/binarystream.h"
#include "framework/files/folderitem.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// Saves newer (64 KiB or more, so it reaches the file at once) over the file at
// path, which has a second name so that it is rewritten in place, and ends the
// child there; whileRunning runs while the save is still under way. False when
// the save did not start.
inline bool CutOffSave(const QString& path, const QByteArray& newer, const std::function<void()>& whileRunning = {})
{
    int ready[2], done[2];
    if (::pipe(ready) != 0)
        return false;
    if (::pipe(done) != 0) {
        ::close(ready[0]), ::close(ready[1]);
        return false;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]), ::close(done[1]);
        FolderItem item(path);
        auto stream = item.CreateBinaryFile(QString());
        char started = 0;
        try {
            if (stream)
                stream->Write(newer), started = 1;
        } catch (...) {
        }
        char ignored = 0;
        if (::write(ready[1], &started, 1) == 1)
            (void)::read(done[0], &ignored, 1);
        ::_exit(0);  // nothing is undone, as after a kill
    }
    ::close(ready[1]), ::close(done[0]);
    char started = 0;
    const bool ok = child > 0 && ::read(ready[0], &started, 1) == 1 && started;
    if (ok && whileRunning)
        whileRunning();
    ::close(done[1]), ::close(ready[0]);
    int status = 0;
    if (child > 0)
        ::waitpid(child, &status, 0);
    return ok;
}
