// Start-up: what the early step registers and makes, documents handed over by a
// second launch, and how a failing step ends start-up.
#include "app/app.h"
#include "app/filetypes1.h"
#include "app/startup.h"
#include "helpers.h"
#include "framework/files/filetype.h"
#include "framework/runtime/exceptions.h"
#include "framework/runtime/runtime.h"
#include "window/mainmenubar.h"
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

// Runs the early step once in this process: the set appends to its list.
TEST(EarlyStep, RegistersTheEightFileTypesInOrderAndMakesTheApplicationVersionOneWithTheSharedBar)
{
    const struct {
        FileTypes1::Type (FileTypes1::*accessor)() const;
        const char *name, *extensions, *macType, *conformsTo, *uti;
    } rows[] = {
        {&FileTypes1::Rtf, "application/rtf", ".rtf", "Rtf", "public. rtf", "RTF"},
        {&FileTypes1::RTFD, "application/rtfd", ".rtfd", "Rtfd", "public.rtfd", "RTFD"},
        {&FileTypes1::TEXT, "text/plain", ".txt", "TEXT", "public.data, public.content", "public.text"},
        {&FileTypes1::PDF, "application/pdf", ".pdf", "PDF", "public.data, public.composite-content", "com.adobe.pdf"},
        {&FileTypes1::HTML, "text/html", ".html", "TEXT", "public.data, public.content", "public.html"},
        {&FileTypes1::XML, "text/xml", ".xml", "Xml", "public.data, public.content", "public.html"},
        {&FileTypes1::JSON, "text/json", ".json", "Json", "", "public.Json"},
        {&FileTypes1::Any, "Any", ".any", "????", "", ""},
    };
    FileTypeRegistry::Instance().Clear();
    EarlyStartup();
    const FileTypes1& set = FileTypes1::Module();
    const auto& registered = FileTypeRegistry::Instance().Entries();
    ASSERT_EQ(registered.size(), std::size(rows));
    ASSERT_EQ(set.AllFileTypes().size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& r = rows[i];
        SCOPED_TRACE(r.name);
        EXPECT_EQ(registered[i], (FileTypeRegistry::Entry{r.name, "", r.macType, r.extensions, r.uti}));
        const FileTypes1::Type type = (set.*r.accessor)();
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(set.AllFileTypes()[i], type);
        EXPECT_EQ(type->MimeType(), "");
        EXPECT_TRUE(type->Imported());
        EXPECT_EQ(type->ConformsTo(), r.conformsTo);
    }

    App* app = TheApp();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(Application::Instance(), app);
    EXPECT_EQ(QList<qint64>({app->MajorVersion(), app->MinorVersion(), app->BugVersion(), app->NonReleaseVersion(),
                             app->StageCode()}),
              QList<qint64>({1, 0, 0, 0, 0}));
    EXPECT_EQ(app->LongVersion() + app->ShortVersion() + app->PackageInfo(), "");
    EXPECT_EQ(app->MenuBar(), &MainMenuBar::Instance());
    EXPECT_TRUE(Application::SupportsHiDPI());
    EXPECT_EQ(MW::Existing(), nullptr) << "the window is the late step's";
}

TEST_F(Shell, HandedOverDocumentsShowTheLastAndBringTheWindowBack)
{
    TheApp()->OpenDocument(nullptr);
    EXPECT_EQ(MW::Existing(), nullptr) << "an open without an item made a window";
    EXPECT_TRUE(Reports().isEmpty());

    QTemporaryDir dir;
    DocumentPaths paths;
    for (const char* bytes : {"FIRST", "LAST"}) {
        paths << QFile::encodeName(dir.path()) + '/' + bytes;
        WriteFile(paths.last(), bytes);
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
