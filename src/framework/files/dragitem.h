// What a drop brought: its first item, with the file when the item is one; and how
// a control that takes files answers a drag.
#pragma once

#include "framework/files/folderitem.h"

class QDropEvent;
class QMimeData;

class DragItem {
public:
    DragItem() = default;
    explicit DragItem(FolderItemPtr item) : item_(std::move(item)) {}
    // The first URL of the data when it names a file on this machine (no host,
    // localhost or this machine's host name), its path byte for byte; text, other
    // data and other machines' files carry no FolderItem.
    static DragItem FromMimeData(const QMimeData& data);
    // Whether the data's first URL is a file URL, of this machine or not: a drag
    // that brings a file and no text to type.
    static bool BringsFile(const QMimeData& data);
    // Answers a drag's enter, move or drop for a control that takes files when
    // takesFiles: a file that FromMimeData gives is taken as a copy (as a link when
    // the source offers only that), and the item comes back; anything else is
    // refused and the item is empty. The program only reads the file, and a source
    // told "moved" may remove it, so a drag whose source offers only a move is
    // refused too.
    static DragItem TakeAsCopy(QDropEvent& event, bool takesFiles);

    bool FolderItemAvailable() const { return item_ != nullptr; }
    FolderItemPtr FolderItem() const { return item_; }

private:
    FolderItemPtr item_;
};
