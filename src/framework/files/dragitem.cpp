// DragItem from dropped data: the first URL, when it names a local file; the
// answer given to a drag of one.
#include "framework/files/dragitem.h"

#include <QDropEvent>
#include <QMimeData>
#include <QSysInfo>
#include <QUrl>

namespace {

bool IsFileUrl(const QUrl& url)
{
    return url.isValid() && url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0;
}

// The first URL of the data; an empty one when it has none.
QUrl FirstUrl(const QMimeData& data)
{
    const QList<QUrl> urls = data.hasUrls() ? data.urls() : QList<QUrl>();
    return urls.isEmpty() ? QUrl() : urls.first();
}

// The bytes of the local path a file URL names; empty for any other URL. A host
// names another machine unless it is this one's usual name or its own host name,
// and the path's percent-encoded bytes are kept as they are, UTF-8 or not, as a
// shell keeps them.
QByteArray LocalPathBytes(const QUrl& url)
{
    if (!IsFileUrl(url))
        return {};
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0
        && host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) != 0)
        return {};
    const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return path.startsWith('/') ? path : QByteArray();
}

} // namespace

DragItem DragItem::FromMimeData(const QMimeData& data)
{
    const QByteArray path = LocalPathBytes(FirstUrl(data));
    if (path.isEmpty())
        return DragItem();
    // A name that cannot be reached carries no item, as a missing file's would not
    // open either.
    return DragItem(::FolderItem::FromNativePath(path));
}

bool DragItem::BringsFile(const QMimeData& data) { return IsFileUrl(FirstUrl(data)); }

DragItem DragItem::TakeAsCopy(QDropEvent& event, bool takesFiles)
{
    // A link leaves the source's file where it is as a copy does; a move may not.
    const Qt::DropActions offered = event.possibleActions();
    const Qt::DropAction answer = offered & Qt::CopyAction ? Qt::CopyAction
                                  : offered & Qt::LinkAction ? Qt::LinkAction
                                                             : Qt::IgnoreAction;
    DragItem item;
    if (takesFiles && answer != Qt::IgnoreAction)
        item = FromMimeData(*event.mimeData());
    if (!item.FolderItemAvailable()) {
        event.ignore();
        return DragItem();
    }
    event.setDropAction(answer);
    event.accept();
    return item;
}
