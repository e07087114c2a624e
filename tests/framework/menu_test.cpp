// Menus: lookup by name below the bar, captions and shortcuts, and the Edit items
// acting on the focused text control before its key filter.
#include "framework/menubar.h"
#include "framework/quitmenuitem.h"
#include "framework/textarea.h"
#include "framework/textfield.h"
#include "framework/window.h"
#include "helpers.h"

#include <QAction>
#include <QClipboard>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<MenuItem> Item(const QString& name, const QString& caption, const QString& shortcut = {},
                               bool quit = false)
{
    std::unique_ptr<MenuItem> item = quit ? std::make_unique<QuitMenuItem>() : std::make_unique<MenuItem>();
    item->SetName(name);
    item->SetAutoEnabled(true);
    item->SetValue(caption);
    item->SetVisible(true);
    if (!shortcut.isNull())
        item->SetShortcut(shortcut);
    return item;
}

// The shared bar of the program, built the way its construction builds it.
std::unique_ptr<MenuBar> ProgramBar()
{
    auto bar = std::make_unique<MenuBar>();
    bar->AddMenu(Item("FileMenu", "&File", ""));
    bar->Child("FileMenu")->AddMenu(Item("FileQuit", "&Quit", "Cmd+Q", true));
    bar->AddMenu(Item("EditMenu", "&Edit", ""));
    MenuItem* edit = bar->Child("EditMenu");
    edit->AddMenu(Item("EditUndo", "&Undo", "Cmd+Z"));
    edit->AddMenu(Item("EditSeparator1", "-"));
    edit->AddMenu(Item("EditCut", "Cu&t", "Cmd+X"));
    edit->AddMenu(Item("EditCopy", "&Copy", "Cmd+C"));
    edit->AddMenu(Item("EditPaste", "&Paste", "Cmd+V"));
    edit->AddMenu(Item("EditClear", "&Delete", ""));
    edit->AddMenu(Item("EditSeparator2", "-"));
    edit->AddMenu(Item("EditSelectAll", "Select &All", "Cmd+A"));
    return bar;
}

// A shown, active window with one text area that swallows every key it sees.
struct EditFixture {
    std::unique_ptr<MenuBar> bar = ProgramBar();
    Window w;
    TextArea* t;
    QStringList keys;
    bool active = false;

    EditFixture()
    {
        w.SetMenuBar(bar.get());
        t = &w.Add<TextArea>(QStringLiteral("T"));
        t->SetBounds(0, 0, 300, 200);
        t->KeyDown = [this](TextArea&, const QString& k) {
            keys << k;
            return true;
        };
        w.SetVisible(true);
        QApplication::setActiveWindow(w.QtWindow());
        active = QTest::qWaitForWindowActive(w.QtWindow());
        t->Widget()->setFocus();
    }
    void Press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier); }
};

} // namespace

TEST(MenuLookup, FindsItemsAnywhereBelowTheBarButChildOnlyDirectOnesAndSeparatorsApart)
{
    auto bar = ProgramBar();
    MenuItem* copy = bar->Lookup("EditCopy");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Value(), QStringLiteral("&Copy"));
    EXPECT_EQ(bar->Child("EditCopy"), nullptr);
    EXPECT_EQ(bar->Lookup("EditMenu"), bar->Child("EditMenu"));
    EXPECT_NE(dynamic_cast<QuitMenuItem*>(bar->Lookup("FileQuit")), nullptr);
    EXPECT_EQ(bar->Lookup("Nothing"), nullptr);
    // Separators share the caption "-" but are items of their own.
    MenuItem* s1 = bar->Lookup("EditSeparator1");
    MenuItem* s2 = bar->Lookup("EditSeparator2");
    ASSERT_NE(s1, nullptr);
    ASSERT_NE(s2, nullptr);
    EXPECT_NE(s1, s2);
    EXPECT_TRUE(s1->IsSeparator());
    EXPECT_TRUE(s1->QtAction()->isSeparator());
}

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

// The area's key filter swallows every key, yet the shortcuts act.
TEST(MenuEdit, ShortcutsActOnTheFocusedAreaBeforeItsKeyFilter)
{
    EditFixture f;
    ASSERT_TRUE(f.active);
    f.t->SetText(QStringLiteral("abc"));
    f.t->SetSelStart(0);
    f.t->SetSelLength(2);
    QGuiApplication::clipboard()->clear();
    f.Press(Qt::Key_C);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ab"));
    f.t->SetSelStart(3);
    f.Press(Qt::Key_V);
    EXPECT_EQ(f.t->Text(), QStringLiteral("abcab"));
    f.Press(Qt::Key_A);
    EXPECT_EQ(f.t->SelLength(), 5);
    f.Press(Qt::Key_X);
    EXPECT_EQ(f.t->Text(), QString());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abcab"));
    f.Press(Qt::Key_Z);
    EXPECT_EQ(f.t->Text(), QStringLiteral("abcab"));
    EXPECT_TRUE(f.keys.isEmpty());
}

TEST(MenuEdit, DeleteRemovesTheSelectionOnlyAndSparesReadOnlyAreas)
{
    EditFixture f;
    f.t->SetText(QStringLiteral("abcd"));
    f.t->SetSelStart(1);
    f.t->SetSelLength(2);
    f.bar->Lookup("EditClear")->Choose();
    EXPECT_EQ(f.t->Text(), QStringLiteral("ad"));
    f.bar->Lookup("EditClear")->Choose();
    EXPECT_EQ(f.t->Text(), QStringLiteral("ad"));
    f.t->SetReadOnly(true);
    f.t->SetSelStart(0);
    f.t->SetSelLength(1);
    f.bar->Lookup("EditClear")->Choose();
    f.bar->Lookup("EditCut")->Choose();
    EXPECT_EQ(f.t->Text(), QStringLiteral("ad"));
}

TEST(MenuEdit, EditItemsAlsoServeTextFields)
{
    auto bar = ProgramBar();
    Window w;
    w.SetMenuBar(bar.get());
    auto& field = w.Add<TextField>(QStringLiteral("TField1"));
    w.SetVisible(true);
    field.SetText(QStringLiteral("1010"));
    field.Widget()->setFocus();
    QApplication::setActiveWindow(w.QtWindow());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.QtWindow()));
    bar->Lookup("EditSelectAll")->Choose();
    bar->Lookup("EditClear")->Choose();
    EXPECT_EQ(field.Text(), QString());
}

TEST(MenuAction, ProgramsOwnActionTakesThePlaceOfTheFrameworks)
{
    ReportCollector c;
    auto bar = ProgramBar();
    int chosen = 0;
    bar->Lookup("EditCopy")->Action = [&](MenuItem& item) {
        ++chosen;
        EXPECT_EQ(item.Name(), QStringLiteral("EditCopy"));
    };
    bar->Lookup("EditCopy")->QtAction()->trigger();
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(c.reports.isEmpty());
}
