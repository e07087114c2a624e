// A file system item by path: existence, name, and creating a binary file.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class BinaryStream;
class OpenablePath;
class FolderItem;

using FolderItemPtr = std::shared_ptr<FolderItem>;

class FolderItem {
public:
    explicit FolderItem(QString path);
    // The item a path given as the system's bytes names, byte for byte, also when
    // they are not UTF-8; null when it cannot be reached, with *problem saying why.
    static FolderItemPtr FromNativePath(const QByteArray& native, QByteArray* problem = nullptr);

    QString NativePath() const { return path_; }
    // The path as the user knows it, for messages: for an item made from bytes
    // that are not UTF-8, those bytes as near as text comes.
    QString DisplayPath() const { return display_.isEmpty() ? path_ : display_; }
    QString Name() const;
    bool Exists() const;
    bool IsDirectory() const;
    qint64 Length() const;
    // The error code of the last failed operation on the item, 0 when none; for a
    // file that could not be created, the system's error number.
    qint64 LastErrorCode() const { return lastError_; }

    // A new, empty file at this place, written atomically when the stream is
    // closed (an earlier file of the name stays until then, and the new one takes
    // its owner, group and mode); null when it cannot be created. In a folder that
    // takes no new file the earlier file is rewritten in place instead. The type is
    // recorded for the desktop's sake only.
    std::unique_ptr<BinaryStream> CreateBinaryFile(const QString& type);

private:
    friend class BinaryStream;
    QString path_;
    QString display_;
    std::shared_ptr<OpenablePath> hold_;  // keeps the descriptor that path_ goes through
    qint64 lastError_ = 0;
};
