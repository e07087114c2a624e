// A fixed-size titled top-level window: menu bar above an 800 x 600 content, a
// backdrop picture, registered controls found by name (and index), file drops,
// and the Open, Close and DropObject events as virtual handlers.
#pragma once

#include "framework/controls/control.h"
#include "framework/graphics/picture.h"
#include "framework/runtime/dispatch.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QMainWindow;
class QWidget;
class DragItem;
class MenuBar;
class WindowWidget;

class Window {
public:
    // implicitName: the class name under which GetImplicitWindow finds this
    // window while it is open ("MW.MW"); empty for none.
    explicit Window(const QString& implicitName = {});
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Builds the window (Layout, then CreateControls), then opens it: the Open
    // events of the controls in creation order, then Event_Open; then shows it
    // when Visible.
    void Constructor();

    static Window* GetImplicitWindow(const QString& implicitName);

    QString Title() const;
    void SetTitle(const QString& title);
    // Content size in points; the window is fixed-size unless Resizeable.
    qint64 Width() const { return width_; }
    qint64 Height() const { return height_; }
    void SetWidth(qint64 w);
    void SetHeight(qint64 h);
    bool Resizeable() const { return resizeable_; }
    void SetResizeable(bool r);
    bool Visible() const { return visible_; }
    // During Constructor this only records the wish: the window shows itself
    // once it is built and opened.
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Close();
    void Minimize();

    // Drawn behind every control, at its own size from the top-left corner.
    std::shared_ptr<Picture> Backdrop() const { return backdrop_; }
    void SetBackdrop(std::shared_ptr<Picture> picture);

    // Not owned: the bar is shared with the application for the process's life.
    ::MenuBar* MenuBar() const { return menuBar_; }
    void SetMenuBar(::MenuBar* bar);

    // The window as a pointer-sized value for the native calls: its Qt top-level
    // widget, which WidgetFromHandle gives back. Reading it creates nothing, so
    // attributes that must precede the native window can still be set.
    quintptr Handle() const;
    static QWidget* WidgetFromHandle(quintptr handle);

    // Registers for file drops; "" (or any name) admits files of every kind,
    // which then reach Event_DropObject.
    void AcceptFileDrop(const QString& fileType);
    bool AcceptsFileDrops() const { return acceptsFiles_; }

    // Control registry. The window owns its controls.
    Control& AddControl(std::unique_ptr<Control> control);
    template <class T, class... Args>
    T& Add(const QString& name, qint64 index = -1, Args&&... args)
    {
        auto c = std::make_unique<T>(std::forward<Args>(args)...);
        c->SetName(name);
        c->SetIndex(index);
        T& ref = *c;
        AddControl(std::move(c));
        return ref;
    }
    Control* ControlByName(const QString& name) const;
    // The member of the control array of that name whose Index equals index,
    // whatever the order of registration; null when none.
    Control* ControlByNameIndex(const QString& name, qint64 index) const;
    qint64 ControlCount() const { return static_cast<qint64>(controls_.size()); }
    Control* ControlAt(qint64 i) const;

    // Binds a handler method of a subclass to a control event in one line:
    //   b.Action = Handler(&MW::BBD_Action);
    template <class Self, class R, class Sender, class... Args>
    std::function<R(Sender&, Args...)> Handler(R (Self::*method)(Sender&, Args...))
    {
        Self* self = static_cast<Self*>(this);
        return [self, method](Sender& s, Args... a) -> R { return (self->*method)(s, a...); };
    }

    // The Qt window and the widget that holds the controls (800 x 600 content).
    QMainWindow* QtWindow() const;
    QWidget* ContentWidget() const;

protected:
    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void Event_Open() {}
    virtual void Event_Close() {}
    virtual void Event_DropObject(DragItem& /*item*/, qint64 /*action*/) {}

private:
    friend class WindowWidget;
    void HandleClose();
    void HandleDrop(DragItem& item, qint64 action);
    void ApplySize();
    // The controls that Tab reaches, in the order it reaches them.
    std::vector<Control*> KeyboardOrder() const;
    // Chains the keyboard order and gives its first control the focus.
    void ApplyTabOrder();

    std::unique_ptr<WindowWidget> widget_;
    QString implicitName_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::shared_ptr<Picture> backdrop_;
    ::MenuBar* menuBar_ = nullptr;
    qint64 width_ = 800, height_ = 600;
    bool resizeable_ = false;
    bool visible_ = false;
    bool acceptsFiles_ = false;
    bool constructing_ = false;
};
