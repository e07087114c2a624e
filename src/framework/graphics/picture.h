// A picture: an image of a logical size in points, held at the screen's device
// pixel ratio, that can be drawn into; and the pictures of the program's resources.
#pragma once

#include <QImage>
#include <QString>
#include <memory>

class Graphics;

class Picture {
public:
    // A new transparent picture of width x height points; depth is accepted for
    // the stored settings' sake, every picture is 32-bit.
    Picture(qint64 width, qint64 height, int depth = 32);
    explicit Picture(QImage image);

    // ":/pictures/<name>.svg" rendered once at its declared size, HiDPI-aware;
    // null when the resource is absent or unreadable.
    static std::shared_ptr<Picture> OpenFromApp(const QString& name);
    // The same from any SVG file or resource path.
    static std::shared_ptr<Picture> OpenSvg(const QString& path);

    qint64 Width() const { return width_; }
    qint64 Height() const { return height_; }

    // Draws into this picture.
    ::Graphics Graphics();

    // The image underneath, its devicePixelRatio set.
    const QImage& Image() const { return image_; }
    QImage& Image() { return image_; }

private:
    QImage image_;
    qint64 width_ = 0, height_ = 0;
};
