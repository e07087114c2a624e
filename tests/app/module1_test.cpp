// The native calls on Linux: the layer's class lookup, the half-transparent
// window with and without a compositor, the hex column's input method, and the
// window sent to the dock.
#include "framework/window.h"
#include "window/module1.h"
#include "window/mw.h"

#include <QCoreApplication>
#include <QInputMethodQueryEvent>
#include <QMainWindow>
#include <gtest/gtest.h>

namespace {

QColor Background(const Window& w) { return w.QtWindow()->palette().color(QPalette::Window); }

// What the input method asks the widget before it composes.
bool ImeEnabled(QWidget* widget)
{
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(widget, &query);
    return query.value(Qt::ImEnabled).toBool();
}

} // namespace

TEST(NativeClasses, OnlyKnownNamesGiveAClass)
{
    const struct {
        const char* name;
        bool known;
    } cases[] = {{"NSColor", true}, {"NSWindow", false}, {"nscolor", false}, {"", false}, {"NSColor ", false}};
    for (const auto& c : cases) {
        const Module1::NativeClass* cls = Module1::NSClassFromString(QString::fromLatin1(c.name));
        EXPECT_EQ(cls != nullptr, c.known) << c.name;
        if (cls)
            EXPECT_STREQ(cls->name, c.name);
    }
}

TEST(NativeClasses, ColourClassMakesHalfTransparentWhiteAndNoClassMakesNone)
{
    const QColor white = Module1::ColorWithCalibratedWhite(Module1::NSClassFromString(QStringLiteral("NSColor")), 1.0, 0.5);
    ASSERT_TRUE(white.isValid());
    EXPECT_EQ(white.red(), 255);
    EXPECT_EQ(white.green(), 255);
    EXPECT_EQ(white.blue(), 255);
    EXPECT_NEAR(white.alphaF(), 0.5, 0.01);
    EXPECT_FALSE(Module1::ColorWithCalibratedWhite(nullptr, 1.0, 0.5).isValid());
}

TEST(WindowTransparency, WithACompositorTheWindowIsHalfTransparentWhite)
{
    Window w;
    Module1::MakeWindowTransparent(w.Handle(), true);
    EXPECT_TRUE(w.QtWindow()->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(w.QtWindow()->autoFillBackground());
    EXPECT_EQ(Background(w).rgb(), qRgb(255, 255, 255));
    EXPECT_NEAR(Background(w).alphaF(), 0.5, 0.01);
}

TEST(WindowTransparency, WithoutACompositorTheWindowStaysOpaqueWhite)
{
    Window w;
    Module1::MakeWindowTransparent(w.Handle(), false);
    EXPECT_FALSE(w.QtWindow()->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(Background(w), QColor(255, 255, 255, 255));
}

TEST(WindowTransparency, OffscreenHasNoCompositor)
{
    EXPECT_FALSE(Module1::CompositorRunning());
    Window w;
    Module1::MakeWindowTransparent(w.Handle());
    EXPECT_FALSE(w.QtWindow()->testAttribute(Qt::WA_TranslucentBackground));
}

TEST(WindowTransparency, HandleThatIsNoWindowOfTheProgramIsLeftAlone)
{
    Window w;
    const QColor before = w.ContentWidget()->palette().color(QPalette::Window);
    Module1::MakeWindowTransparent(reinterpret_cast<quintptr>(w.ContentWidget()), true);
    Module1::MakeWindowTransparent(0, true);
    EXPECT_FALSE(w.ContentWidget()->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(w.ContentWidget()->palette().color(QPalette::Window), before);
    EXPECT_FALSE(w.QtWindow()->testAttribute(Qt::WA_TranslucentBackground));
}

class HexColumnInput : public ::testing::Test {
protected:
    void TearDown() override { MW::DestroyInstance(); }
    QWidget* HexColumn() { return MW::Instance().BinaryTa().Widget(); }
};

TEST_F(HexColumnInput, ModeZeroTurnsCompositionOffAndAnyOtherModeOnAgain)
{
    const struct {
        qint64 mode;
        bool composition;
    } steps[] = {{0, false}, {1, true}, {0, false}, {-1, true}, {0, false}, {0, false}, {7, true}};
    for (const auto& s : steps) {
        Module1::KeyScript(s.mode);
        EXPECT_EQ(MW::Instance().BinaryTa().InputMethodEnabled(), s.composition) << "mode " << s.mode;
        EXPECT_EQ(ImeEnabled(HexColumn()), s.composition) << "mode " << s.mode;
    }
}

TEST_F(HexColumnInput, ColumnOpensWithCompositionOff)
{
    EXPECT_FALSE(ImeEnabled(HexColumn()));
}

TEST_F(HexColumnInput, WithoutAWindowKeyScriptDoesNothing)
{
    MW::DestroyInstance();
    Module1::KeyScript(0);
    EXPECT_EQ(MW::Existing(), nullptr);
}

TEST(WindowToDock, MinimisesTheWindowAndChangesNothingElse)
{
    MW& w = MW::Instance();
    w.BinaryTa().SetText(QStringLiteral("90 3C 55 "));
    w.WindowToDock();
    EXPECT_TRUE(w.QtWindow()->isMinimized());
    EXPECT_EQ(w.BinaryTa().Text(), QStringLiteral("90 3C 55 "));
    MW::DestroyInstance();
}
