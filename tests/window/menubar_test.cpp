// The menu bar the program builds, as the window shows it: its menus and items in
// order with their captions, separators and shortcuts, found by name through the
// window; and the Edit items acting on the focused column before its key filter.
#include "fixture.h"

#include "window/mainmenubar.h"

#include <QAction>
#include <QClipboard>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

TEST_F(WindowTest, TheWindowShowsTheSharedBarWithItsMenusItemsSeparatorsAndShortcuts)
{
    // The shortcuts as stored; the desktop binds Cmd as Ctrl.
    const struct { int menu; const char *name, *caption, *shortcut; } items[] = {
        {0, "FileQuit", "&Quit", "Cmd+Q"},        {1, "EditUndo", "&Undo", "Cmd+Z"},
        {1, "EditSeparator1", "-", ""},           {1, "EditCut", "Cu&t", "Cmd+X"},
        {1, "EditCopy", "&Copy", "Cmd+C"},        {1, "EditPaste", "&Paste", "Cmd+V"},
        {1, "EditClear", "&Delete", ""},          {1, "EditSeparator2", "-", ""},
        {1, "EditSelectAll", "Select &All", "Cmd+A"},
    };
    // The bar as built and as the user sees it: two menus, File first, each
    // showing its items' actions and nothing else.
    MenuItem* menus[] = {&w().FileMenu(), &w().EditMenu()};
    ASSERT_EQ(w().MenuBar(), &MainMenuBar::Instance());
    const QList<QAction*> shownMenus = w().QtWindow()->menuBar()->actions();
    ASSERT_EQ(std::pair(shownMenus.size(), w().MenuBar()->Count()), std::pair(qsizetype(2), qint64(2)));
    for (int m = 0; m < 2; ++m) {
        EXPECT_EQ(w().MenuBar()->Item(m), menus[m]);
        EXPECT_EQ(shownMenus[m]->text(), m == 0 ? "&File" : "&Edit");
        ASSERT_NE(shownMenus[m]->menu(), nullptr);
        EXPECT_EQ(shownMenus[m]->menu()->actions().size(), m == 0 ? 1 : 8);
    }
    int position[2] = {0, 0};
    for (const auto& item : items) {
        SCOPED_TRACE(item.name);
        MenuItem* found = w().MenuBar()->Lookup(item.name);
        ASSERT_NE(found, nullptr);
        const int at = position[item.menu]++;
        EXPECT_EQ(menus[item.menu]->Item(at), found);
        QAction* shown = shownMenus[item.menu]->menu()->actions().value(at);
        ASSERT_EQ(shown, found->QtAction());
        const bool separator = QLatin1String(item.caption) == QLatin1String("-");
        EXPECT_EQ(std::pair(shown->isSeparator(), shown->text()), std::pair(separator, separator ? QString() : QString(item.caption)));
        EXPECT_EQ(shown->shortcut(), QKeySequence(QString(item.shortcut).replace("Cmd+", "Ctrl+")));
        EXPECT_TRUE(shown->isVisible());
    }

    // The window's accessors find the same items by name; the separators are two.
    EXPECT_EQ(&w().FileQuit(), w().MenuBar()->Lookup("FileQuit"));
    EXPECT_EQ(&w().EditCopy(), w().MenuBar()->Lookup("EditCopy"));
    EXPECT_NE(&w().EditSeparator1(), &w().EditSeparator2());
    EXPECT_EQ(&w().EditSelectAll(), menus[1]->Item(7));
}

// The column's key filter would swallow every one of these keys; the menu takes
// them first.
TEST_F(WindowTest, EditShortcutsAndItemsActOnTheFocusedColumnBeforeItsKeyFilter)
{
    Activate();
    auto press = [&](char key) { QTest::keyClick(w().QtWindow()->windowHandle(), key, Qt::ControlModifier); };
    TextArea& t = w().BinaryTa();
    t.SetText("abc");
    Select(t, 0, 2);
    QGuiApplication::clipboard()->clear();
    press('c');
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "ab");
    t.SetSelStart(3);
    press('v');
    EXPECT_EQ(t.Text(), "abcab");
    press('a');
    EXPECT_EQ(t.SelLength(), 5);
    press('x');
    EXPECT_EQ(std::pair(t.Text(), QGuiApplication::clipboard()->text()), std::pair(QString(), QString("abcab")));
    press('z');
    EXPECT_EQ(t.Text(), "abcab");

    // Delete takes the selection only; the read-only columns keep their text.
    Select(t, 1, 2);
    for (int twice = 0; twice < 2; ++twice) {
        w().EditClear().QtAction()->trigger();
        EXPECT_EQ(t.Text(), "aab");
    }
    // The address and character columns take neither a cut nor a paste of
    // other text.
    QGuiApplication::clipboard()->setText("7F");
    for (TextArea* column : {&w().HedderTa(), &w().FutterTa()}) {
        column->SetText("00000000:");
        column->Widget()->setFocus();
        Select(*column, 0, 4);
        w().EditClear().QtAction()->trigger();
        press('x');
        press('v');
        w().EditPaste().QtAction()->trigger();
        EXPECT_EQ(column->Text(), "00000000:") << column->Name().toStdString();
    }
}
