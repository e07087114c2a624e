// The application object and the run of the process: the late step, Quit and
// the exit status. The program's version data is checked on its own application.
#include "framework/application.h"
#include "framework/exceptions.h"
#include "framework/menubar.h"
#include "framework/runtime.h"
#include "helpers.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

class TestApp : public Application {
public:
    FolderItemPtr document;
    bool raise = false;

protected:
    void Event_OpenDocument(FolderItemPtr item) override
    {
        if (raise)
            throw NilObjectException();
        document = std::move(item);
    }
};

} // namespace

TEST(ApplicationObject, RegisteredObjectIsTheInstanceUntilItGoes)
{
    {
        TestApp app;
        app.Register();
        EXPECT_EQ(Application::Instance(), &app);
        MenuBar bar;
        app.SetMenuBar(&bar);
        EXPECT_EQ(app.MenuBar(), &bar);
    }
    EXPECT_EQ(Application::Instance(), nullptr);
}

TEST(ApplicationObject, HandedOverDocumentReachesOpenDocumentAndFailuresAreReported)
{
    ReportCollector c;
    TestApp app;
    app.OpenDocument(std::make_shared<FolderItem>(QStringLiteral("/tmp/x.bin")));
    ASSERT_NE(app.document, nullptr);
    EXPECT_EQ(app.document->NativePath(), QStringLiteral("/tmp/x.bin"));
    app.raise = true;
    app.OpenDocument(nullptr);
    EXPECT_EQ(c.reports.size(), 1);
}

// Quit ends the process's one event loop for good, so these run in a child.
TEST(RuntimeRunDeathTest, LateStepRunsOnceInTheLoopAndQuitCodeBecomesTheExitStatus)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            int runs = 0;
            RunFrameworkInitialization([&] {
                ++runs;
                QTimer::singleShot(0, [&] { Quit(runs == 1 ? 3 : 9); });
            });
            const int code = RuntimeRun();
            std::exit(code == RuntimeExit() ? code : 99);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST(RuntimeRunDeathTest, SecondQuitWhileQuittingChangesNothing)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            RunFrameworkInitialization([] {
                Quit(0);
                Quit(5);
            });
            std::exit(RuntimeRun());
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(RuntimeRunDeathTest, ExceptionInTheLateStepIsReportedAndTheLoopGoesOn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SetUnhandledExceptionReporter([](const QString& r) { std::fprintf(stderr, "REPORT %s\n", qPrintable(r)); });
            RunFrameworkInitialization([] {
                QTimer::singleShot(0, [] { Quit(4); });
                throw NilObjectException();
            });
            std::exit(RuntimeRun());
        },
        ::testing::ExitedWithCode(4), "REPORT NilObjectException");
}
