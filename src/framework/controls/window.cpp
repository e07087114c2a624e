// The window over a QMainWindow: menu bar above, fixed 800 x 600 content below.
#include "framework/controls/window.h"

#include "framework/controls/rectangle.h"
#include "framework/files/dragitem.h"
#include "framework/menus/menubar.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHash>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <algorithm>
#include <functional>

namespace {

QHash<QString, Window*>& ImplicitWindows()
{
    static QHash<QString, Window*> windows;
    return windows;
}

// The content: paints the backdrop behind the controls.
class ContentWidget : public QWidget {
public:
    explicit ContentWidget(Window& owner) : owner_(owner) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (auto pic = owner_.Backdrop()) {
            QPainter p(this);
            p.drawImage(QPointF(0, 0), pic->Image());
        }
    }

private:
    Window& owner_;
};

} // namespace

class WindowWidget : public QMainWindow {
public:
    explicit WindowWidget(Window& owner) : owner_(owner)
    {
        content_ = new ContentWidget(owner);
        setCentralWidget(content_);
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                       | Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint);
    }
    QWidget* Content() const { return content_; }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        owner_.HandleClose();
        e->accept();
    }
    void dragEnterEvent(QDragEnterEvent* e) override { DragItem::TakeAsCopy(*e, owner_.AcceptsFileDrops()); }
    void dragMoveEvent(QDragMoveEvent* e) override { DragItem::TakeAsCopy(*e, owner_.AcceptsFileDrops()); }
    void dropEvent(QDropEvent* e) override
    {
        DragItem item = DragItem::TakeAsCopy(*e, owner_.AcceptsFileDrops());
        if (item.FolderItemAvailable())
            owner_.HandleDrop(item, static_cast<qint64>(e->dropAction()));
    }

private:
    Window& owner_;
    QWidget* content_;
};

Window::Window(const QString& implicitName)
    : widget_(std::make_unique<WindowWidget>(*this)), implicitName_(implicitName)
{
    ApplySize();
    if (!implicitName_.isEmpty())
        ImplicitWindows().insert(implicitName_, this);
}

Window::~Window()
{
    if (!implicitName_.isEmpty() && ImplicitWindows().value(implicitName_) == this)
        ImplicitWindows().remove(implicitName_);
    // Controls go before the widgets that hold theirs.
    controls_.clear();
}

Window* Window::GetImplicitWindow(const QString& implicitName)
{
    return ImplicitWindows().value(implicitName, nullptr);
}

void Window::Constructor()
{
    struct Building {
        bool& flag;
        explicit Building(bool& f) : flag(f) { flag = true; }
        ~Building() { flag = false; }
    };
    {
        Building building(constructing_);
        Layout();
        CreateControls();
        ApplyTabOrder();
        for (auto& c : controls_)
            c->FireOpen();
        Dispatch([this] { Event_Open(); });
    }
    if (visible_)
        widget_->show();
}

QString Window::Title() const { return widget_->windowTitle(); }
void Window::SetTitle(const QString& title) { widget_->setWindowTitle(title); }

void Window::SetWidth(qint64 w)
{
    width_ = w;
    ApplySize();
}

void Window::SetHeight(qint64 h)
{
    height_ = h;
    ApplySize();
}

void Window::SetResizeable(bool r)
{
    resizeable_ = r;
    ApplySize();
}

void Window::ApplySize()
{
    QWidget* content = widget_->Content();
    if (resizeable_) {
        content->setMinimumSize(0, 0);
        content->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        content->resize(int(width_), int(height_));
    } else {
        content->setFixedSize(int(width_), int(height_));
    }
    widget_->adjustSize();
    if (!resizeable_)
        widget_->setFixedSize(widget_->sizeHint());
}

void Window::SetVisible(bool v)
{
    visible_ = v;
    if (!constructing_)
        widget_->setVisible(v);
}

void Window::Close() { widget_->close(); }

void Window::Minimize() { widget_->showMinimized(); }

void Window::SetBackdrop(std::shared_ptr<Picture> picture)
{
    backdrop_ = std::move(picture);
    widget_->Content()->update();
}

void Window::SetMenuBar(::MenuBar* bar)
{
    menuBar_ = bar;
    QMenuBar* qbar = new QMenuBar(widget_.get());
    if (bar)
        bar->Populate(*qbar);
    widget_->setMenuBar(qbar);  // deletes the previous one
    ApplySize();
}

quintptr Window::Handle() const { return reinterpret_cast<quintptr>(static_cast<QWidget*>(widget_.get())); }

QWidget* Window::WidgetFromHandle(quintptr handle) { return reinterpret_cast<QWidget*>(handle); }

void Window::AcceptFileDrop(const QString&)
{
    acceptsFiles_ = true;
    widget_->setAcceptDrops(true);
}

Control& Window::AddControl(std::unique_ptr<Control> control)
{
    Control& c = *control;
    controls_.push_back(std::move(control));
    c.AttachTo(*this);
    return c;
}

Control* Window::ControlByName(const QString& name) const
{
    for (const auto& c : controls_)
        if (c->Name() == name)
            return c.get();
    return nullptr;
}

Control* Window::ControlByNameIndex(const QString& name, qint64 index) const
{
    for (const auto& c : controls_)
        if (c->Index() == index && c->Name() == name)
            return c.get();
    return nullptr;
}

Control* Window::ControlAt(qint64 i) const
{
    if (i < 0 || i >= ControlCount())
        return nullptr;
    return controls_[size_t(i)].get();
}

std::vector<Control*> Window::KeyboardOrder() const
{
    // TabIndex counts within the parent (creation order among equals); a
    // Rectangle's own controls follow one another in the Rectangle's place.
    std::vector<Control*> order;
    std::function<void(const Rectangle*)> addChildrenOf = [&](const Rectangle* parent) {
        std::vector<Control*> members;
        for (const auto& c : controls_)
            if (c->Widget() && c->ParentControl() == parent)
                members.push_back(c.get());
        std::stable_sort(members.begin(), members.end(),
                         [](const Control* a, const Control* b) { return a->TabIndex() < b->TabIndex(); });
        for (Control* c : members) {
            order.push_back(c);
            if (auto* r = dynamic_cast<const Rectangle*>(c))
                addChildrenOf(r);
        }
    };
    addChildrenOf(nullptr);
    std::erase_if(order, [](const Control* c) { return !(c->Widget()->focusPolicy() & Qt::TabFocus); });
    return order;
}

void Window::ApplyTabOrder()
{
    const std::vector<Control*> order = KeyboardOrder();
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->Widget(), order[i]->Widget());
    // The keyboard starts at the first control of the order.
    if (!order.empty())
        order.front()->Widget()->setFocus(Qt::OtherFocusReason);
}

QMainWindow* Window::QtWindow() const { return widget_.get(); }
QWidget* Window::ContentWidget() const { return widget_->Content(); }

void Window::HandleClose()
{
    if (!implicitName_.isEmpty() && ImplicitWindows().value(implicitName_) == this)
        ImplicitWindows().remove(implicitName_);
    Dispatch([this] { Event_Close(); });
}

void Window::HandleDrop(DragItem& item, qint64 action)
{
    Dispatch([&] { Event_DropObject(item, action); });
}
