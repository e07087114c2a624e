// Rectangle: paints its fill and a bevelled border; transparent to the mouse.
#include "framework/controls/rectangle.h"

#include "framework/runtime/dispatch.h"

#include <QPainter>
#include <QWidget>

class RectangleWidget : public QWidget {
public:
    Rectangle* owner_ = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!owner_)
            return;
        QPainter p(this);
        const QRectF r = rect();
        if (!owner_->fill_.IsFullyTransparent())
            p.fillRect(r, owner_->fill_.ToQColor());
        const qreal t = owner_->borderThickness_;
        if (t <= 0)
            return;
        // Top and left edges in one colour, bottom and right in the other.
        p.fillRect(QRectF(0, 0, r.width(), t), owner_->topLeft_.ToQColor());
        p.fillRect(QRectF(0, 0, t, r.height()), owner_->topLeft_.ToQColor());
        p.fillRect(QRectF(0, r.height() - t, r.width(), t), owner_->bottomRight_.ToQColor());
        p.fillRect(QRectF(r.width() - t, 0, t, r.height()), owner_->bottomRight_.ToQColor());
    }
};

Rectangle::Rectangle() : Control(new RectangleWidget)
{
    widget_ = static_cast<RectangleWidget*>(Widget());
    widget_->owner_ = this;
}

void Rectangle::SetBorderThickness(double thickness)
{
    borderThickness_ = thickness;
    Widget()->update();
}

void Rectangle::SetTopLeftColor(Color c)
{
    topLeft_ = c;
    Widget()->update();
}

void Rectangle::SetBottomRightColor(Color c)
{
    bottomRight_ = c;
    Widget()->update();
}

void Rectangle::SetFillColor(Color c)
{
    fill_ = c;
    Widget()->update();
}

void Rectangle::FireOpen()
{
    if (Open)
        Dispatch([this] { Open(*this); });
}
