// Window: building and opening, a raising handler, and file drops.
#include "framework/controls/pushbutton.h"
#include "framework/controls/textarea.h"
#include "framework/controls/window.h"
#include "framework/files/dragitem.h"
#include "framework/runtime/dispatch.h"
#include "framework/runtime/exceptions.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDropEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QTemporaryFile>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// Collects reports while it lives, then puts the previous reporter back.
struct ReportCollector {
    QStringList reports;
    UnhandledExceptionReporter previous =
        SetUnhandledExceptionReporter([this](const QString& r) { reports.append(r); });
    ~ReportCollector() { SetUnhandledExceptionReporter(std::move(previous)); }
};

// Drags a file onto the widget and drops it there; true when the drop was taken.
bool DropOn(QWidget* target, const QString& file)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

class LogWindow : public Window {
public:
    QStringList log;
    int drops = 0;
    bool shownWhileBuilding = false;

    void B_Action(PushButton& sender) { log << QStringLiteral("Action ") + sender.Name(); }
    void Boom_Action(PushButton&) { throw NilObjectException(); }

protected:
    void Layout() override
    {
        log << QStringLiteral("Layout");
        SetVisible(true);
    }
    void CreateControls() override
    {
        log << QStringLiteral("CreateControls");
        shownWhileBuilding = shownWhileBuilding || QtWindow()->isVisible();
        auto& b = Add<PushButton>(QStringLiteral("B"));
        b.Open = [this](PushButton&) { log << QStringLiteral("B.Open"); };
        b.Action = Handler(&LogWindow::B_Action);
        Add<TextArea>(QStringLiteral("T")).Open = [this](TextArea&) { log << QStringLiteral("T.Open"); };
        Add<PushButton>(QStringLiteral("Boom")).Action = Handler(&LogWindow::Boom_Action);
    }
    void Event_Open() override
    {
        log << QStringLiteral("Open");
        shownWhileBuilding = shownWhileBuilding || QtWindow()->isVisible();
    }
    void Event_DropObject(DragItem&, qint64) override { ++drops; }
};

} // namespace

// A handler bound in one line receives its sender; one that raises is reported
// and the window goes on.
TEST(WindowLifecycle, ConstructorBuildsOpensInCreationOrderThenShowsAndHandlersGetTheirSender)
{
    ReportCollector c;
    LogWindow w;
    w.Constructor();
    EXPECT_EQ(w.log, (QStringList{"Layout", "CreateControls", "B.Open", "T.Open", "Open"}));
    EXPECT_FALSE(w.shownWhileBuilding);
    EXPECT_TRUE(w.QtWindow()->isVisible());
    CheckCast<PushButton>(w.ControlByName(QStringLiteral("Boom")))->Push();
    EXPECT_EQ(c.reports.size(), 1);
    CheckCast<PushButton>(w.ControlByName(QStringLiteral("B")))->Push();
    EXPECT_EQ(w.log.last(), QStringLiteral("Action B"));
    EXPECT_EQ(c.reports.size(), 1);
}

// Only once AcceptFileDrop was called, and also when the file lands on a
// read-only area that has no drop handler of its own; what a drop opens, and that
// text is no file drop, are the real window's file tests.
TEST(WindowDrops, DroppedFileReachesDropObjectOnlyOnceAcceptedAlsoThroughAReadOnlyArea)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    LogWindow w;
    EXPECT_FALSE(DropOn(w.QtWindow(), file.fileName()));
    EXPECT_EQ(w.drops, 0);
    w.AcceptFileDrop(QString());
    EXPECT_TRUE(DropOn(w.QtWindow(), file.fileName()));
    EXPECT_EQ(w.drops, 1);

    auto& area = w.Add<TextArea>(QStringLiteral("HedderTa"));
    area.SetReadOnly(true);
    w.SetVisible(true);
    EXPECT_TRUE(DropOn(static_cast<QAbstractScrollArea*>(area.Widget())->viewport(), file.fileName()));
    EXPECT_EQ(w.drops, 2);
    EXPECT_EQ(area.Text(), QString());
}

// A file dropped on an area with a drop handler of its own reaches that handler,
// with the area as sender and the file as item, and not the window's; text dropped
// there is refused and changes nothing.
TEST(WindowDrops, AFileDroppedOnAnAreaWithItsOwnHandlerReachesThatHandlerAlone)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    LogWindow w;
    w.AcceptFileDrop(QString());
    auto& area = w.Add<TextArea>(QStringLiteral("BinaryTa"));
    QStringList got;
    area.DropObject = [&](TextArea& sender, DragItem& item, qint64) {
        got << sender.Name() + ": " + (item.FolderItemAvailable() ? item.FolderItem()->NativePath() : QString());
    };
    area.SetText(QStringLiteral("41 42"));
    w.SetVisible(true);
    QWidget* viewport = static_cast<QAbstractScrollArea*>(area.Widget())->viewport();
    EXPECT_TRUE(DropOn(viewport, file.fileName()));
    EXPECT_EQ(got, QStringList("BinaryTa: " + file.fileName()));
    EXPECT_EQ(w.drops, 0);

    QMimeData text;
    text.setText(QStringLiteral("22 33"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_EQ(got.size(), 1);
    EXPECT_EQ(area.Text(), QStringLiteral("41 42"));
}
