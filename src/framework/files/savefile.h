// A file being saved: the new bytes go to a temporary file beside it that replaces
// it only once every byte is written and synced, so a failure at any step leaves
// the earlier file (or no file) and no temporary. Links are followed by the
// kernel, so its refusals (another user's link in /tmp) hold, then read one by
// one to find the folder the file is in (no /proc needed), where the temporary is
// named; anything but a regular file is refused. Where a replacement would lose
// something the file has (its owner, another name, an attribute) or cannot take
// its place (a folder that takes no new file, another user's file in a sticky
// folder), the file itself is rewritten in place
// (framework/files/inplacewrite.h). From Open until the save has ended (put
// back and cleared away too, where it failed), a request to end the program
// waits for it (framework/runtime/heldsignals.h).
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

struct stat;
class HeldSignals;
class InPlaceWrite;

class SaveFile {
public:
    explicit SaveFile(QString path);
    ~SaveFile();  // discards an uncommitted save
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    // Makes the temporary file (owner, group and extended attributes those of the
    // file it will replace; no one else may open it until Commit gives it that
    // file's mode), or prepares the in-place write, which waits a few seconds for
    // another one of the file to end (then fails with EAGAIN). False when neither
    // is possible.
    bool Open();
    // False when the bytes could not all be written.
    bool Write(const char* data, qint64 size);
    // Puts the written bytes in place; false when any step fails.
    bool Commit();

    // Whether the file itself is written rather than replaced.
    bool InPlace() const { return inPlace_; }
    // After a failed in-place save: the file could not be put back as it was, and
    // where its earlier bytes are kept then (empty when nowhere).
    bool Damaged() const { return damaged_; }
    QString EarlierCopy() const { return earlierCopy_; }
    // After a failed in-place save: the file holds the new bytes whole (only its
    // close failed, once they were synced).
    bool HoldsNewBytes() const { return holdsNew_; }
    // After an in-place save, saved or not: a copy of the earlier bytes that could
    // not be removed, and the system's words for why (empty when none was left).
    QString LeftCopy() const { return leftCopy_; }
    QString LeftCopyReason() const { return leftCopyReason_; }
    // The system's error number and words for the first failure, and which step.
    int Error() const { return error_; }
    QString ErrorString() const;
    QString FailedStep() const { return step_; }

private:
    bool Begin();
    bool OpenTemporary(const struct stat* earlier);
    bool OpenInPlace(const struct stat& earlier);
    bool CommitTemporary();
    bool CommitInPlace();
    bool FailAt(const char* step);
    bool RewriteFailed();
    void RewriteEnded();
    void Discard();

    std::unique_ptr<HeldSignals> held_;  // first in, last out: held until all else is cleared
    QByteArray target_;     // the file replaced, symbolic links followed
    int folder_ = -1;       // the folder that holds it, opened only as a place (O_PATH)
    QByteArray name_;       // its name there
    QByteArray temporary_;  // the temporary's name in that folder; empty when writing in place
    std::unique_ptr<InPlaceWrite> rewrite_;
    QString earlierCopy_;
    QString leftCopy_, leftCopyReason_;
    QString reason_;  // words of the failure's own, where no error number says it
    int fd_ = -1;
    unsigned finalMode_ = 0;
    int error_ = 0;
    QString step_;
    bool inPlace_ = false;
    bool damaged_ = false;
    bool holdsNew_ = false;
    bool done_ = false;
};
