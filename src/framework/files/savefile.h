// A file being saved: the new bytes go to a temporary file beside it that replaces
// it only once every byte is written and synced, so a failure at any step leaves
// the earlier file (or no file) and no temporary. Where the folder takes no new
// file but the file itself may be written, the file is rewritten in place.
#pragma once

#include <QByteArray>
#include <QString>

class SaveFile {
public:
    explicit SaveFile(QString path);
    ~SaveFile();  // discards an uncommitted save
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    // Makes the temporary file (owner, group and mode those of the file it will
    // replace), or prepares the in-place write. False when neither is possible.
    bool Open();
    // False when the bytes could not all be written.
    bool Write(const char* data, qint64 size);
    // Puts the written bytes in place; false when any step fails.
    bool Commit();

    // Whether the file itself is written because its folder refuses new files.
    bool InPlace() const { return inPlace_; }
    // After a failed in-place commit: the file could not be put back as it was.
    bool Damaged() const { return damaged_; }
    // The system's error number and words for the first failure, and which step.
    int Error() const { return error_; }
    QString ErrorString() const;
    QString FailedStep() const { return step_; }

private:
    bool OpenInPlace();
    bool CommitTemporary();
    bool CommitInPlace();
    bool FailAt(const char* step);
    void Discard();

    QByteArray target_;     // the file replaced, symbolic links followed
    QByteArray temporary_;  // empty when writing in place
    QByteArray held_;       // in place: the bytes, written only by Commit
    int fd_ = -1;
    int error_ = 0;
    QString step_;
    bool inPlace_ = false;
    bool damaged_ = false;
    bool done_ = false;
};
