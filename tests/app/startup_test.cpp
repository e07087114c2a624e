// Start-up and the application object: the application object's data, the one
// main window whoever asks first, documents handed over at launch and by a second
// launch, and how a failing step ends start-up.
#include "app/app.h"
#include "app/startup.h"
#include "framework/exceptions.h"
#include "framework/runtime.h"
#include "reports.h"
#include "window/mw.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>

namespace {

int MainWindowsOnScreen()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) && w->isVisible())
            ++n;
    return n;
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Reports().clear();
        MW::DestroyInstance();
        NewAppInstance();
    }
    void TearDown() override { MW::DestroyInstance(); }

    QString File(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    static QString Shown() { return MW::Existing() ? MW::Existing()->FutterTa().Text() : QString(); }
    // The character column of a file holding only letters: each letter and a blank.
    static QString Column(const char* letters)
    {
        QString s;
        for (const char* p = letters; *p; ++p)
            s += QLatin1String(p, 1) + QLatin1Char(' ');
        return s;
    }

    QTemporaryDir dir;
};

// Runs a whole start-up in a process of its own; the child ends with status 0
// when check() gives no complaint.
#define EXPECT_IN_FRESH_PROCESS(check)                                                             \
    EXPECT_EXIT(                                                                                   \
        {                                                                                          \
            const std::string complaint = (check)();                                               \
            std::fprintf(stderr, "%s\n", complaint.c_str());                                      \
            std::fflush(stderr);                                                                   \
            std::_Exit(complaint.empty() ? 0 : 1);                                                 \
        },                                                                                         \
        ::testing::ExitedWithCode(0), "")

} // namespace

TEST_F(Shell, ApplicationObjectCarriesVersionOneAndEmptyTexts)
{
    App* app = TheApp();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(Application::Instance(), app);
    EXPECT_EQ(app->MajorVersion(), 1);
    EXPECT_EQ(app->MinorVersion(), 0);
    EXPECT_EQ(app->BugVersion(), 0);
    EXPECT_EQ(app->NonReleaseVersion(), 0);
    EXPECT_EQ(app->StageCode(), 0);
    EXPECT_EQ(app->LongVersion(), QString());
    EXPECT_EQ(app->ShortVersion(), QString());
    EXPECT_EQ(app->PackageInfo(), QString());
}

TEST_F(Shell, OpenDocumentWithoutItemChangesNothingAndMakesNoWindow)
{
    TheApp()->OpenDocument(nullptr);
    EXPECT_EQ(MW::Existing(), nullptr);
    EXPECT_TRUE(Reports().isEmpty());
}

TEST_F(Shell, HandedOverDocumentsShowTheLastAndBringTheWindowBack)
{
    MakeDefaultView();
    QMainWindow* window = MW::Instance().QtWindow();
    MW::Instance().WindowToDock();
    ASSERT_TRUE(window->isMinimized());
    OpenHandedOverDocuments({File(QStringLiteral("a.bin"), "FIRST"), File(QStringLiteral("b.bin"), "LAST")});
    EXPECT_EQ(Shown(), Column("LAST"));
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(MainWindowsOnScreen(), 1);
}

TEST(LaunchDocuments, EveryArgumentIsAPathMadeAbsoluteInOrder)
{
    QByteArray program("quorvanel"), relative("sub/../b.bin"), absolute("/tmp/a.mid"), empty(""),
        dashed("-platform");
    char* argv[] = {program.data(), relative.data(), absolute.data(), empty.data(), dashed.data(), nullptr};
    const QStringList paths = LaunchDocuments(5, argv);
    const QDir here = QDir::current();
    EXPECT_EQ(paths, (QStringList{here.filePath(QStringLiteral("b.bin")), QStringLiteral("/tmp/a.mid"),
                                  here.filePath(QStringLiteral("-platform"))}));
}

TEST(StartUp, LaunchDocumentsArriveBeforeTheLateStepWhichFindsTheirWindow)
{
    EXPECT_IN_FRESH_PROCESS([]() -> std::string {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("doc.bin")));
        if (!f.open(QIODevice::WriteOnly) || f.write("XYZ") != 3)
            return "cannot write the document";
        f.close();
        MW* windowAtLateStep = nullptr;
        const bool started = Main({f.fileName()}, {EarlyStartup, [&] {
                                                       windowAtLateStep = MW::Existing();
                                                       LateStartup();
                                                       QTimer::singleShot(0, [] { Quit(0); });
                                                   }});
        if (!started)
            return "start-up reported a failure";
        if (!windowAtLateStep)
            return "the document had not made the window before the late step";
        if (MW::Existing() != windowAtLateStep || MainWindowsOnScreen() != 1)
            return "the late step made a second window";
        if (windowAtLateStep->FutterTa().Text() != QStringLiteral("X Y Z "))
            return "the document is not shown";
        if (TheApp()->MenuBar() != windowAtLateStep->MenuBar())
            return "the application and the window show different menu bars";
        if (RuntimeExit() != 0)
            return "exit status is not 0";
        return {};
    });
}

TEST(StartUp, FailingEarlyStepIsReportedAndNothingAfterItRuns)
{
    EXPECT_IN_FRESH_PROCESS([]() -> std::string {
        Reports().clear();
        bool lateRan = false;
        const bool started = Main({}, {[] { throw NilObjectException(QStringLiteral("early")); },
                                       [&] { lateRan = true; }});
        QCoreApplication::processEvents();
        if (started)
            return "start-up claimed success";
        if (Reports().size() != 1 || !Reports()[0].contains(QStringLiteral("NilObjectException")))
            return "the report did not receive the exception";
        if (lateRan || MW::Existing())
            return "a step after the failure ran";
        return {};
    });
}

TEST(StartUp, FailingLateStepIsReportedAndEndsTheEventLoop)
{
    EXPECT_IN_FRESH_PROCESS([]() -> std::string {
        Reports().clear();
        const bool started = Main({}, {EarlyStartup, [] { throw IOException(QStringLiteral("late")); }});
        if (started)
            return "start-up claimed success";
        if (Reports().size() != 1 || !Reports()[0].contains(QStringLiteral("IOException")))
            return "the report did not receive the exception";
        if (RuntimeExit() == 0)
            return "the failure ends with status 0";
        return {};
    });
}

TEST(StartUp, FileQuitEndsTheEventLoopWithStatusZero)
{
    EXPECT_IN_FRESH_PROCESS([]() -> std::string {
        const bool started = Main({}, {EarlyStartup, [] {
                                           LateStartup();
                                           QTimer::singleShot(0, [] { MW::Instance().FileQuit().Choose(); });
                                       }});
        if (!started)
            return "start-up reported a failure";
        if (RuntimeExit() != 0)
            return "exit status is not 0";
        return {};
    });
}
