// Start-up: documents handed over by a second launch, and how a failing step ends
// start-up.
#include "app/app.h"
#include "app/startup.h"
#include "framework/runtime/exceptions.h"
#include "framework/runtime/runtime.h"
#include "window/mw.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>

QStringList& Reports();

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override
    {
        Reports().clear();
        MW::DestroyInstance();
        NewAppInstance();
    }
    void TearDown() override { MW::DestroyInstance(); }
};

} // namespace

TEST_F(Shell, HandedOverDocumentsShowTheLastAndBringTheWindowBack)
{
    TheApp()->OpenDocument(nullptr);
    EXPECT_EQ(MW::Existing(), nullptr) << "an open without an item made a window";
    EXPECT_TRUE(Reports().isEmpty());

    QTemporaryDir dir;
    DocumentPaths paths;
    for (const char* bytes : {"FIRST", "LAST"}) {
        QFile f(dir.filePath(QString::fromLatin1(bytes)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        paths << QFile::encodeName(f.fileName());
    }
    MakeDefaultView();
    QMainWindow* window = MW::Instance().QtWindow();
    MW::Instance().WindowToDock();
    ASSERT_TRUE(window->isMinimized());
    OpenHandedOverDocuments(paths);
    EXPECT_EQ(MW::Instance().FutterTa().Text(), QStringLiteral("L A S T "));
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
    const auto tops = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(tops.begin(), tops.end(), [](QWidget* w) { return qobject_cast<QMainWindow*>(w) && w->isVisible(); }), 1);
}

TEST_F(Shell, FailingEarlyStepIsReportedAndNothingAfterItRuns)
{
    bool lateRan = false;
    const bool started = Main({}, {[] { throw NilObjectException(QStringLiteral("early")); }, [&] { lateRan = true; }});
    QCoreApplication::processEvents();
    EXPECT_FALSE(started);
    ASSERT_EQ(Reports().size(), 1);
    EXPECT_TRUE(Reports()[0].contains(QStringLiteral("NilObjectException")));
    EXPECT_FALSE(lateRan);
    EXPECT_EQ(MW::Existing(), nullptr);
}

// Runs in a process of its own, as its quit is for good; the child ends with
// status 0 when it has no complaint.
TEST(StartUp, FailingLateStepIsReportedAndEndsTheEventLoopWithAFailure)
{
    EXPECT_EXIT(
        {
            Reports().clear();
            const bool started = Main({}, {EarlyStartup, [] { throw IOException(QStringLiteral("late")); }});
            const char* complaint = started ? "start-up claimed success"
                : Reports().size() != 1 || !Reports()[0].contains(QStringLiteral("IOException"))
                ? "the report did not receive the exception"
                : RuntimeExit() == 0 ? "the failure ends with status 0"
                                     : "";
            std::fprintf(stderr, "%s\n", complaint);
            std::_Exit(*complaint ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}
