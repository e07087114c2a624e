// Canvas: shows its backdrop and routes a taken press's drags and release.
#include "framework/controls/canvas.h"

#include "framework/runtime/dispatch.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

class CanvasWidget : public QWidget {
public:
    Canvas* owner_ = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (owner_ && owner_->backdrop_) {
            QPainter p(this);
            p.drawImage(QPointF(0, 0), owner_->backdrop_->Image());
        }
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton || !owner_)
            return;
        Canvas& c = *owner_;
        const QPoint p = e->position().toPoint();
        c.pressTaken_ = c.MouseDown
            && DispatchResult<bool>([&] { return c.MouseDown(c, p.x(), p.y()); }, false);
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (!owner_ || !owner_->pressTaken_ || !owner_->MouseDrag)
            return;
        Canvas& c = *owner_;
        const QPoint p = e->position().toPoint();
        Dispatch([&] { c.MouseDrag(c, p.x(), p.y()); });
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton || !owner_ || !owner_->pressTaken_)
            return;
        Canvas& c = *owner_;
        c.pressTaken_ = false;
        const QPoint p = e->position().toPoint();
        if (c.MouseUp)
            Dispatch([&] { c.MouseUp(c, p.x(), p.y()); });
    }
};

Canvas::Canvas() : Control(new CanvasWidget)
{
    canvas_ = static_cast<CanvasWidget*>(Widget());
    canvas_->owner_ = this;
}

void Canvas::SetBackdrop(std::shared_ptr<Picture> picture)
{
    backdrop_ = std::move(picture);
    canvas_->update();
}

void Canvas::Refresh(bool /*eraseBackground*/)
{
    // The canvas has no background of its own to keep: every repaint starts from
    // what lies behind it, then draws the backdrop.
    canvas_->update();
}

void Canvas::FireOpen()
{
    if (Open)
        Dispatch([this] { Open(*this); });
}
