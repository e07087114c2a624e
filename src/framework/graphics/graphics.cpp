// Drawing pictures into pictures.
#include "framework/graphics/graphics.h"

#include "framework/graphics/picture.h"
#include "framework/runtime/exceptions.h"

#include <QPainter>

qint64 Graphics::Width() const { return target_->Width(); }
qint64 Graphics::Height() const { return target_->Height(); }

void Graphics::DrawPicture(const Picture* picture, qint64 x, qint64 y, qint64 width, qint64 height,
                           qint64 sourceX, qint64 sourceY, qint64 sourceWidth, qint64 sourceHeight)
{
    if (!picture)
        throw NilObjectException(QStringLiteral("DrawPicture of a nil picture"));
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    // The source rectangle is in points; the image counts device pixels.
    const qreal dpr = picture->Image().devicePixelRatio();
    const QRectF source(sourceX * dpr, sourceY * dpr, sourceWidth * dpr, sourceHeight * dpr);
    QPainter p(&target_->Image());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(QRectF(x, y, width, height), picture->Image(), source);
}

void Graphics::DrawPicture(const Picture* picture, qint64 x, qint64 y)
{
    if (!picture)
        throw NilObjectException(QStringLiteral("DrawPicture of a nil picture"));
    DrawPicture(picture, x, y, picture->Width(), picture->Height(), 0, 0, picture->Width(),
                picture->Height());
}
