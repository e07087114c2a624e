// A buffered byte stream over a file. Reading streams through a buffer; writing
// goes through a SaveFile that Close commits, so a failure at any step leaves any
// earlier file intact and no partial file. Failures raise IOException.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

class FolderItem;
class QFile;
class SaveFile;

class BinaryStream {
public:
    // Opens an existing file for reading; raises IOException when it cannot.
    // Writing in place (readWrite true) is not offered: InvalidArgumentException.
    static std::unique_ptr<BinaryStream> Open(FolderItem& item, bool readWrite = false);
    // A new file for writing, committed by Close; null when it cannot be created.
    static std::unique_ptr<BinaryStream> Create(FolderItem& item);

    ~BinaryStream();
    BinaryStream(const BinaryStream&) = delete;
    BinaryStream& operator=(const BinaryStream&) = delete;

    std::int8_t ReadInt8();
    std::uint8_t ReadUInt8();
    // Up to count bytes; fewer at the end.
    QByteArray Read(qint64 count);
    void WriteInt8(std::int8_t value);
    void WriteUInt8(std::uint8_t value);
    // A block of 64 KiB or more goes to the file as it is, not through the buffer.
    void Write(const QByteArray& bytes);

    // True once the position has reached the end.
    bool EndOfFile() const;
    qint64 Position() const;
    qint64 Length() const;

    // Flushes and, for a created file, commits it. A stream destroyed without
    // Close discards what a created file received.
    void Close();
    // After a created file's Close failed: true when it was being written in
    // place and could not be put back as it was; then where its earlier bytes are
    // kept (empty when nowhere).
    bool LeftDamaged() const;
    QString EarlierCopy() const;
    // After a created file's Close failed: true when it holds the new bytes whole,
    // as only its close failed once they were on disk.
    bool HoldsNewBytes() const;
    // After Close, whether it failed or not: a copy of the earlier bytes of a file
    // written in place that could not be removed, and why (empty when none stayed).
    QString LeftCopy() const;
    QString LeftCopyReason() const;

private:
    BinaryStream();
    void FillBuffer();
    void FlushWrites();
    [[noreturn]] void Fail(const QString& what) const;
    [[noreturn]] void FailSaving() const;

    std::unique_ptr<QFile> file_;
    std::unique_ptr<SaveFile> save_;
    QString path_;
    QByteArray buffer_;
    qint64 bufferPos_ = 0;   // next byte to read within buffer_
    qint64 bufferBase_ = 0;  // file offset of buffer_[0]
    qint64 length_ = 0;
    bool writing_ = false;
    bool closed_ = false;
};
