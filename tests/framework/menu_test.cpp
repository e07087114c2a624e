// Menus: submenus filled after they were added, and the Edit items acting on
// the focused text area before its key filter.
#include "framework/controls/textarea.h"
#include "framework/controls/window.h"
#include "framework/menus/menubar.h"

#include <QAction>
#include <QClipboard>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<MenuItem> Item(const QString& name, const QString& caption, const QString& shortcut = {})
{
    auto item = std::make_unique<MenuItem>();
    item->SetName(name);
    item->SetAutoEnabled(true);
    item->SetValue(caption);
    item->SetVisible(true);
    if (!shortcut.isNull())
        item->SetShortcut(shortcut);
    return item;
}

// The program's Edit menu, built the way its construction builds it.
std::unique_ptr<MenuBar> ProgramBar()
{
    auto bar = std::make_unique<MenuBar>();
    bar->AddMenu(Item("EditMenu", "&Edit"));
    MenuItem* edit = bar->Child("EditMenu");
    edit->AddMenu(Item("EditUndo", "&Undo", "Cmd+Z"));
    edit->AddMenu(Item("EditCut", "Cu&t", "Cmd+X"));
    edit->AddMenu(Item("EditCopy", "&Copy", "Cmd+C"));
    edit->AddMenu(Item("EditPaste", "&Paste", "Cmd+V"));
    edit->AddMenu(Item("EditClear", "&Delete"));
    edit->AddMenu(Item("EditSelectAll", "Select &All", "Cmd+A"));
    return bar;
}

} // namespace

// Each level added to its parent while still empty, its children only later.
TEST(MenuLookup, SubmenusAddedEmptyShowWhatIsAddedToThemLaterAtEveryDepth)
{
    auto bar = std::make_unique<MenuBar>();
    bar->AddMenu(Item("ToolsMenu", "&Tools"));
    MenuItem* tools = bar->Child("ToolsMenu");
    tools->AddMenu(Item("Level2", "Level &2"));
    MenuItem* level2 = tools->Child("Level2");
    level2->AddMenu(Item("Level3", "Level &3"));
    MenuItem* level3 = level2->Child("Level3");
    level3->AddMenu(Item("Leaf", "&Leaf"));
    tools->AddMenu(Item("Plain", "&Plain"));
    int chosen = 0;
    bar->Lookup("Leaf")->Action = [&](MenuItem&) { ++chosen; };

    QMenuBar qtBar;
    bar->Populate(qtBar);
    ASSERT_EQ(qtBar.actions().size(), 1);
    QMenu* shown1 = qtBar.actions()[0]->menu<QMenu*>();
    ASSERT_NE(shown1, nullptr);
    ASSERT_EQ(shown1->actions().size(), 2);
    QMenu* shown2 = shown1->actions()[0]->menu<QMenu*>();
    ASSERT_NE(shown2, nullptr);
    EXPECT_EQ(shown1->actions()[0]->text(), QStringLiteral("Level &2"));
    EXPECT_EQ(shown1->actions()[1]->menu<QMenu*>(), nullptr);
    ASSERT_EQ(shown2->actions().size(), 1);
    QMenu* shown3 = shown2->actions()[0]->menu<QMenu*>();
    ASSERT_NE(shown3, nullptr);
    EXPECT_EQ(shown2->actions()[0]->text(), QStringLiteral("Level &3"));
    ASSERT_EQ(shown3->actions().size(), 1);
    EXPECT_EQ(shown3->actions()[0]->text(), QStringLiteral("&Leaf"));

    // What the user reaches through the shown menus is the item itself.
    level3->AddMenu(Item("Later", "La&ter"));
    EXPECT_EQ(shown3->actions().size(), 2);
    shown3->actions()[0]->trigger();
    EXPECT_EQ(chosen, 1);
    level2->SetEnabled(false);
    EXPECT_FALSE(shown1->actions()[0]->isEnabled());
}

// The area's key filter swallows every key, yet the shortcuts act; Delete takes
// the selection only, and a read-only area keeps its text.
TEST(MenuEdit, ShortcutsAndItemsActOnTheFocusedAreaBeforeItsKeyFilter)
{
    auto bar = ProgramBar();
    Window w;
    w.SetMenuBar(bar.get());
    auto& t = w.Add<TextArea>(QStringLiteral("T"));
    t.SetBounds(0, 0, 300, 200);
    QStringList keys;
    t.KeyDown = [&](TextArea&, const QString& k) {
        keys << k;
        return true;
    };
    w.SetVisible(true);
    QApplication::setActiveWindow(w.QtWindow());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.QtWindow()));
    t.Widget()->setFocus();
    auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier); };

    t.SetText(QStringLiteral("abc"));
    t.SetSelStart(0);
    t.SetSelLength(2);
    QGuiApplication::clipboard()->clear();
    press(Qt::Key_C);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ab"));
    t.SetSelStart(3);
    press(Qt::Key_V);
    EXPECT_EQ(t.Text(), QStringLiteral("abcab"));
    press(Qt::Key_A);
    EXPECT_EQ(t.SelLength(), 5);
    press(Qt::Key_X);
    EXPECT_EQ(t.Text(), QString());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abcab"));
    press(Qt::Key_Z);
    EXPECT_EQ(t.Text(), QStringLiteral("abcab"));
    EXPECT_TRUE(keys.isEmpty());

    t.SetSelStart(1);
    t.SetSelLength(2);
    bar->Lookup("EditClear")->Choose();
    EXPECT_EQ(t.Text(), QStringLiteral("aab"));
    bar->Lookup("EditClear")->Choose();
    EXPECT_EQ(t.Text(), QStringLiteral("aab"));
    t.SetReadOnly(true);
    t.SetSelStart(0);
    t.SetSelLength(1);
    bar->Lookup("EditClear")->Choose();
    bar->Lookup("EditCut")->Choose();
    EXPECT_EQ(t.Text(), QStringLiteral("aab"));
}
