// Drawing into a Picture.
#pragma once

#include <QtGlobal>

class Picture;

class Graphics {
public:
    explicit Graphics(Picture& target) : target_(&target) {}

    qint64 Width() const;
    qint64 Height() const;

    // Draws the source rectangle of the picture (in its points) scaled into the
    // destination rectangle; a null picture raises NilObjectException.
    void DrawPicture(const Picture* picture, qint64 x, qint64 y, qint64 width, qint64 height,
                     qint64 sourceX, qint64 sourceY, qint64 sourceWidth, qint64 sourceHeight);
    // The whole picture at its own size.
    void DrawPicture(const Picture* picture, qint64 x, qint64 y);

private:
    Picture* target_;
};
