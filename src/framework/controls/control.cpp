// Control placement, state and font, mapped onto the widget underneath.
#include "framework/controls/control.h"

#include "framework/controls/rectangle.h"
#include "framework/controls/window.h"
#include "framework/graphics/fonts.h"

#include <QWidget>

Control::Control(QWidget* widget) : widget_(widget) {}

Control::~Control()
{
    // The widget may already be gone with the Rectangle that held it.
    delete widget_.data();
}

void Control::AttachTo(Window& window)
{
    window_ = &window;
    Reparent();
}

void Control::SetParentControl(Rectangle* parent)
{
    parent_ = parent;
    Reparent();
}

void Control::Reparent()
{
    if (!widget_)
        return;
    QWidget* host = nullptr;
    if (parent_ && parent_->Widget())
        host = parent_->Widget();
    else if (window_)
        host = window_->ContentWidget();
    if (host && widget_->parentWidget() != host) {
        widget_->setParent(host);
        widget_->setVisible(visible_);
    }
    ApplyGeometry();
}

void Control::ApplyGeometry()
{
    if (!widget_)
        return;
    // Places are stored in window coordinates; a Qt child is placed in its parent's.
    qint64 x = left_, y = top_;
    if (parent_) {
        x -= parent_->Left();
        y -= parent_->Top();
    }
    widget_->setGeometry(int(x), int(y), int(width_), int(height_));
}

void Control::SetWidth(qint64 v) { SetBounds(left_, top_, v, height_); }
void Control::SetHeight(qint64 v) { SetBounds(left_, top_, width_, v); }

void Control::SetBounds(qint64 left, qint64 top, qint64 width, qint64 height)
{
    left_ = left;
    top_ = top;
    width_ = width < 0 ? 0 : width;
    height_ = height < 0 ? 0 : height;
    ApplyGeometry();
}

void Control::SetTabIndex(qint64 v) { tabIndex_ = v; }

void Control::SetEnabled(bool v)
{
    enabled_ = v;
    if (widget_)
        widget_->setEnabled(v);
}

void Control::SetVisible(bool v)
{
    visible_ = v;
    if (widget_ && widget_->parentWidget())
        widget_->setVisible(v);
}

void Control::SetFontName(const QString& name)
{
    fontName_ = name;
    ApplyFont();
}

void Control::SetFontSize(double size)
{
    fontSize_ = size;
    ApplyFont();
}

void Control::ApplyFont()
{
    if (widget_)
        widget_->setFont(ResolveFont(fontName_, fontSize_));
}
