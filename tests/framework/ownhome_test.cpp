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

constexpr const char* kNames[] = {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"};

// The five, set to values (null: unset), after UseOwnHome(uid): a line each, "-" when unset.
QByteArray After(uid_t uid, const std::array<QByteArray, 5>& values)
{
    return InChild([&]() -> std::optional<QByteArray> {
               for (int i = 0; i < 5; ++i)
                   values[i].isNull() ? ::unsetenv(kNames[i]) : ::setenv(kNames[i], values[i].constData(), 1);
               UseOwnHome(uid);
               QByteArray out;
               for (const char* name : kNames)
                   out += QByteArray(std::getenv(name) ? std::getenv(name) : "-") + '\n';
               return out;
           })
        .value_or("<the child failed>");
}

QByteArray HomeOf(uid_t uid)
{
    const passwd* user = ::getpwuid(uid);
    return user ? user->pw_dir : "-";
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
    // Kept where its own, or yet to be made within its own; relative or a file are no folders of its.
    EXPECT_EQ(After(me, {mine + "/home", mine + "/home/not/yet", "cache", mine + "/file", mine}),
              mine + "/home\n" + mine + "/home/not/yet\n-\n-\n" + mine + "\n");
    EXPECT_EQ(After(other, {mine + "/home", mine + "/home/config", "/", mine + "/new", {}}), HomeOf(other) + "\n-\n-\n-\n-\n");
}

TEST(OwnHome, AFolderOfTheUsersOwnWithinAnotherUsersIsNotItsOwn)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make a folder of its own within another user's";
    QTemporaryDir dir;
    const QByteArray theirs = QFile::encodeName(dir.filePath("theirs"));
    ASSERT_EQ(::mkdir(theirs, 0755), 0);
    ASSERT_EQ(::mkdir(theirs + "/mine", 0700), 0);
    ASSERT_EQ(::chown(theirs, 65534, 65534), 0);
    EXPECT_EQ(After(0, {theirs + "/mine", {}, theirs + "/mine", {}, theirs}), HomeOf(0) + "\n-\n-\n-\n-\n");
}
