// The native calls and the window's own events: input-method composition of the
// hex column, the opaque white background without a compositor, minimising, and
// closing the window quitting the application.
#include "fixture.h"

#include "framework/runtime.h"
#include "window/module1.h"

#include <QMainWindow>
#include <QPalette>

TEST_F(WindowTest, KeyScriptSwitchesCompositionOfTheHexColumn)
{
    Module1::KeyScript(1);
    EXPECT_TRUE(w().BinaryTa().InputMethodEnabled());
    Module1::KeyScript(0);
    EXPECT_FALSE(w().BinaryTa().InputMethodEnabled());
    Module1::KeyScript(-3);
    EXPECT_TRUE(w().BinaryTa().InputMethodEnabled());
    EXPECT_TRUE(w().BinaryTa_MouseDown(w().BinaryTa(), 0, 0) == false);
    EXPECT_FALSE(w().BinaryTa().InputMethodEnabled());
}

TEST_F(WindowTest, WithoutACompositorTheWindowIsOpaqueWhite)
{
    ASSERT_FALSE(Module1::CompositorRunning()) << "the offscreen platform composites nothing";
    const QColor bg = w().QtWindow()->palette().color(QPalette::Window);
    EXPECT_EQ(bg, QColor(255, 255, 255, 255));
    EXPECT_FALSE(w().QtWindow()->testAttribute(Qt::WA_TranslucentBackground));
}

TEST_F(WindowTest, ClosingTheWindowQuitsTheApplication)
{
    ASSERT_FALSE(QuitRequested());
    w().Close();
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(RuntimeExit(), 0);
    EXPECT_EQ(MW::Existing(), nullptr) << "a closed window is not found again";
}
