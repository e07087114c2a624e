// Saves written in place (a file with a second name): the copy of the earlier
// bytes in the user's cache folder, its place, mode and removal, and the earlier
// bytes put back from it when a write fails.
#include "framework/files/binarystream.h"
#include "framework/files/folderitem.h"
#include "framework/runtime/exceptions.h"

#include "../common/inchild.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <thread>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray Random(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct stat Stat(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st), st;
}

// An environment variable set (or, with no value, unset) for the scope.
struct Environment {
    Environment(const char* name, const QByteArray& value) : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~Environment() { had ? qputenv(name, old) : qunsetenv(name); }
    const char* name;
    bool had;
    QByteArray old;
};

// A file size limit (set now, or later by Set) for the scope, SIGXFSZ ignored as
// the program does.
struct FileSizeLimit {
    FileSizeLimit() : previous(std::signal(SIGXFSZ, SIG_IGN)) { getrlimit(RLIMIT_FSIZE, &old); }
    void Set(rlim_t bytes)
    {
        const rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old), std::signal(SIGXFSZ, previous); }
    void (*previous)(int);
    rlimit old{};
};

// A file of earlier bytes with a second name, so that a save rewrites it in place;
// the cache folder in the test's folder.
class InPlaceSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        earlier = Random(300000);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(earlier) == earlier.size());
        f.close();
        ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(dir.filePath("other name.mid")).constData()), 0);
    }
    // What the cache folder holds.
    QStringList Copies() const { return QDir(copies).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    QTemporaryDir dir;
    const QString file = dir.filePath("song.mid");
    Environment cacheHome{"XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache"))};
    const QString copies = dir.filePath("cache/quorvanel");
    QByteArray earlier;
};

}  // namespace

// The copy exists from the first byte written until the new bytes are on disk:
// in the program's folder of the cache home ($XDG_CACHE_HOME, else ~/.cache),
// made for the user alone, named after the file, the user's alone.
TEST_F(InPlaceSave, TheEarlierBytesAreCopiedToAPrivateFileInTheCacheFolderUntilTheSaveEnds)
{
    const QByteArray newer = Random(200000);
    ASSERT_TRUE(QDir().mkpath(dir.filePath("home")));
    for (const bool homeCache : {false, true}) {
        SCOPED_TRACE(homeCache ? "~/.cache" : "$XDG_CACHE_HOME");
        Environment home("HOME", QFile::encodeName(dir.filePath("home")));
        Environment relative("XDG_CACHE_HOME", homeCache ? QByteArray("relative/cache") : qgetenv("XDG_CACHE_HOME"));
        const QString folder = homeCache ? dir.filePath("home/.cache/quorvanel") : copies;
        const QByteArray before = ReadFile(file);
        FolderItem item(file);
        auto s = item.CreateBinaryFile(QString());
        ASSERT_NE(s, nullptr);
        s->Write(newer.left(100000));
        const QStringList kept = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        ASSERT_EQ(kept.size(), 1) << kept.join(", ").toStdString();
        EXPECT_TRUE(kept[0].startsWith("song.mid")) << kept[0].toStdString();
        EXPECT_TRUE(ReadFile(folder + "/" + kept[0]) == before) << "the whole earlier file";
        const struct stat copy = Stat(folder + "/" + kept[0]);
        EXPECT_EQ(copy.st_mode & 07777, 0600u);
        EXPECT_EQ(copy.st_uid, ::geteuid());
        EXPECT_EQ(Stat(folder).st_mode & 07777, 0700u);
        s->Write(newer.mid(100000));
        s->Close();
        EXPECT_TRUE(QDir(folder).isEmpty()) << "the copy is gone once the new bytes are on disk";
        EXPECT_TRUE(ReadFile(file) == newer && ReadFile(dir.filePath("other name.mid")) == newer);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("relative")));
}

// A link planted where the folder goes is not followed; a folder that is there
// already, open to others, is closed to them before a copy goes in it.
TEST_F(InPlaceSave, ACacheFolderThatIsALinkIsNotFollowedAndOneOpenToOthersIsClosed)
{
    const QString elsewhere = dir.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere) && QDir().mkpath(dir.filePath("cache")));
    ASSERT_TRUE(QFile::link(elsewhere, copies));
    // The copy goes to a folder of the user's own in /var/tmp instead.
    const QByteArray newer = Random(100000);
    FolderItem item(file);
    auto s = item.CreateBinaryFile(QString());
    ASSERT_NE(s, nullptr);
    s->Write(newer);
    EXPECT_TRUE(QDir(elsewhere).isEmpty()) << "a copy went through the link";
    s->Close();
    EXPECT_TRUE(ReadFile(file) == newer);
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    EXPECT_TRUE(QFileInfo(copies).isSymLink());

    ASSERT_TRUE(QFile::remove(copies));
    ASSERT_TRUE(QDir().mkpath(copies));
    ASSERT_EQ(::chmod(QFile::encodeName(copies).constData(), 0777), 0);
    FolderItem again(file);
    auto t = again.CreateBinaryFile(QString());
    ASSERT_NE(t, nullptr);
    t->Write(Random(100000));
    EXPECT_EQ(Stat(copies).st_mode & 07777, 0700u);
    EXPECT_EQ(Copies().size(), 1);
    t->Close();
    EXPECT_EQ(Copies(), QStringList());
}

// A cache folder of another user's is not written in, though the file system
// would let it be: the copy goes to a folder of the user's own in /var/tmp.
TEST_F(InPlaceSave, ACacheFolderOfAnotherUserIsPassedOverForOneOfTheUsersOwn)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    ASSERT_TRUE(QDir().mkpath(copies));
    ASSERT_EQ(::chown(QFile::encodeName(copies).constData(), 12345, 12345), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(copies).constData(), 0700), 0);
    const QByteArray newer = Random(100000);
    FolderItem item(file);
    auto s = item.CreateBinaryFile(QString());
    ASSERT_NE(s, nullptr);
    s->Write(newer);
    EXPECT_EQ(Copies(), QStringList()) << "a copy went to another user's folder";
    const QString own = QStringLiteral("/var/tmp/quorvanel-%1").arg(::geteuid());
    bool kept = false;
    for (const QString& name : QDir(own).entryList({"song.mid.earlier-*"}, QDir::Files | QDir::Hidden))
        kept = kept || ReadFile(own + "/" + name) == earlier;
    EXPECT_TRUE(kept) << "no copy of the earlier bytes in " << own.toStdString();
    s->Close();
    EXPECT_TRUE(ReadFile(file) == newer);
    EXPECT_EQ(Stat(copies).st_uid, 12345u);
}

// Where neither the cache folder nor the user's own folder in /var/tmp can take
// the copy (each another user's), nothing is written, and the message gives the
// cache folder's refusal, as it names that folder.
TEST_F(InPlaceSave, WithNoFolderForTheCopyTheSaveIsRefusedForTheCacheFoldersReason)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can act as another user and give /var/tmp a folder of another's";
    constexpr uid_t kUser = 12345;
    const QByteArray own = "/var/tmp/quorvanel-" + QByteArray::number(kUser);
    ASSERT_TRUE(::mkdir(own.constData(), 0700) == 0 || errno == EEXIST);
    ASSERT_EQ(::chown(own.constData(), 0, 0), 0);
    // Open to its user, who may look in but not own it; the one in /var/tmp is shut.
    ASSERT_TRUE(QDir().mkpath(copies));
    ASSERT_EQ(::chown(QFile::encodeName(copies).constData(), 23456, 23456), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(copies).constData(), 0755), 0);
    for (const QString& path : {dir.path(), dir.filePath("cache"), file})
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kUser, kUser), 0);

    const QByteArray message = InChild([&]() -> std::optional<QByteArray> {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kUser, kUser, kUser) != 0 || ::setresuid(kUser, kUser, kUser) != 0)
            return QByteArray("not run as another user");
        FolderItem item(file);
        auto s = item.CreateBinaryFile(QString());
        try {
            if (!s)
                throw IOException(QStringLiteral("not created: error %1").arg(item.LastErrorCode()), 0);
            s->Write(Random(100000));
            s->Close();
        } catch (const IOException& e) {
            return e.Message().toUtf8();
        }
        return QByteArray("saved");
    }).value_or("no answer from the child");
    ::rmdir(own.constData());
    EXPECT_EQ(message.toStdString(), QString("cannot copy the earlier bytes to %1 %2: %3")
                                         .arg(copies, file, QString::fromLocal8Bit(std::strerror(EPERM)))
                                         .toStdString());
    EXPECT_TRUE(ReadFile(file) == earlier);
    EXPECT_EQ(Copies(), QStringList());
}

// Another save of the file holds its lock: a save waits for it, and goes ahead
// once it is let go within a moment; held on, it refuses the save, which then
// writes nothing and keeps no copy.
TEST_F(InPlaceSave, ASaveWaitsForTheLockOfAnotherSaveOfTheFile)
{
    // The file opened and locked as another save of it does; -1 when it cannot be.
    const auto lockedElsewhere = [&] {
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDWR | O_CLOEXEC);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0)
            return fd;
        if (fd >= 0)
            ::close(fd);
        return -1;
    };
    const int other = lockedElsewhere();
    ASSERT_GE(other, 0);
    // Let go a moment after the save has found it held.
    std::thread letGo([other] {
        ::usleep(300 * 1000);
        ::close(other);
    });
    const QByteArray newer = Random(100000);
    {
        FolderItem item(file);
        auto s = item.CreateBinaryFile(QString());
        letGo.join();
        ASSERT_NE(s, nullptr) << "refused, error " << item.LastErrorCode();
        s->Write(newer);
        s->Close();
    }
    EXPECT_TRUE(ReadFile(file) == newer && ReadFile(dir.filePath("other name.mid")) == newer);

    const int holder = lockedElsewhere();
    ASSERT_GE(holder, 0);
    FolderItem item(file);
    EXPECT_EQ(item.CreateBinaryFile(QString()), nullptr);
    EXPECT_EQ(item.LastErrorCode(), EAGAIN);
    ::close(holder);
    EXPECT_TRUE(ReadFile(file) == newer);
    EXPECT_EQ(Copies(), QStringList());
}

// A write that fails puts the earlier bytes back from the copy, which then goes;
// where they cannot all go back (a size limit lowered during the save), the copy
// stays and the stream names it.
TEST_F(InPlaceSave, AFailedWritePutsTheEarlierBytesBackOrLeavesTheCopyAndNamesIt)
{
    {
        FileSizeLimit limit;
        limit.Set(350000);
        FolderItem item(file);
        auto s = item.CreateBinaryFile(QString());
        ASSERT_NE(s, nullptr);
        s->Write(Random(200000));
        EXPECT_EQ(Copies().size(), 1);
        EXPECT_THROW(s->Write(Random(200000)), IOException);
        EXPECT_FALSE(s->LeftDamaged());
        EXPECT_EQ(s->EarlierCopy(), QString());
    }
    EXPECT_TRUE(ReadFile(file) == earlier) << "the earlier bytes, and no more";
    EXPECT_EQ(Copies(), QStringList());

    // A stream dropped before Close undoes what it wrote.
    {
        FolderItem item(file);
        auto s = item.CreateBinaryFile(QString());
        ASSERT_NE(s, nullptr);
        s->Write(Random(100000));
        EXPECT_EQ(Copies().size(), 1);
    }
    EXPECT_TRUE(ReadFile(file) == earlier);
    EXPECT_EQ(Copies(), QStringList());

    FileSizeLimit limit;
    FolderItem item(file);
    auto s = item.CreateBinaryFile(QString());
    ASSERT_NE(s, nullptr);
    s->Write(Random(200000));
    limit.Set(100000);
    EXPECT_THROW(s->Write(Random(200000)), IOException);
    EXPECT_TRUE(s->LeftDamaged());
    ASSERT_EQ(Copies().size(), 1);
    EXPECT_EQ(s->EarlierCopy(), copies + "/" + Copies()[0]);
    EXPECT_TRUE(ReadFile(s->EarlierCopy()) == earlier);
}

// The copy's name is the file's, cut short where it would not fit beside the
// suffix, at a character's start, so that the message can name it.
TEST_F(InPlaceSave, ALongFileNameIsCutAtACharacterForTheCopy)
{
    const QString name = "x" + QString(120, QChar(0xE9)) + ".mid";  // 245 bytes in UTF-8
    const QString longer = dir.filePath(name);
    ASSERT_TRUE(QFile::copy(file, longer));
    ASSERT_EQ(::link(QFile::encodeName(longer).constData(), QFile::encodeName(dir.filePath("second.mid")).constData()), 0);
    FolderItem item(longer);
    auto s = item.CreateBinaryFile(QString());
    ASSERT_NE(s, nullptr);
    s->Write(Random(100000));
    const QStringList kept = Copies();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept[0].startsWith("x" + QString(99, QChar(0xE9)) + ".earlier-")) << kept[0].toStdString();
    EXPECT_TRUE(ReadFile(copies + "/" + kept[0]) == earlier);
    s->Close();
    EXPECT_EQ(Copies(), QStringList());
}
