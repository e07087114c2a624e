// FolderItem and BinaryStream: reading a file to its end, and saving that
// replaces the earlier file whole or not at all; the file dialogs' name filters.
#include "framework/files/binarystream.h"
#include "framework/files/dialogs.h"
#include "framework/files/filetype.h"
#include "framework/files/folderitem.h"
#include "framework/runtime/exceptions.h"

#include "../common/longpath.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Each test in a fresh folder.
class Files : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
};
// Saves the bytes at path through a stream, as the program does; false, with the
// reason on stderr, when it cannot.
bool SaveThrough(const QString& path, const QByteArray& bytes)
{
    FolderItem item(path);
    auto s = item.CreateBinaryFile(QString());
    try {
        if (!s)
            throw IOException(QStringLiteral("cannot create: error %1").arg(item.LastErrorCode()), 0);
        s->Write(bytes);
        s->Close();
        return true;
    } catch (const IOException& e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(e.Message()));
        return false;
    }
}

class BinaryStreamRead : public Files {};
class BinaryStreamWrite : public Files {};

} // namespace

TEST_F(BinaryStreamRead, ReadsEveryByteSignedOrNotThenRaisesAtTheEnd)
{
    const QString path = Path("in.bin");
    QByteArray bytes(200000, 0);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(QRandomGenerator::global()->bounded(256));
    WriteFile(path, QByteArray("\xff\x7f\x80", 3) + bytes + "xyz");
    FolderItem item(path);
    auto s = BinaryStream::Open(item, false);
    EXPECT_EQ(s->ReadInt8(), -1);
    EXPECT_EQ(s->ReadInt8(), 127);
    EXPECT_EQ(s->ReadUInt8(), 0x80);
    QByteArray back;
    while (back.size() < bytes.size() && !s->EndOfFile())
        back.append(char(s->ReadInt8()));
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(s->Read(10), QByteArray("xyz"));
    EXPECT_TRUE(s->EndOfFile());
    EXPECT_EQ(s->Position(), bytes.size() + 6);
    EXPECT_THROW(s->ReadInt8(), IOException);
    s->Close();
}

// Every read, whole bytes or blocks, on a stream that is not open for reading.
TEST_F(BinaryStreamRead, ReadsOnAWriteStreamOrAClosedStreamRaiseIOException)
{
    const QString path = Path("out.bin");
    FolderItem item(path);
    auto writing = item.CreateBinaryFile(QString());
    ASSERT_NE(writing, nullptr);
    writing->Write(QByteArray("unwritten"));

    WriteFile(Path("in.bin"), QByteArray("abc"));
    FolderItem input(Path("in.bin"));
    auto closed = BinaryStream::Open(input);
    closed->Close();

    for (BinaryStream* s : {writing.get(), closed.get()}) {
        EXPECT_THROW(s->Read(4), IOException);
        EXPECT_THROW(s->Read(0), IOException);
        EXPECT_THROW(s->ReadUInt8(), IOException);
        EXPECT_THROW(s->ReadInt8(), IOException);
    }
    // The failed reads took nothing from what was written.
    writing->Close();
    EXPECT_EQ(ReadFile(path), QByteArray("unwritten"));
}

// The program writes whole blocks; these bytes come one by one past the stream's
// buffer, with blocks too large for it (which pass it by) in between: to a new
// file, and to one with a second name, which is written in place.
TEST_F(BinaryStreamWrite, BytesWrittenOneByOnePastTheBufferAllReachTheFile)
{
    WriteFile(Path("Linked.mid"), QByteArray("earlier"));
    ASSERT_EQ(::link(QFile::encodeName(Path("Linked.mid")).constData(), QFile::encodeName(Path("Second name.mid")).constData()), 0);
    for (const char* name : {"Test.mid", "Linked.mid"}) {
        SCOPED_TRACE(name);
        FolderItem item(Path(name));
        auto s = item.CreateBinaryFile(QStringLiteral("binary/midi"));
        ASSERT_NE(s, nullptr);
        QByteArray expected;
        for (int i = 0; i < 150000; ++i) {
            s->WriteInt8(std::int8_t(i * 7));
            expected.append(char(i * 7));
            if (i % 50000 == 1000) {
                const QByteArray block(70000 + i, char('a' + i % 26));
                s->Write(block);
                // A block over memory that its owner reuses at once.
                QByteArray scratch(70000, char('A' + i % 26));
                s->Write(QByteArray::fromRawData(scratch.constData(), scratch.size()));
                expected += block + scratch;
                scratch.fill('z');
            }
        }
        EXPECT_EQ(s->Length(), expected.size());
        s->Close();
        EXPECT_TRUE(ReadFile(item.NativePath()) == expected);
    }
    EXPECT_TRUE(ReadFile(Path("Second name.mid")) == ReadFile(Path("Linked.mid")));
}

// While the new bytes are written no other user can open them, whatever the
// earlier file allowed; the earlier mode comes once they are in place.
TEST_F(BinaryStreamWrite, TheFileBeingWrittenIsItsOwnersAloneUntilItTakesTheEarlierMode)
{
    // Owner, group and others: what a file's mode says, whoever looks.
    constexpr auto kMode = QFileDevice::Permissions::fromInt(0x7077);
    const auto earlierMode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    const QString path = Path("Sample.mid");
    WriteFile(path, QByteArray("earlier"));
    ASSERT_TRUE(QFile::setPermissions(path, earlierMode));
    FolderItem item(path);
    auto s = item.CreateBinaryFile(QString());
    ASSERT_NE(s, nullptr);
    s->Write(QByteArray(100000, 'n'));
    const QFileInfoList beside = QDir(dir.path()).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    ASSERT_EQ(beside.size(), 2);
    EXPECT_EQ(beside[0].size(), 100000) << "the bytes written so far";
    EXPECT_EQ(beside[0].permissions() & kMode, QFile::ReadOwner | QFile::WriteOwner);
    s->Close();
    EXPECT_EQ(QFileInfo(path).permissions() & kMode, earlierMode);
}

// Closed with nothing written, an empty file; never closed, the earlier file and no part.
TEST_F(BinaryStreamWrite, NothingWrittenMakesAnEmptyFileAndAnUnclosedStreamLeavesTheEarlierOne)
{
    FolderItem empty(Path("empty.bin"));
    auto s = empty.CreateBinaryFile(QString());
    ASSERT_NE(s, nullptr);
    s->Close();
    EXPECT_TRUE(empty.Exists() && empty.Length() == 0);
    EXPECT_TRUE(BinaryStream::Open(empty)->EndOfFile());

    const QString path = Path("Sample.mid");
    WriteFile(path, QByteArray("earlier"));
    FolderItem(path).CreateBinaryFile(QString())->Write(QByteArray(100000, 'y'));
    EXPECT_EQ(ReadFile(path), QByteArray("earlier"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), QStringList({"Sample.mid", "empty.bin"}));
}

TEST_F(BinaryStreamWrite, AFailedCommitRaisesIOExceptionAndLeavesNoFile)
{
    const QString sub = Path("sub");
    ASSERT_TRUE(QDir().mkpath(sub));
    FolderItem item(sub + QStringLiteral("/out.bin"));
    auto s = item.CreateBinaryFile(QString());
    ASSERT_NE(s, nullptr);
    s->WriteInt8(1);
    ASSERT_TRUE(QDir(sub).removeRecursively());
    EXPECT_THROW(s->Close(), IOException);
    EXPECT_FALSE(QFile::exists(sub + QStringLiteral("/out.bin")));
}

// A chroot or a sandbox may have no /proc. Files are found through their links
// all the same, and one that is there is never taken for a missing one: it keeps
// its mode, owner, attributes and other names, and a missing link target is made.
TEST_F(BinaryStreamWrite, WithoutProcFilesAreFoundThroughTheirLinksAndKeepWhatTheyHave)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can hide /proc in a mount namespace and give files to another user";
    const auto native = [&](const char* name) { return QFile::encodeName(Path(name)); };
    WriteFile(Path("Linked.mid"), "earlier");
    ASSERT_EQ(::link(native("Linked.mid"), native("Second name.mid")), 0);
    WriteFile(Path("theirs.mid"), "earlier");
    ASSERT_TRUE(QDir().mkpath(Path("sub/made")));
    ASSERT_TRUE(QFile::link("../theirs.mid", Path("sub/link.mid")));
    ASSERT_TRUE(QFile::link("sub/made/new.mid", Path("dangling.mid")));
    bool tagged = true;
    for (const auto& [name, mode] : {std::pair{"Linked.mid", 0600}, {"theirs.mid", 0640}}) {
        ASSERT_EQ(::chmod(native(name), mode), 0);
        ASSERT_EQ(::chown(native(name), 12345, 23456), 0);
        tagged = tagged && ::setxattr(native(name), "user.quorvanel.tag", "kept", 4, 0) == 0;
    }
    if (!tagged)
        std::printf("Extended attributes kept: not checked, as this file system takes none.\n");

    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0) {
            std::printf("Without /proc: not checked, as this machine gives no mount namespace (%s).\n",
                        std::strerror(errno));
            std::fflush(nullptr);
            ::_exit(77);
        }
        bool saved = ::access("/proc/self/fd", F_OK) != 0;
        for (const char* name : {"Linked.mid", "sub/link.mid", "dangling.mid"})
            saved = SaveThrough(Path(name), "new bytes") && saved;
        std::fflush(nullptr);
        ::_exit(saved ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no mount namespace";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the reasons are above";

    for (const char* name : {"Linked.mid", "Second name.mid", "theirs.mid", "sub/made/new.mid"})
        EXPECT_EQ(ReadFile(Path(name)), "new bytes") << name;
    for (const auto& [name, mode] : {std::pair{"Linked.mid", 0600u}, {"theirs.mid", 0640u}}) {
        SCOPED_TRACE(name);
        struct stat st {};
        ASSERT_EQ(::stat(native(name), &st), 0);
        EXPECT_EQ(std::tuple(st.st_mode & 07777, st.st_uid, st.st_gid), std::tuple(mode, 12345u, 23456u));
        char tag[8]{};
        if (tagged) {
            EXPECT_EQ(::getxattr(native(name), "user.quorvanel.tag", tag, sizeof tag), 4);
        }
    }
    struct stat first {}, second {};
    ASSERT_EQ(::stat(native("Linked.mid"), &first) | ::stat(native("Second name.mid"), &second), 0);
    EXPECT_EQ(first.st_ino, second.st_ino) << "still one file with two names";
    EXPECT_TRUE(QFileInfo(Path("sub/link.mid")).isSymLink() && QFileInfo(Path("dangling.mid")).isSymLink());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
              QStringList({"Linked.mid", "Second name.mid", "dangling.mid", "theirs.mid"}));
}

// A file at the end of a chain of links as long as the system follows (40) is
// saved there, and the links stay links.
TEST_F(BinaryStreamWrite, AFileAtTheEndOfAsManyLinksAsTheSystemFollowsIsSavedThere)
{
    WriteFile(Path("song.mid"), "earlier");
    QString last = QStringLiteral("song.mid");
    for (int i = 1; i <= 40; ++i) {
        const QString link = QStringLiteral("link %1.mid").arg(i);
        ASSERT_TRUE(QFile::link(last, dir.filePath(link)));
        last = link;
    }
    EXPECT_TRUE(SaveThrough(dir.filePath(last), "new bytes"));
    EXPECT_EQ(ReadFile(Path("song.mid")), "new bytes");
    EXPECT_TRUE(QFileInfo(Path("link 1.mid")).isSymLink() && QFileInfo(dir.filePath(last)).isSymLink());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 41);
}

// A path up to the system's limit of 4,095 bytes is saved, as a new file and over
// the earlier one, however short the file's own name: the temporary beside it is
// named within its folder, not by a path longer than the file's.
TEST_F(BinaryStreamWrite, AFileWhosePathIsNearTheSystemsLimitIsSavedAndSavedOver)
{
    for (const qsizetype length : {4090, 4095}) {
        SCOPED_TRACE(length);
        const QString folder = FolderOfLength(dir.filePath(QString::number(length)), length - 9);
        ASSERT_FALSE(folder.isEmpty());
        const QString path = folder + QStringLiteral("/Test.mid");
        ASSERT_EQ(QFile::encodeName(path).size(), length);
        for (const QByteArray& bytes : {QByteArray("first save"), QByteArray(100000, 's')}) {
            EXPECT_TRUE(SaveThrough(path, bytes));
            EXPECT_TRUE(ReadFile(path) == bytes);
        }
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList("Test.mid"));
    }
}

// The open dialog is asked for "accept/all" and the save dialog for no filter:
// both must list every file. A registered type adds its own extensions.
TEST(FileDialogFilter, AcceptAllEmptyAndUnknownFiltersListEveryFile)
{
    for (const char* filter : {"accept/all", "", "no/such-type"})
        EXPECT_EQ(QtFileDialogs::NameFilter(QString::fromLatin1(filter)), QStringLiteral("All files (*)"))
            << filter;
    FileTypeRegistry::Instance().Register({"text/plain", "", "TEXT", ".txt", "public.text"});
    EXPECT_EQ(QtFileDialogs::NameFilter(QStringLiteral("text/plain")),
              QStringLiteral("text/plain (*.txt);;All files (*)"));
    FileTypeRegistry::Instance().Deregister(QStringLiteral("text/plain"));
}
