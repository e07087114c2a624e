// A file system item by path: existence, name, and creating a binary file.
#pragma once

#include <QString>
#include <memory>

class BinaryStream;

class FolderItem {
public:
    explicit FolderItem(QString path);

    QString NativePath() const { return path_; }
    QString Name() const;
    bool Exists() const;
    bool IsDirectory() const;
    qint64 Length() const;
    // The error code of the last failed operation on the item, 0 when none.
    qint64 LastErrorCode() const { return lastError_; }

    // A new, empty file at this place, written atomically when the stream is
    // closed (an earlier file of the name stays until then); null when it cannot
    // be created. The type is recorded for the desktop's sake only.
    std::unique_ptr<BinaryStream> CreateBinaryFile(const QString& type);

private:
    friend class BinaryStream;
    QString path_;
    qint64 lastError_ = 0;
};

using FolderItemPtr = std::shared_ptr<FolderItem>;
