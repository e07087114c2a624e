// DragItem from dropped data: the first URL, when it names a local file.
#include "framework/files/dragitem.h"

#include <QMimeData>
#include <QUrl>

namespace {

// The bytes of the local path a file URL names; empty for any other URL. A host
// names another machine unless it is this one's usual name, and the path's
// percent-encoded bytes are kept as they are, UTF-8 or not, as a shell keeps them.
QByteArray LocalPathBytes(const QUrl& url)
{
    if (!url.isValid() || url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) != 0)
        return {};
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return {};
    const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return path.startsWith('/') ? path : QByteArray();
}

} // namespace

DragItem DragItem::FromMimeData(const QMimeData& data)
{
    if (!data.hasUrls())
        return DragItem();
    const QList<QUrl> urls = data.urls();
    const QByteArray path = urls.isEmpty() ? QByteArray() : LocalPathBytes(urls.first());
    if (path.isEmpty())
        return DragItem();
    // A name that cannot be reached carries no item, as a missing file's would not
    // open either.
    return DragItem(::FolderItem::FromNativePath(path));
}
