// The popup menu's rows and when it reports a change.
#include "framework/controls/popupmenu.h"

#include <QComboBox>
#include <gtest/gtest.h>

TEST(PopupMenuRows, ListIndexChoosesARowOrNoneAndChangeFollowsEveryChangeButNotTheFilling)
{
    PopupMenu m;
    QList<qint64> changes;
    m.Change = [&](PopupMenu& s) { changes << s.ListIndex(); };
    m.AddRow(QStringLiteral("楽器選択"));
    m.AddRows({QStringLiteral("00：Acoustic Grand Piano( Piano )"), QStringLiteral("01：Bright Acoustic Piano")});
    EXPECT_TRUE(changes.isEmpty());
    EXPECT_EQ(m.ListCount(), 3);
    EXPECT_EQ(m.ListIndex(), 0);
    m.SetListIndex(1);
    m.SetListIndex(1);
    static_cast<QComboBox*>(m.Widget())->setCurrentIndex(2);
    EXPECT_EQ(changes, (QList<qint64>{1, 2}));
    EXPECT_EQ(m.Text(), QStringLiteral("01：Bright Acoustic Piano"));
    EXPECT_EQ(m.List(0), QStringLiteral("楽器選択"));
    EXPECT_EQ(m.List(9), QString());
    // An index out of range chooses no row.
    for (qint64 outside : {7, -5}) {
        m.SetListIndex(outside);
        EXPECT_EQ(m.ListIndex(), -1) << outside;
    }
}
