// FolderItem over QFileInfo.
#include "framework/files/folderitem.h"

#include "framework/files/binarystream.h"

#include <QFileInfo>

FolderItem::FolderItem(QString path) : path_(std::move(path)) {}

QString FolderItem::Name() const { return QFileInfo(path_).fileName(); }
bool FolderItem::Exists() const { return !path_.isEmpty() && QFileInfo::exists(path_); }
bool FolderItem::IsDirectory() const { return QFileInfo(path_).isDir(); }
qint64 FolderItem::Length() const { return QFileInfo(path_).size(); }

std::unique_ptr<BinaryStream> FolderItem::CreateBinaryFile(const QString& /*type*/)
{
    return BinaryStream::Create(*this);
}
