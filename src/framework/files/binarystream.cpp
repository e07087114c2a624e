// BinaryStream: reads through a 64 KiB buffer; small writes collect in a buffer,
// large blocks pass it by, and all go to a SaveFile that Close commits.
#include "framework/files/binarystream.h"

#include "framework/files/folderitem.h"
#include "framework/files/savefile.h"
#include "framework/runtime/exceptions.h"

#include <QFile>
#include <cerrno>

namespace {
constexpr qint64 kBufferSize = 64 * 1024;
}

BinaryStream::BinaryStream() = default;

// An unclosed created file is dropped rather than half-written: the SaveFile
// discards what it was not told to commit.
BinaryStream::~BinaryStream() = default;

std::unique_ptr<BinaryStream> BinaryStream::Open(FolderItem& item, bool readWrite)
{
    if (readWrite)
        throw InvalidArgumentException(QStringLiteral("streams open existing files for reading only"));
    std::unique_ptr<BinaryStream> s(new BinaryStream);
    s->path_ = item.NativePath();
    s->file_ = std::make_unique<QFile>(s->path_);
    const auto mode = QIODevice::ReadOnly;
    if (item.NativePath().isEmpty() || item.IsDirectory() || !s->file_->exists()
        || !s->file_->open(mode | QIODevice::Unbuffered)) {
        item.lastError_ = s->file_->error() != QFileDevice::NoError ? s->file_->error() : QFileDevice::OpenError;
        throw IOException(QStringLiteral("cannot open ") + item.NativePath(), item.lastError_);
    }
    item.lastError_ = 0;
    s->length_ = s->file_->size();
    return s;
}

std::unique_ptr<BinaryStream> BinaryStream::Create(FolderItem& item)
{
    if (item.NativePath().isEmpty() || item.IsDirectory()) {
        item.lastError_ = item.NativePath().isEmpty() ? ENOENT : EISDIR;
        return nullptr;
    }
    std::unique_ptr<BinaryStream> s(new BinaryStream);
    s->path_ = item.NativePath();
    s->save_ = std::make_unique<SaveFile>(s->path_);
    if (!s->save_->Open()) {
        item.lastError_ = s->save_->Error();
        return nullptr;
    }
    item.lastError_ = 0;
    s->writing_ = true;
    s->buffer_.reserve(kBufferSize);
    return s;
}

void BinaryStream::Fail(const QString& what) const
{
    const bool known = file_ && file_->error() != QFileDevice::NoError;
    throw IOException(what + QStringLiteral(" ") + path_ + (known ? QStringLiteral(": ") + file_->errorString() : QString()),
                      known ? file_->error() : QFileDevice::UnspecifiedError);
}

void BinaryStream::FailSaving() const
{
    // The system's own words for what stopped the save.
    throw IOException(save_->FailedStep() + QStringLiteral(" ") + path_ + QStringLiteral(": ") + save_->ErrorString(),
                      save_->Error());
}

void BinaryStream::FillBuffer()
{
    bufferBase_ += buffer_.size();
    buffer_.resize(kBufferSize);
    const qint64 n = file_->read(buffer_.data(), kBufferSize);
    if (n < 0) {
        buffer_.clear();
        Fail(QStringLiteral("cannot read"));
    }
    buffer_.resize(n);
    bufferPos_ = 0;
}

std::uint8_t BinaryStream::ReadUInt8()
{
    if (closed_ || !file_)
        Fail(QStringLiteral("not open for reading:"));
    if (bufferPos_ >= buffer_.size()) {
        FillBuffer();
        if (buffer_.isEmpty())
            Fail(QStringLiteral("read past the end of"));
    }
    return static_cast<std::uint8_t>(buffer_[bufferPos_++]);
}

std::int8_t BinaryStream::ReadInt8() { return static_cast<std::int8_t>(ReadUInt8()); }

QByteArray BinaryStream::Read(qint64 count)
{
    // A write stream's buffer holds bytes not yet written, not the file's.
    if (closed_ || !file_)
        Fail(QStringLiteral("not open for reading:"));
    QByteArray out;
    if (count <= 0)
        return out;
    out.reserve(qMin(count, Length() - Position()));
    while (count > 0) {
        if (bufferPos_ >= buffer_.size()) {
            FillBuffer();
            if (buffer_.isEmpty())
                break;
        }
        const qint64 take = qMin(count, qint64(buffer_.size()) - bufferPos_);
        out.append(buffer_.constData() + bufferPos_, take);
        bufferPos_ += take;
        count -= take;
    }
    return out;
}

void BinaryStream::WriteUInt8(std::uint8_t value)
{
    if (closed_ || !writing_)
        Fail(QStringLiteral("not open for writing:"));
    buffer_.append(static_cast<char>(value));
    if (buffer_.size() >= kBufferSize)
        FlushWrites();
}

void BinaryStream::WriteInt8(std::int8_t value) { WriteUInt8(static_cast<std::uint8_t>(value)); }

void BinaryStream::Write(const QByteArray& bytes)
{
    if (closed_ || !writing_)
        Fail(QStringLiteral("not open for writing:"));
    if (bytes.size() < kBufferSize) {
        buffer_.append(bytes);
        if (buffer_.size() >= kBufferSize)
            FlushWrites();
        return;
    }
    // A large block goes straight to the file: a copy would hold the save twice.
    FlushWrites();
    if (!save_->Write(bytes.constData(), bytes.size()))
        FailSaving();
    length_ += bytes.size();
}

void BinaryStream::FlushWrites()
{
    if (buffer_.isEmpty())
        return;
    if (!save_->Write(buffer_.constData(), buffer_.size()))
        FailSaving();
    length_ += buffer_.size();
    buffer_.clear();
}

bool BinaryStream::EndOfFile() const
{
    if (writing_)
        return true;
    return bufferBase_ + bufferPos_ >= length_;
}

qint64 BinaryStream::Position() const
{
    return writing_ ? length_ + buffer_.size() : bufferBase_ + bufferPos_;
}

qint64 BinaryStream::Length() const { return writing_ ? length_ + buffer_.size() : length_; }

bool BinaryStream::LeftDamaged() const { return save_ && save_->Damaged(); }

QString BinaryStream::EarlierCopy() const { return save_ ? save_->EarlierCopy() : QString(); }

bool BinaryStream::HoldsNewBytes() const { return save_ && save_->HoldsNewBytes(); }

QString BinaryStream::LeftCopy() const { return save_ ? save_->LeftCopy() : QString(); }

QString BinaryStream::LeftCopyReason() const { return save_ ? save_->LeftCopyReason() : QString(); }

void BinaryStream::Close()
{
    if (closed_)
        return;
    if (save_) {
        // Closed whatever happens: a failed save is not tried again.
        closed_ = true;
        if (!save_->Write(buffer_.constData(), buffer_.size()) || !save_->Commit())
            FailSaving();
        length_ += buffer_.size();
        buffer_.clear();
        return;
    }
    closed_ = true;
    if (file_)
        file_->close();
}
