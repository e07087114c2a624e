// Closing the opened window quits the application.
#include "fixture.h"

#include "framework/runtime.h"

#include <QMainWindow>

TEST_F(WindowTest, ClosingTheWindowQuitsTheApplication)
{
    ASSERT_FALSE(QuitRequested());
    w().Close();
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(RuntimeExit(), 0);
    EXPECT_EQ(MW::Existing(), nullptr) << "a closed window is not found again";
}
