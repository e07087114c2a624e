// A framed rectangle: a bevelled border (top-left and bottom-right colours), a fill
// in the framework's colour model (alpha 255 fully transparent), parent of controls.
#pragma once

#include "framework/controls/control.h"
#include "framework/graphics/colour.h"

#include <functional>

class RectangleWidget;

class Rectangle : public Control {
public:
    Rectangle();

    double BorderThickness() const { return borderThickness_; }
    void SetBorderThickness(double thickness);
    Color TopLeftColor() const { return topLeft_; }
    void SetTopLeftColor(Color c);
    Color BottomRightColor() const { return bottomRight_; }
    void SetBottomRightColor(Color c);
    Color FillColor() const { return fill_; }
    void SetFillColor(Color c);

    std::function<void(Rectangle&)> Open;
    void FireOpen() override;

private:
    friend class RectangleWidget;
    RectangleWidget* widget_;
    double borderThickness_ = 1.0;
    Color topLeft_{0, 0, 0, 0};
    Color bottomRight_{0, 0, 0, 0};
    Color fill_{255, 255, 255, 0};
};
