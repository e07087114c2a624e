// A drawing surface that shows its Backdrop picture. A MouseDown that returns true
// takes the press: its drags and its mouse-up then follow; false gives neither.
#pragma once

#include "framework/controls/control.h"
#include "framework/graphics/picture.h"

#include <functional>
#include <memory>

class CanvasWidget;

class Canvas : public Control {
public:
    Canvas();

    std::shared_ptr<Picture> Backdrop() const { return backdrop_; }
    void SetBackdrop(std::shared_ptr<Picture> picture);

    // Repaints the canvas (erasing its background first when asked).
    void Refresh(bool eraseBackground = true);

    std::function<bool(Canvas&, qint64 x, qint64 y)> MouseDown;
    std::function<void(Canvas&, qint64 x, qint64 y)> MouseUp;
    std::function<void(Canvas&, qint64 x, qint64 y)> MouseDrag;
    std::function<void(Canvas&)> Open;
    void FireOpen() override;

private:
    friend class CanvasWidget;
    CanvasWidget* canvas_;
    std::shared_ptr<Picture> backdrop_;
    bool pressTaken_ = false;
};
