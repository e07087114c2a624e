// The simple controls: buttons, labels, popup menu, rectangle, text field, and
// the settings every control carries (place, state, font).
#include "framework/bevelbutton.h"
#include "framework/colour.h"
#include "framework/fonts.h"
#include "framework/label.h"
#include "framework/popupmenu.h"
#include "framework/pushbutton.h"
#include "framework/rectangle.h"
#include "framework/textfield.h"
#include "framework/window.h"
#include "helpers.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

TEST(PushButtonEvents, ClickFiresActionWithTheSender)
{
    PushButton b;
    b.SetName(QStringLiteral("PushButton1"));
    b.SetCaption(QStringLiteral("↓"));
    QString got;
    b.Action = [&](PushButton& s) { got = s.Name(); };
    QTest::mouseClick(b.Widget(), Qt::LeftButton);
    EXPECT_EQ(got, QStringLiteral("PushButton1"));
    EXPECT_EQ(b.Caption(), QStringLiteral("↓"));
}

// Style 0 pushes, 1 toggles, 2 sticks; every click fires the action after the
// value has changed, and the widget shows the value.
TEST(BevelButtonValue, EachStyleSetsTheValueItsWayOnEveryClick)
{
    const struct {
        int style;
        bool afterFirst, afterSecond;
    } cases[] = {{0, false, false}, {1, true, false}, {2, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        BevelButton b;
        b.SetButtonStyle(c.style);
        QList<bool> seen;
        b.Action = [&](BevelButton& s) { seen << s.Value(); };
        QTest::mouseClick(b.Widget(), Qt::LeftButton);
        QTest::mouseClick(b.Widget(), Qt::LeftButton);
        EXPECT_EQ(seen, (QList<bool>{c.afterFirst, c.afterSecond}));
        EXPECT_EQ(b.Value(), c.afterSecond);
        EXPECT_EQ(static_cast<QToolButton*>(b.Widget())->isChecked(), c.afterSecond);
    }
}

TEST(BevelButtonValue, SettingValueShowsItPressedAndFiresNothing)
{
    BevelButton b;
    b.SetButtonStyle(2);
    int actions = 0;
    b.Action = [&](BevelButton&) { ++actions; };
    b.SetValue(true);
    EXPECT_TRUE(static_cast<QToolButton*>(b.Widget())->isChecked());
    b.SetValue(false);
    EXPECT_FALSE(b.Value());
    EXPECT_FALSE(static_cast<QToolButton*>(b.Widget())->isChecked());
    EXPECT_EQ(actions, 0);
}

TEST(BevelButtonLook, IconIsShownAtThePicturesSize)
{
    BevelButton b;
    auto pic = std::make_shared<Picture>(14, 16);
    b.SetIcon(pic);
    EXPECT_EQ(b.Icon(), pic);
    auto* tb = static_cast<QToolButton*>(b.Widget());
    EXPECT_FALSE(tb->icon().isNull());
    EXPECT_EQ(tb->iconSize(), QSize(14, 16));
    EXPECT_EQ(tb->toolButtonStyle(), Qt::ToolButtonIconOnly);
}

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
    m.SetListIndex(7);
    EXPECT_EQ(m.ListIndex(), -1);
    m.SetListIndex(-5);
    EXPECT_EQ(m.ListIndex(), -1);
}

TEST(RectangleLook, TransparentFillShowsTheBackdropInsideTheBorder)
{
    Window w;
    auto back = std::make_shared<Picture>(800, 600);
    back->Image().fill(QColor(0, 0, 255));
    w.SetBackdrop(back);
    auto& r = w.Add<Rectangle>(QStringLiteral("Rectangle1"));
    r.SetBounds(96, 415, 458, 165);
    r.SetBorderThickness(2.0);
    r.SetTopLeftColor(RGB(213, 213, 213));
    r.SetBottomRightColor(RGB(146, 146, 146));
    r.SetFillColor(RGB(250, 250, 250));
    w.SetVisible(true);
    QImage shot = w.ContentWidget()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(200, 500), QColor(250, 250, 250));
    EXPECT_EQ(shot.pixelColor(97, 500), QColor(213, 213, 213));
    EXPECT_EQ(shot.pixelColor(96 + 457, 500), QColor(146, 146, 146));
    r.SetFillColor(RGB(0, 0, 0, 255));
    shot = w.ContentWidget()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(200, 500), QColor(0, 0, 255));
    EXPECT_EQ(shot.pixelColor(97, 500), QColor(213, 213, 213));
}

TEST(TextFieldLook, TextHintAndATransparentBackgroundThatShowsTheBackdrop)
{
    Window w;
    auto back = std::make_shared<Picture>(800, 600);
    back->Image().fill(QColor(200, 20, 20));
    w.SetBackdrop(back);
    auto& f = w.Add<TextField>(QStringLiteral("TField1"));
    f.SetBounds(567, 499, 150, 24);
    f.SetHint(QStringLiteral("0000000000000000"));
    f.SetText(QStringLiteral("1111"));
    EXPECT_EQ(f.Text(), QStringLiteral("1111"));
    EXPECT_EQ(static_cast<QLineEdit*>(f.Widget())->placeholderText(), QStringLiteral("0000000000000000"));
    f.SetBackgroundColor(RGB(255, 255, 255));
    w.SetVisible(true);
    const QPoint inside(567 + 140, 499 + 12);
    EXPECT_EQ(w.ContentWidget()->grab().toImage().pixelColor(inside), QColor(255, 255, 255));
    f.SetBackgroundColor(RGB(0, 0, 0, 255));
    EXPECT_EQ(f.BackgroundColor(), RGB(0, 0, 0, 255));
    EXPECT_EQ(w.ContentWidget()->grab().toImage().pixelColor(inside), QColor(200, 20, 20));
}

struct ColourCase {
    int r, g, b, a;
    QColor expected;
};

class ColourTable : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourTable, AlphaCountsTransparency)
{
    const ColourCase& c = GetParam();
    EXPECT_EQ(RGB(c.r, c.g, c.b, c.a).ToQColor(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Colours, ColourTable,
                         ::testing::Values(ColourCase{0, 0, 0, 255, QColor(0, 0, 0, 0)},
                                           ColourCase{255, 255, 255, 0, QColor(255, 255, 255, 255)},
                                           ColourCase{213, 213, 213, 0, QColor(213, 213, 213)},
                                           ColourCase{10, 20, 30, 128, QColor(10, 20, 30, 127)},
                                           ColourCase{300, -4, 0, 999, QColor(255, 0, 0, 0)}));

TEST(ControlSettings, StateAndPlaceReachTheWidget)
{
    Window w;
    auto& b = w.Add<PushButton>(QStringLiteral("FileOpenButton"));
    b.SetBounds(580, 447, 120, 20);
    b.SetTabIndex(1);
    b.SetEnabled(false);
    EXPECT_EQ(b.Widget()->geometry(), QRect(580, 447, 120, 20));
    EXPECT_FALSE(b.Widget()->isEnabled());
    EXPECT_EQ(b.TabIndex(), 1);
    w.SetVisible(true);
    b.SetVisible(false);
    EXPECT_FALSE(b.Widget()->isVisible());
}

TEST(ControlSettings, TabOrderFollowsTabIndexWithinTheParent)
{
    struct Four : Window {
        void CreateControls() override
        {
            Add<TextField>(QStringLiteral("A")).SetTabIndex(3);
            Add<TextField>(QStringLiteral("B")).SetTabIndex(1);
            Add<TextField>(QStringLiteral("C")).SetTabIndex(0);
            Add<TextField>(QStringLiteral("D")).SetTabIndex(2);
        }
    } w;
    w.Constructor();
    QWidget* a = w.ControlByName(QStringLiteral("A"))->Widget();
    QWidget* b = w.ControlByName(QStringLiteral("B"))->Widget();
    QWidget* c = w.ControlByName(QStringLiteral("C"))->Widget();
    QWidget* d = w.ControlByName(QStringLiteral("D"))->Widget();
    auto nextTab = [](QWidget* from) {
        QWidget* w = from->nextInFocusChain();
        while (w != from && !(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        return w;
    };
    EXPECT_EQ(nextTab(c), b);
    EXPECT_EQ(nextTab(b), d);
    EXPECT_EQ(nextTab(d), a);
}

TEST(ControlFonts, SystemIsTheDefaultFontAndSizeZeroTheDefaultSize)
{
    const QFont f = ResolveFont(QStringLiteral("System"), 0);
    EXPECT_EQ(f.family(), QApplication::font().family());
    EXPECT_EQ(f.pointSizeF(), QApplication::font().pointSizeF());
    EXPECT_EQ(ResolveFont(QStringLiteral("System"), 14).pixelSize(), 14);
}

TEST(ControlFonts, OsakaIsAJapaneseCapableFont)
{
    const QFont f = ResolveFont(QStringLiteral("Osaka"), 9);
    EXPECT_EQ(f.pixelSize(), 9);
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    if (families.isEmpty())
        GTEST_SKIP() << "no Japanese font installed";
    EXPECT_TRUE(QFontDatabase::writingSystems(QFontInfo(f).family()).contains(QFontDatabase::Japanese))
        << QFontInfo(f).family().toStdString();
}

TEST(ControlFonts, ControlTakesItsFont)
{
    Label l;
    l.SetFontName(QStringLiteral("System"));
    l.SetFontSize(15);
    EXPECT_EQ(l.Widget()->font().pixelSize(), 15);
    EXPECT_EQ(l.FontSize(), 15.0);
}
