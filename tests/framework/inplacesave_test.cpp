// Saves written in place (a file with a second name): the copy of the earlier
// bytes in the user's state folder, its place, mode and removal, and the earlier
// bytes put back from it when a write fails.
#include "framework/files/binarystream.h"
#include "framework/files/earlierbytes.h"
#include "framework/files/folderitem.h"
#include "framework/runtime/exceptions.h"

#include "../common/cutoffsave.h"
#include "../common/diskfolder.h"
#include "../common/fallbackfolders.h"
#include "../common/inchild.h"
#include "../common/withoutdacoverride.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <gtest/gtest.h>
#include <thread>
#include <sys/mount.h>
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
// the state folder in the test's folder.
class InPlaceSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (HeldInMemory(dir.path()))
            GTEST_SKIP() << "no temporary folder outlasts a restart here, as the state folder must";
        earlier = Random(300000);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(earlier) == earlier.size());
        f.close();
        ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(dir.filePath("other name.mid")).constData()), 0);
    }
    // What the state folder holds: the copies, each before its record.
    QStringList Copies() const { return QDir(copies).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    // What cut-off saves left in the state folder (/var/tmp's is not the test's).
    std::vector<LeftEarlierBytes> Left() const
    {
        std::vector<LeftEarlierBytes> ours;
        for (LeftEarlierBytes& left : FindLeftEarlierBytes())
            if (left.copy.startsWith(QFile::encodeName(copies + "/")))
                ours.push_back(std::move(left));
        return ours;
    }

    // Where the copies go when the state folder cannot be had: the user's own, and
    // those of the other users some cases act as.
    FallbackFoldersLeftAsFound fallback{::geteuid(), 12345};
    QTemporaryDir dir{OnDisk("inplacesave")};
    const QString file = dir.filePath("song.mid");
    Environment stateHome{"XDG_STATE_HOME", QFile::encodeName(dir.filePath("state"))};
    const QString copies = dir.filePath("state/quorvanel");
    QByteArray earlier;
};

}  // namespace

// The copy exists from the first byte written until the new bytes are on disk:
// in the program's folder of the state home ($XDG_STATE_HOME, else
// ~/.local/state), made for the user alone, named after the file, the user's
// alone, with its record beside it.
TEST_F(InPlaceSave, TheEarlierBytesAreCopiedToAPrivateFileInTheStateFolderUntilTheSaveEnds)
{
    const QByteArray newer = Random(200000);
    ASSERT_TRUE(QDir().mkpath(dir.filePath("home")));
    for (const bool homeState : {false, true}) {
        SCOPED_TRACE(homeState ? "~/.local/state" : "$XDG_STATE_HOME");
        Environment home("HOME", QFile::encodeName(dir.filePath("home")));
        Environment relative("XDG_STATE_HOME", homeState ? QByteArray("relative/state") : qgetenv("XDG_STATE_HOME"));
        const QString folder = homeState ? dir.filePath("home/.local/state/quorvanel") : copies;
        const QByteArray before = ReadFile(file);
        FolderItem item(file);
        auto s = item.CreateBinaryFile(QString());
        ASSERT_NE(s, nullptr);
        s->Write(newer.left(100000));
        const QStringList kept = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        ASSERT_EQ(kept.size(), 2) << kept.join(", ").toStdString();
        EXPECT_EQ(kept[1], kept[0] + ".record");
        EXPECT_TRUE(kept[0].startsWith("song.mid")) << kept[0].toStdString();
        EXPECT_TRUE(ReadFile(folder + "/" + kept[0]) == before) << "the whole earlier file";
        EXPECT_TRUE(Left().empty()) << "a save under way was taken for a cut-off one";
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
TEST_F(InPlaceSave, AStateFolderThatIsALinkIsNotFollowedAndOneOpenToOthersIsClosed)
{
    const QString elsewhere = dir.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere) && QDir().mkpath(dir.filePath("state")));
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
    EXPECT_EQ(Copies().size(), 2);
    t->Close();
    EXPECT_EQ(Copies(), QStringList());
}

// A state folder of another user's is not written in, though the file system
// would let it be: the copy goes to a folder of the user's own in /var/tmp.
TEST_F(InPlaceSave, AStateFolderOfAnotherUserIsPassedOverForOneOfTheUsersOwn)
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

// Where neither the state folder nor the user's own folder in /var/tmp can take
// the copy (each another user's), nothing is written, and the message gives the
// state folder's refusal, as it names that folder.
TEST_F(InPlaceSave, WithNoFolderForTheCopyTheSaveIsRefusedForTheStateFoldersReason)
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
    for (const QString& path : {dir.path(), dir.filePath("state"), file})
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
        EXPECT_EQ(Copies().size(), 2);
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
        EXPECT_EQ(Copies().size(), 2);
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
    ASSERT_EQ(Copies().size(), 2);
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
    ASSERT_EQ(kept.size(), 2);
    EXPECT_TRUE(kept[0].startsWith("x" + QString(99, QChar(0xE9)) + ".earlier-")) << kept[0].toStdString();
    EXPECT_TRUE(ReadFile(copies + "/" + kept[0]) == earlier);
    s->Close();
    EXPECT_EQ(Copies(), QStringList());
}

// A save cut off midway leaves the copy under its final name, whole, and its
// record naming the file (whatever bytes the name holds), until the user is told.
TEST_F(InPlaceSave, ACutOffSaveLeavesAWholeCopyAndARecordNamingTheFile)
{
    const QString odd = dir.filePath("cut \\ off\n.mid");
    ASSERT_TRUE(QFile::rename(file, odd));
    ASSERT_TRUE(CutOffSave(odd, Random(100000)));
    EXPECT_FALSE(ReadFile(odd) == earlier) << "the save was not under way";
    const QStringList kept = Copies();
    ASSERT_EQ(kept.size(), 2) << kept.join(", ").toStdString();
    EXPECT_TRUE(kept[0].startsWith("cut \\ off\n.mid.earlier-")) << kept[0].toStdString();
    EXPECT_TRUE(ReadFile(copies + "/" + kept[0]) == earlier);
    std::vector<LeftEarlierBytes> left = Left();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].copy, QFile::encodeName(copies + "/" + kept[0]));
    EXPECT_EQ(left[0].file, RecordedPath(QFile::encodeName(dir.filePath("state/../cut \\ off\n.mid"))));
    EXPECT_TRUE(left[0].file.startsWith('/') && !left[0].file.contains("/../"));
    EXPECT_FALSE(left[0].told);
    EXPECT_TRUE(MarkEarlierBytesTold(left[0].copy));
    EXPECT_TRUE(Left().at(0).told);
}

// Only a whole copy with its record is what a cut-off save left: not a copy cut
// short while it was made (under its partial name, its record written or not),
// nor a copy without a record, nor one whose save ended and that only could not
// be removed.
TEST_F(InPlaceSave, PartialCopiesAndCopiesWithoutARecordOrOfASaveThatEndedAreNotLeftOnes)
{
    ASSERT_TRUE(QDir().mkpath(copies));
    const auto put = [&](const QString& name, const QByteArray& bytes) {
        QFile f(copies + "/" + name);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    ASSERT_TRUE(put(".partial-a.mid.earlier-1", "a") && put("a.mid.earlier-1.record", "file=/x/a.mid\n"));
    ASSERT_TRUE(put("b.mid.earlier-2", "b"));
    ASSERT_TRUE(put("c.mid.earlier-3", "c") && put("c.mid.earlier-3.record", "file=/x/c.mid\nsaved\n"));
    ASSERT_TRUE(put("d.mid.earlier-4", "d") && put("d.mid.earlier-4.record", "file=/x/d\\\\\\n.mid\ntold\n"));
    const std::vector<LeftEarlierBytes> left = Left();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].copy, QFile::encodeName(copies + "/d.mid.earlier-4"));
    EXPECT_EQ(left[0].file, "/x/d\\\n.mid");
    EXPECT_TRUE(left[0].told);
}

// A copy that cannot be removed once the save has ended well is named, with the
// system's reason; its record then says the save ended, so that it is never told
// as a cut-off save's.
TEST_F(InPlaceSave, ACopyThatCannotBeRemovedAfterAGoodSaveIsNamedAndNotTakenForALeftOne)
{
    const QByteArray newer = Random(100000);
    FolderItem item(file);
    auto s = item.CreateBinaryFile(QString());
    ASSERT_NE(s, nullptr);
    s->Write(newer);
    const QStringList kept = Copies();
    ASSERT_EQ(kept.size(), 2);
    ASSERT_EQ(::chmod(QFile::encodeName(copies).constData(), 0500), 0);
    {
        WithoutDacOverride asAnyUser;
        EXPECT_NO_THROW(s->Close());
    }
    ASSERT_EQ(::chmod(QFile::encodeName(copies).constData(), 0700), 0);
    EXPECT_TRUE(ReadFile(file) == newer);
    EXPECT_EQ(s->LeftCopy(), copies + "/" + kept[0]);
    EXPECT_EQ(s->LeftCopyReason(), QString::fromLocal8Bit(std::strerror(EACCES)));
    EXPECT_TRUE(ReadFile(copies + "/" + kept[0]) == earlier);
    EXPECT_TRUE(Left().empty());
}

// A state folder held in memory (a tmpfs), which a restart empties, is refused as
// the user's own in /var/tmp would be; where that cannot be had either, the save
// is refused before anything is written, and the message says why: the memory,
// or that there is no home at all.
TEST_F(InPlaceSave, WithNoFolderForTheCopyButOneInMemoryOrWithNoHomeTheSaveSaysWhy)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can mount a tmpfs of its own and act as another user";
    constexpr uid_t kUser = 12345;
    const QString own = QStringLiteral("/var/tmp/quorvanel-%1").arg(kUser);
    const QString memory = dir.filePath("memory");
    ASSERT_TRUE(QDir().mkpath(memory) && QDir().mkpath(own));
    for (const QString& path : {dir.path(), file})
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kUser, kUser), 0);
    Environment state("XDG_STATE_HOME", QFile::encodeName(memory));
    // As the other user, with a tmpfs of its own at memory.
    const QString told = QString::fromUtf8(InChild([&]() -> std::optional<QByteArray> {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("none", QFile::encodeName(memory).constData(), "tmpfs", 0, "mode=0777") != 0)
            return QByteArray("no tmpfs");
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kUser, kUser, kUser) != 0 || ::setresuid(kUser, kUser, kUser) != 0)
            return QByteArray("not run as another user");
        QStringList messages;
        for (const bool home : {true, false}) {
            Environment noState("XDG_STATE_HOME", home ? qgetenv("XDG_STATE_HOME") : QByteArray());
            Environment noHome("HOME", home ? qgetenv("HOME") : QByteArray());
            FolderItem item(file);
            auto s = item.CreateBinaryFile(QString());
            try {
                s->Write(Random(100000));
                s->Close();
            } catch (const IOException& e) {
                messages << e.Message();
            }
        }
        return messages.join("\n").toUtf8();
    }).value_or("no answer from the child"));
    QDir(own).removeRecursively();
    if (told == "no tmpfs")
        GTEST_SKIP() << "this machine gives no mount namespace for a tmpfs";
    EXPECT_EQ(told.toStdString(),
              QString("cannot copy the earlier bytes to %1/quorvanel %2: it is held in memory only, so a restart would "
                      "lose them\ncannot copy the earlier bytes to %3 %2: there is no home folder to keep them in, and "
                      "this folder cannot be used (%4)")
                  .arg(memory, file, own, QString::fromLocal8Bit(std::strerror(EPERM)))
                  .toStdString());
    EXPECT_TRUE(ReadFile(file) == earlier);
}
