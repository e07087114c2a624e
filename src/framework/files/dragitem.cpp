// DragItem from dropped data: the first URL, when it names a local file.
#include "framework/files/dragitem.h"

#include <QMimeData>
#include <QUrl>

DragItem DragItem::FromMimeData(const QMimeData& data)
{
    if (!data.hasUrls())
        return DragItem();
    const QList<QUrl> urls = data.urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return DragItem();
    return DragItem(std::make_shared<::FolderItem>(urls.first().toLocalFile()));
}
