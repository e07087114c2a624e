// Window: control registry by name and by name and index.
#include "framework/bevelbutton.h"
#include "framework/label.h"
#include "framework/window.h"

#include <gtest/gtest.h>

TEST(WindowRegistry, FindsArrayMemberByIndexNotByRegistrationOrder)
{
    Window w;
    for (qint64 i : {13, 0, 9, 1})
        w.Add<BevelButton>(QStringLiteral("BBV"), i);
    auto* m = CheckCast<BevelButton>(w.ControlByNameIndex(QStringLiteral("BBV"), 9));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Index(), 9);
    EXPECT_EQ(w.ControlByNameIndex(QStringLiteral("BBV"), 2), nullptr);
    EXPECT_EQ(CheckCast<Label>(m), nullptr);
}
