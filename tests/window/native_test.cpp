// The native calls on the opened window: the opaque white background without a
// compositor, and closing the window quitting the application.
#include "fixture.h"

#include "framework/runtime.h"
#include "window/module1.h"

#include <QMainWindow>
#include <QPalette>

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
