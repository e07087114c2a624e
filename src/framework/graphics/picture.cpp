// Pictures: blank ones to draw into, and SVG resources rendered once at their
// declared size times the screen's device pixel ratio.
#include "framework/graphics/picture.h"

#include "framework/graphics/graphics.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

namespace {

qreal DevicePixelRatio()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app ? app->devicePixelRatio() : 1.0;
}

QImage Blank(qint64 width, qint64 height, qreal dpr)
{
    QImage image(QSize(int(qMax<qint64>(width, 0) * dpr), int(qMax<qint64>(height, 0) * dpr)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

Picture::Picture(qint64 width, qint64 height, int /*depth*/)
    : image_(Blank(width, height, DevicePixelRatio())), width_(width), height_(height)
{
}

Picture::Picture(QImage image) : image_(std::move(image))
{
    const qreal dpr = image_.devicePixelRatio();
    width_ = qRound(image_.width() / dpr);
    height_ = qRound(image_.height() / dpr);
}

std::shared_ptr<Picture> Picture::OpenFromApp(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    return OpenSvg(QStringLiteral(":/pictures/") + name + QStringLiteral(".svg"));
}

std::shared_ptr<Picture> Picture::OpenSvg(const QString& path)
{
    if (!QFile::exists(path))
        return nullptr;
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return nullptr;
    const QSize size = renderer.defaultSize();
    if (size.isEmpty())
        return nullptr;
    auto picture = std::make_shared<Picture>(size.width(), size.height());
    QPainter p(&picture->image_);
    renderer.render(&p, QRectF(0, 0, size.width(), size.height()));
    return picture;
}

::Graphics Picture::Graphics() { return ::Graphics(*this); }
