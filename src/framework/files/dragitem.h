// What a drop brought: its first item, with the file when the item is one.
#pragma once

#include "framework/files/folderitem.h"

class QMimeData;

class DragItem {
public:
    DragItem() = default;
    explicit DragItem(FolderItemPtr item) : item_(std::move(item)) {}
    // The first URL of the data when it names a file on this machine (no host, or
    // localhost), its path byte for byte; text, other data and other machines'
    // files carry no FolderItem.
    static DragItem FromMimeData(const QMimeData& data);

    bool FolderItemAvailable() const { return item_ != nullptr; }
    FolderItemPtr FolderItem() const { return item_; }

private:
    FolderItemPtr item_;
};
