// The base of every control: name and array index, place and size in window
// coordinates, parent (the window or a Rectangle), tab order, state and font.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <QtGlobal>

class Window;
class Rectangle;

class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    QString Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    // The member's index in its control array; -1 for a control that stands alone.
    qint64 Index() const { return index_; }
    void SetIndex(qint64 index) { index_ = index; }

    // The window the control is registered with, or null before registration.
    Window* OwnerWindow() const { return window_; }
    // The Rectangle the control lies in, or null when its parent is the window.
    Rectangle* ParentControl() const { return parent_; }
    void SetParentControl(Rectangle* parent);

    // Place and size in points, relative to the window's content.
    qint64 Left() const { return left_; }
    qint64 Top() const { return top_; }
    qint64 Width() const { return width_; }
    qint64 Height() const { return height_; }
    void SetWidth(qint64 v);
    void SetHeight(qint64 v);
    void SetBounds(qint64 left, qint64 top, qint64 width, qint64 height);

    // Keyboard order, counted within the parent.
    qint64 TabIndex() const { return tabIndex_; }
    void SetTabIndex(qint64 v);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);

    // "System" is the desktop's default font, "Osaka" a Japanese-capable sans
    // font; size 0 is the default size.
    QString FontName() const { return fontName_; }
    double FontSize() const { return fontSize_; }
    void SetFontName(const QString& name);
    void SetFontSize(double size);

    // The Qt widget underneath, or null for a control with no place on screen.
    QWidget* Widget() const { return widget_; }

    // Called by the window: attach to it, and fire the control's Open event.
    void AttachTo(Window& window);
    virtual void FireOpen() {}

protected:
    explicit Control(QWidget* widget);
    // For controls whose widget is made after the base: before registration only.
    void SetWidget(QWidget* widget) { widget_ = widget; }

private:
    void ApplyGeometry();
    void ApplyFont();
    void Reparent();

    QPointer<QWidget> widget_;
    Window* window_ = nullptr;
    Rectangle* parent_ = nullptr;
    QString name_;
    qint64 index_ = -1;
    qint64 left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    qint64 tabIndex_ = 0;
    bool enabled_ = true, visible_ = true;
    QString fontName_ = QStringLiteral("System");
    double fontSize_ = 0;
};

// The class check: the control as a T when it is one (or derived), else null.
template <class T>
T* CheckCast(Control* c)
{
    return dynamic_cast<T*>(c);
}
