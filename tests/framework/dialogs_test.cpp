// The dialog seam: scripted answers and cancels, the Qt name filters.
#include "framework/dialogs.h"
#include "framework/filetype.h"

#include <gtest/gtest.h>

namespace {

struct Scripted {
    std::shared_ptr<ScriptedFileDialogs> dialogs = std::make_shared<ScriptedFileDialogs>();
    std::shared_ptr<FileDialogs> previous = SetFileDialogs(dialogs);
    ~Scripted() { SetFileDialogs(previous); }
};

} // namespace

TEST(DialogSeam, ScriptedDialogsAnswerInOrderAndCancelGivesNothing)
{
    Scripted s;
    s.dialogs->Answer(QStringLiteral("/tmp/in.bin"));
    s.dialogs->Cancel();
    s.dialogs->Answer(QStringLiteral("/tmp/Test.mid"));
    FolderItemPtr opened = GetOpenFolderItem(QStringLiteral("accept/all"));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->NativePath(), QStringLiteral("/tmp/in.bin"));
    EXPECT_EQ(GetSaveFolderItem(QString(), QStringLiteral("Sample.mid")), nullptr);
    FolderItemPtr saved = GetSaveFolderItem(QString(), QStringLiteral("Test.mid"));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->Name(), QStringLiteral("Test.mid"));
    EXPECT_EQ(GetOpenFolderItem(QString()), nullptr);  // the script is used up
    ASSERT_EQ(s.dialogs->Requests().size(), 4u);
    EXPECT_FALSE(s.dialogs->Requests()[0].save);
    EXPECT_EQ(s.dialogs->Requests()[0].filter, QStringLiteral("accept/all"));
    EXPECT_TRUE(s.dialogs->Requests()[2].save);
    EXPECT_EQ(s.dialogs->Requests()[2].defaultName, QStringLiteral("Test.mid"));
}

TEST(DialogFilters, AcceptAllEmptyAndUnknownFiltersOfferEveryFile)
{
    EXPECT_EQ(QtFileDialogs::NameFilter(QStringLiteral("accept/all")), QStringLiteral("All files (*)"));
    EXPECT_EQ(QtFileDialogs::NameFilter(QString()), QStringLiteral("All files (*)"));
}

TEST(DialogFilters, RegisteredTypeOffersItsExtensionsBesideEveryFile)
{
    FileTypeRegistry::Instance().Clear();
    FileTypeRegistry::Instance().Register({"text/plain", "", "TEXT", ".txt", "public.text"});
    EXPECT_EQ(QtFileDialogs::NameFilter(QStringLiteral("text/plain")),
              QStringLiteral("text/plain (*.txt);;All files (*)"));
    FileTypeRegistry::Instance().Clear();
}
