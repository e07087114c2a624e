// FolderItem over QFileInfo.
#include "framework/files/folderitem.h"

#include "framework/files/binarystream.h"
#include "framework/files/openablepath.h"

#include <QFile>
#include <QFileInfo>

FolderItem::FolderItem(QString path) : path_(std::move(path)) {}

FolderItemPtr FolderItem::FromNativePath(const QByteArray& native, QByteArray* problem)
{
    auto openable = std::make_shared<OpenablePath>(native);
    if (openable->Path().isEmpty()) {
        if (problem)
            *problem = openable->Problem();
        return nullptr;
    }
    auto item = std::make_shared<FolderItem>(openable->Path());
    if (openable->Path() != QFile::decodeName(native)) {
        item->display_ = QFile::decodeName(native);
        item->hold_ = std::move(openable);
    }
    return item;
}

QString FolderItem::Name() const { return QFileInfo(path_).fileName(); }
bool FolderItem::Exists() const { return !path_.isEmpty() && QFileInfo::exists(path_); }
bool FolderItem::IsDirectory() const { return QFileInfo(path_).isDir(); }
qint64 FolderItem::Length() const { return QFileInfo(path_).size(); }

std::unique_ptr<BinaryStream> FolderItem::CreateBinaryFile(const QString& /*type*/)
{
    return BinaryStream::Create(*this);
}
