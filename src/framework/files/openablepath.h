// A path given as the system's bytes, in the form Qt's file functions take. Qt
// holds file names as text, and bytes that are not UTF-8 do not come back from
// text unchanged: such a path is opened by the system itself (only to name it, so
// a FIFO does not block) and reached through its descriptor's entry in /proc,
// which is the very file the bytes named. The descriptor is held as long as the
// object lives.
#pragma once

#include <QByteArray>
#include <QString>

class OpenablePath {
public:
    explicit OpenablePath(const QByteArray& native);
    ~OpenablePath();
    OpenablePath(const OpenablePath&) = delete;
    OpenablePath& operator=(const OpenablePath&) = delete;

    // Empty when the file cannot be reached; Problem() then says why, naming it.
    const QString& Path() const { return path_; }
    const QByteArray& Problem() const { return problem_; }

private:
    int fd_ = -1;
    QString path_;
    QByteArray problem_;
};
