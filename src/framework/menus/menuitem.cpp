// Menu items over QAction; Edit items act on the focused text control.
#include "framework/menus/menuitem.h"

#include "framework/menus/edittarget.h"
#include "framework/runtime/dispatch.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>

QString PortableShortcut(const QString& stored)
{
    QString s = stored.trimmed();
    s.replace(QLatin1String("Cmd+"), QLatin1String("Ctrl+"), Qt::CaseInsensitive);
    return s;
}

MenuItem::MenuItem() : action_(new QAction)
{
    QObject::connect(action_, &QAction::triggered, [this](bool) { Choose(); });
}

MenuItem::~MenuItem()
{
    children_.clear();
    if (menu_)
        action_->setMenu(static_cast<QMenu*>(nullptr));
    menu_.reset();
    delete action_;
}

void MenuItem::SetValue(const QString& caption)
{
    caption_ = caption;
    action_->setSeparator(IsSeparator());
    action_->setText(IsSeparator() ? QString() : caption);
    if (menu_)
        menu_->setTitle(caption);
}

void MenuItem::SetShortcut(const QString& shortcut)
{
    shortcut_ = shortcut;
    action_->setShortcut(QKeySequence(PortableShortcut(shortcut)));
}

bool MenuItem::Visible() const { return action_->isVisible(); }
void MenuItem::SetVisible(bool v) { action_->setVisible(v); }
bool MenuItem::Enabled() const { return action_->isEnabled(); }
void MenuItem::SetEnabled(bool v) { action_->setEnabled(v); }

void MenuItem::AddMenu(std::unique_ptr<MenuItem> item)
{
    if (!item)
        return;
    MenuItem* added = item.get();
    children_.push_back(std::move(item));
    QtMenu()->addAction(added->action_);
}

MenuItem* MenuItem::Item(qint64 i) const
{
    if (i < 0 || i >= Count())
        return nullptr;
    return children_[size_t(i)].get();
}

MenuItem* MenuItem::Child(const QString& name) const
{
    for (const auto& c : children_)
        if (c->name_ == name)
            return c.get();
    return nullptr;
}

MenuItem* MenuItem::Lookup(const QString& name) const
{
    for (const auto& c : children_) {
        if (c->name_ == name)
            return c.get();
        if (MenuItem* found = c->Lookup(name))
            return found;
    }
    return nullptr;
}

QMenu* MenuItem::QtMenu()
{
    if (!menu_) {
        menu_ = std::make_unique<QMenu>(caption_);
        // The item's one action opens the menu, so every menu that already shows
        // the item shows it as a submenu from now on, however deep it sits.
        action_->setMenu(menu_.get());
    }
    return menu_.get();
}

void MenuItem::Choose()
{
    if (Action)
        Dispatch([this] { Action(*this); });
    else
        Dispatch([this] { DefaultAction(); });
}

void MenuItem::DefaultAction()
{
    EditTarget* target = EditTarget::Of(QApplication::focusWidget());
    if (!target)
        return;
    if (name_ == QLatin1String("EditUndo"))
        target->Undo();
    else if (name_ == QLatin1String("EditCut"))
        target->Cut();
    else if (name_ == QLatin1String("EditCopy"))
        target->Copy();
    else if (name_ == QLatin1String("EditPaste"))
        target->Paste();
    else if (name_ == QLatin1String("EditClear"))
        target->DeleteSelection();
    else if (name_ == QLatin1String("EditSelectAll"))
        target->SelectAll();
}
