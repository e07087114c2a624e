// Window: building and opening, the control registry, size and title bar, file
// drops, closing and the implicit instance. The backdrop is seen through the
// transparent controls' tests.
#include "framework/bevelbutton.h"
#include "framework/dragitem.h"
#include "framework/exceptions.h"
#include "framework/label.h"
#include "framework/menubar.h"
#include "framework/pushbutton.h"
#include "framework/rectangle.h"
#include "framework/textarea.h"
#include "framework/window.h"
#include "helpers.h"

#include <QAbstractScrollArea>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class LogWindow : public Window {
public:
    explicit LogWindow(const QString& name = {}) : Window(name) {}
    QStringList log;
    FolderItemPtr dropped;
    int drops = 0;
    bool shownWhileBuilding = false;

    void B_Action(PushButton& sender) { log << QStringLiteral("Action ") + sender.Name(); }
    void Boom_Action(PushButton&) { throw NilObjectException(); }

protected:
    void Layout() override
    {
        log << QStringLiteral("Layout");
        SetTitle(QStringLiteral("Quorvanel"));
        SetVisible(true);
    }
    void CreateControls() override
    {
        log << QStringLiteral("CreateControls");
        shownWhileBuilding = shownWhileBuilding || QtWindow()->isVisible();
        auto& b = Add<PushButton>(QStringLiteral("B"));
        b.Open = [this](PushButton&) { log << QStringLiteral("B.Open"); };
        b.Action = Handler(&LogWindow::B_Action);
        auto& t = Add<TextArea>(QStringLiteral("T"));
        t.Open = [this](TextArea&) { log << QStringLiteral("T.Open"); };
        Add<PushButton>(QStringLiteral("Boom")).Action = Handler(&LogWindow::Boom_Action);
    }
    void Event_Open() override
    {
        log << QStringLiteral("Open");
        shownWhileBuilding = shownWhileBuilding || QtWindow()->isVisible();
    }
    void Event_Close() override { log << QStringLiteral("Close"); }
    void Event_DropObject(DragItem& item, qint64) override
    {
        ++drops;
        dropped = item.FolderItem();
    }
};

} // namespace

TEST(WindowRegistry, FindsArrayMemberByIndexNotByRegistrationOrder)
{
    Window w;
    for (qint64 i : {13, 0, 9, 1, 2, 3})
        w.Add<BevelButton>(QStringLiteral("BBV"), i);
    for (qint64 i : {1, 2, 0})
        w.Add<BevelButton>(QStringLiteral("BBR"), i);
    for (qint64 i : {13, 0, 9, 1}) {
        Control* m = w.ControlByNameIndex(QStringLiteral("BBV"), i);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->Index(), i);
        EXPECT_EQ(m->Name(), QStringLiteral("BBV"));
    }
    EXPECT_EQ(w.ControlByNameIndex(QStringLiteral("BBR"), 0)->Index(), 0);
    EXPECT_NE(w.ControlByNameIndex(QStringLiteral("BBR"), 1), w.ControlByNameIndex(QStringLiteral("BBV"), 1));
    EXPECT_EQ(w.ControlByNameIndex(QStringLiteral("BBV"), 7), nullptr);
    EXPECT_EQ(w.ControlByNameIndex(QStringLiteral("Nope"), 0), nullptr);
}

TEST(WindowRegistry, ByNameGivesTheSameControlEveryTimeAndCreatesNothing)
{
    Window w;
    auto& label = w.Add<Label>(QStringLiteral("Label1"));
    EXPECT_EQ(w.ControlByName(QStringLiteral("Label1")), &label);
    EXPECT_EQ(w.ControlByName(QStringLiteral("Label1")), &label);
    EXPECT_EQ(w.ControlCount(), 1);
    EXPECT_EQ(w.ControlByName(QStringLiteral("Missing")), nullptr);
}

TEST(WindowRegistry, ClassCheckAcceptsDerivedClassesAndRejectsOthers)
{
    struct MyButton : BevelButton {};
    Window w;
    Control& c = w.AddControl(std::make_unique<MyButton>());
    EXPECT_EQ(CheckCast<BevelButton>(&c), &c);
    EXPECT_EQ(CheckCast<Label>(&c), nullptr);
    EXPECT_EQ(CheckCast<Label>(nullptr), nullptr);
}

TEST(WindowLifecycle, ConstructorBuildsThenOpensControlsInCreationOrderThenShowsTheWindow)
{
    LogWindow w;
    w.Constructor();
    EXPECT_EQ(w.log, (QStringList{"Layout", "CreateControls", "B.Open", "T.Open", "Open"}));
    EXPECT_EQ(w.Title(), QStringLiteral("Quorvanel"));
    EXPECT_FALSE(w.shownWhileBuilding);
    EXPECT_TRUE(w.QtWindow()->isVisible());
}

TEST(WindowLifecycle, HandleGivesTheTopLevelWidgetBack)
{
    Window w;
    EXPECT_EQ(Window::WidgetFromHandle(w.Handle()), w.QtWindow());
    EXPECT_FALSE(w.QtWindow()->testAttribute(Qt::WA_WState_Created));
}

// A handler bound in one line receives its sender; one that raises is reported
// and the window goes on.
TEST(WindowLifecycle, HandlersReceiveTheSenderAndARaisingOneIsReported)
{
    ReportCollector c;
    LogWindow w;
    w.Constructor();
    CheckCast<PushButton>(w.ControlByName(QStringLiteral("Boom")))->Push();
    EXPECT_EQ(c.reports.size(), 1);
    CheckCast<PushButton>(w.ControlByName(QStringLiteral("B")))->Push();
    EXPECT_EQ(w.log.last(), QStringLiteral("Action B"));
    EXPECT_EQ(c.reports.size(), 1);
}

TEST(WindowLifecycle, ImplicitInstanceIsForgottenWhenTheWindowClosesOrIsDestroyed)
{
    LogWindow w(QStringLiteral("Test.Implicit"));
    EXPECT_EQ(Window::GetImplicitWindow(QStringLiteral("Test.Implicit")), &w);
    w.SetVisible(true);
    w.Close();
    EXPECT_EQ(w.log.last(), QStringLiteral("Close"));
    EXPECT_EQ(Window::GetImplicitWindow(QStringLiteral("Test.Implicit")), nullptr);
    {
        Window gone(QStringLiteral("Test.Gone"));
        EXPECT_EQ(Window::GetImplicitWindow(QStringLiteral("Test.Gone")), &gone);
    }
    EXPECT_EQ(Window::GetImplicitWindow(QStringLiteral("Test.Gone")), nullptr);
}

TEST(WindowFrame, ContentStays800By600WithTheMenuBarAbove)
{
    MenuBar bar;
    auto file = std::make_unique<MenuItem>();
    file->SetName(QStringLiteral("FileMenu"));
    file->SetValue(QStringLiteral("&File"));
    bar.AddMenu(std::move(file));
    Window w;
    w.SetMenuBar(&bar);
    w.SetVisible(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.QtWindow()));
    EXPECT_EQ(w.ContentWidget()->size(), QSize(800, 600));
    EXPECT_EQ(w.MenuBar(), &bar);
    QMenuBar* qbar = w.QtWindow()->menuBar();
    ASSERT_EQ(qbar->actions().size(), 1);
    EXPECT_EQ(qbar->actions()[0]->text(), QStringLiteral("&File"));
    EXPECT_GE(w.ContentWidget()->geometry().top(), qbar->geometry().bottom());
}

TEST(WindowFrame, FixedSizeWithCloseAndMinimiseButtonsOnly)
{
    Window w;
    QMainWindow* q = w.QtWindow();
    EXPECT_EQ(q->minimumSize(), q->maximumSize());
    const Qt::WindowFlags f = q->windowFlags();
    EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(f & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(f & Qt::WindowTitleHint);
}

TEST(WindowControls, ControlInRectangleIsItsChildPlacedInWindowCoordinates)
{
    Window w;
    auto& frame = w.Add<Rectangle>(QStringLiteral("Rectangle1"));
    frame.SetBounds(96, 415, 458, 165);
    auto& b = w.Add<BevelButton>(QStringLiteral("BBV"), 13);
    b.SetParentControl(&frame);
    b.SetBounds(347, 509, 14, 16);
    EXPECT_EQ(b.Widget()->parentWidget(), frame.Widget());
    EXPECT_EQ(b.Widget()->mapTo(w.ContentWidget(), QPoint(0, 0)), QPoint(347, 509));
    EXPECT_EQ(b.Left(), 347);
}

TEST(WindowDrops, DroppedFileButNoTextReachesDropObjectOnceAcceptFileDropWasCalled)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    LogWindow w;
    EXPECT_FALSE(DropOn(w.QtWindow(), FileMime(file.fileName())));
    EXPECT_EQ(w.drops, 0);
    w.AcceptFileDrop(QString());
    EXPECT_TRUE(DropOn(w.QtWindow(), FileMime(file.fileName())));
    ASSERT_EQ(w.drops, 1);
    ASSERT_NE(w.dropped, nullptr);
    EXPECT_EQ(w.dropped->NativePath(), file.fileName());
    EXPECT_FALSE(DropOn(w.QtWindow(), TextMime(QStringLiteral("hello")))) << "text is no file drop";
    EXPECT_EQ(w.drops, 1);
}

TEST(WindowDrops, FileDroppedOnAReadOnlyAreaWithoutDropHandlerReachesTheWindow)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    LogWindow w;
    w.AcceptFileDrop(QString());
    auto& area = w.Add<TextArea>(QStringLiteral("HedderTa"));
    area.SetReadOnly(true);
    w.SetVisible(true);
    auto* viewport = static_cast<QAbstractScrollArea*>(area.Widget())->viewport();
    EXPECT_TRUE(DropOn(viewport, FileMime(file.fileName())));
    EXPECT_EQ(w.drops, 1);
    EXPECT_EQ(area.Text(), QString());
}
