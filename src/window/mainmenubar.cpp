// The shared menu bar's construction, item by item in the stored order.
#include "window/mainmenubar.h"

#include "framework/menus/quitmenuitem.h"
#include "framework/runtime/exceptions.h"

MainMenuBar& MainMenuBar::Instance()
{
    // Held for the process's life: its Qt actions must outlive every window.
    static MainMenuBar* shared = nullptr;
    if (!shared)
        shared = new MainMenuBar;  // stored only once its construction has finished
    return *shared;
}

MainMenuBar::MainMenuBar()
{
    Untitled0();
    Untitled1();
}

void MainMenuBar::AddItem(const char* menu, std::unique_ptr<MenuItem> item, const char* name,
                          const char* caption, const char* shortcut)
{
    item->SetName(QString::fromLatin1(name));
    item->SetAutoEnabled(true);
    item->SetValue(QString::fromUtf8(caption));
    item->SetVisible(true);
    if (shortcut)  // separators get no shortcut at all
        item->SetShortcut(QString::fromLatin1(shortcut));
    if (!menu)
        AddMenu(std::move(item));
    else
        NotNil(Child(QString::fromLatin1(menu))).AddMenu(std::move(item));
}

void MainMenuBar::Untitled0()
{
    AddItem(nullptr, std::make_unique<MenuItem>(), "FileMenu", "&File", "");
    AddItem("FileMenu", std::make_unique<QuitMenuItem>(), "FileQuit", "&Quit", "Cmd+Q");
}

void MainMenuBar::Untitled1()
{
    struct Row {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    static constexpr Row kEdit[] = {
        {"EditUndo", "&Undo", "Cmd+Z"},       {"EditSeparator1", "-", nullptr},
        {"EditCut", "Cu&t", "Cmd+X"},         {"EditCopy", "&Copy", "Cmd+C"},
        {"EditPaste", "&Paste", "Cmd+V"},     {"EditClear", "&Delete", ""},
        {"EditSeparator2", "-", nullptr},     {"EditSelectAll", "Select &All", "Cmd+A"},
    };
    AddItem(nullptr, std::make_unique<MenuItem>(), "EditMenu", "&Edit", "");
    for (const Row& r : kEdit)
        AddItem("EditMenu", std::make_unique<MenuItem>(), r.name, r.caption, r.shortcut);
}
