// A save cut off midway, as a kill cuts it: a child process ends for good while
// its in-place save is under way.
#pragma once

#include "framework/files/binarystream.h"
#include "framework/files/folderitem.h"

#include "inchild.h"

// Saves newer (64 KiB or more, so it reaches the file at once) over the file at
// path, which has a second name so that it is rewritten in place, and ends there.
inline bool CutOffSave(const QString& path, const QByteArray& newer)
{
    return InChild([&]() -> std::optional<QByteArray> {
        FolderItem item(path);
        if (auto stream = item.CreateBinaryFile(QString())) {
            stream->Write(newer);
            ::_exit(0);  // nothing is undone, as after a kill
        }
        return std::nullopt;
    }).has_value();
}
