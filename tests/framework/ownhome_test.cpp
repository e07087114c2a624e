// The program's folders when it runs in another user's environment: a HOME or
// XDG folder that is not the running user's gives way to that user's own.
#include "framework/runtime/ownhome.h"

#include "../common/inchild.h"

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>

namespace {

// HOME and the four XDG folders, set to values (null: unset), after UseOwnHome(uid):
// a line each, "-" where unset; HOME given as "~" where it is uid's from the database.
QByteArray After(uid_t uid, const std::array<QByteArray, 5>& values)
{
    static const char* const names[] = {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"};
    return InChild([&]() -> std::optional<QByteArray> {
               for (int i = 0; i < 5; ++i)
                   values[i].isNull() ? ::unsetenv(names[i]) : ::setenv(names[i], values[i].constData(), 1);
               UseOwnHome(uid);
               const passwd* user = ::getpwuid(uid);
               QByteArray out = qEnvironmentVariable("HOME", "-").toLocal8Bit();
               out = user && out == user->pw_dir ? "~" : out;
               for (int i = 1; i < 5; ++i)
                   out += ' ' + qgetenv(names[i]).append(qEnvironmentVariableIsSet(names[i]) ? "" : "-");
               return out;
           })
        .value_or("<the child failed>");
}

}  // namespace

TEST(OwnHome, AHomeOrXdgFolderThatIsNotTheRunningUsersGivesWayToItsOwn)
{
    QTemporaryDir dir;
    const QByteArray mine = QFile::encodeName(dir.path());
    ASSERT_EQ(::mkdir(mine + "/home", 0700), 0);
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const uid_t me = ::geteuid(), other = me == 65534 ? 65533 : 65534;
    // Its own, or yet to be made within its own, is kept; relative, or a file, is nobody's folder.
    EXPECT_EQ(After(me, {mine + "/home", mine + "/home/not/yet", "cache", mine + "/file", mine}),
              mine + "/home " + mine + "/home/not/yet - - " + mine);
    const passwd* user = ::getpwuid(other);
    EXPECT_EQ(After(other, {mine + "/home", mine + "/home/config", "/", mine + "/new", {}}),
              QByteArray(user ? "~" : "-") + " - - - -");
}

TEST(OwnHome, AFolderOfTheUsersOwnWithinAnotherUsersIsNotItsOwn)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make a folder of its own within another user's";
    QTemporaryDir dir;
    const QByteArray theirs = QFile::encodeName(dir.filePath("theirs"));
    ASSERT_TRUE(::mkdir(theirs, 0755) == 0 && ::mkdir(theirs + "/mine", 0700) == 0 && ::chown(theirs, 65534, 65534) == 0);
    EXPECT_EQ(After(0, {theirs + "/mine", {}, theirs + "/mine", {}, theirs}), "~ - - - -");
}
