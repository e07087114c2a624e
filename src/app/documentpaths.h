// Document paths as the system gives them: bytes, not text. A path is made absolute
// but never cleaned as text ("lnk/.." is the folder above lnk's target, which only
// the system knows), and a name that is not UTF-8 is kept byte for byte up to the
// moment the file is opened.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

using DocumentPaths = QList<QByteArray>;

// The document paths of the command line, in order: every non-empty argument after
// the program's name, made absolute against the current folder. A relative one
// stays relative when the current folder cannot be had.
DocumentPaths LaunchDocuments(int argc, char** argv);

// A document path in the form Qt's file functions take. Qt holds file names as text,
// and bytes that are not UTF-8 do not come back from text unchanged: such a path is
// opened by the system itself (only to name it, so a FIFO does not block) and
// reached through its descriptor's entry in /proc, which is the very file the bytes
// named. The descriptor is held as long as this object lives.
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
