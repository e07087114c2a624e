// A menu item: name, caption ("&" marks the mnemonic, "-" makes a separator),
// shortcut ("Cmd+X" is Ctrl+X here), and the items below it. An item with no
// Action of its own does the framework's part: the Edit items named EditUndo,
// EditCut, EditCopy, EditPaste, EditClear and EditSelectAll act on the focused
// text control.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;

class MenuItem {
public:
    MenuItem();
    virtual ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    QString Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    // The caption as stored.
    QString Value() const { return caption_; }
    void SetValue(const QString& caption);
    QString Shortcut() const { return shortcut_; }
    void SetShortcut(const QString& shortcut);
    bool AutoEnabled() const { return autoEnabled_; }
    void SetAutoEnabled(bool v) { autoEnabled_ = v; }
    bool Visible() const;
    void SetVisible(bool v);
    bool Enabled() const;
    void SetEnabled(bool v);
    bool IsSeparator() const { return caption_ == QLatin1String("-"); }

    // Appends the item at the end of this menu; this item owns it.
    void AddMenu(std::unique_ptr<MenuItem> item);
    qint64 Count() const { return static_cast<qint64>(children_.size()); }
    MenuItem* Item(qint64 i) const;
    // The direct child of that name, or null.
    MenuItem* Child(const QString& name) const;
    // The item of that name anywhere below this one, or null.
    MenuItem* Lookup(const QString& name) const;

    // What choosing the item does, when the program gives it something to do.
    std::function<void(MenuItem&)> Action;
    // Chooses the item as the user would.
    void Choose();

    // The Qt action underneath: the one a parent menu shows, and the one that
    // opens the item's menu once it has one.
    QAction* QtAction() const { return action_; }
    // The item's menu, made on first use (adding a child makes it).
    QMenu* QtMenu();

protected:
    // The framework's own behaviour of an item the program leaves alone.
    virtual void DefaultAction();

private:
    QString name_, caption_, shortcut_;
    bool autoEnabled_ = true;
    std::vector<std::unique_ptr<MenuItem>> children_;
    QAction* action_;
    std::unique_ptr<QMenu> menu_;
};

// "Cmd+Q" and the like as a Qt key sequence: Cmd is Ctrl on Linux.
QString PortableShortcut(const QString& stored);
