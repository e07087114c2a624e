// Files through the controls: dumps by a real drop and through the open dialog,
// MIDI and raw saves through the save dialog, and every way a save can fail.
#include "fixture.h"

#include "framework/files/wholefile.h"
#include "window/openfailure.h"

#include "../common/fallbackfolders.h"
#include "../common/inchild.h"
#include "../common/longpath.h"
#include "../common/withoutdacoverride.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// Drags the files (or, with none, the text) onto the widget and drops them there,
// as the desktop would.
void DropOn(QWidget* target, const QStringList& paths, const QString& text = {})
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    paths.isEmpty() ? data.setText(text) : data.setUrls(urls);
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted())
        QApplication::sendEvent(target, &drop);
}

// The 17-byte file and its dump.
const QByteArray kSeventeen = QByteArray::fromHex("48656C6C6F0A001F20417E7F80FF30395A");
const QStringList kSeventeenDump = {"00000000:|00000010:|", "48 65 6C 6C 6F 0A 00 1F 20 41 7E 7F 80 FF 30 39 |5A ",
                                    "H e l l o - - -   A ~ - - - 0 9 |Z "};

// Files in the folder other than the ones named: a failed save must leave none.
QStringList Leftovers(const QString& folder, const QStringList& expected)
{
    QStringList found = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    found.removeIf([&](const QString& name) { return expected.contains(name); });
    return found;
}

// A file size limit for the scope: every write past it fails, as on a full disk
// (the signal it would raise ignored, as a program that checks its writes does).
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : previous(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old), std::signal(SIGXFSZ, previous); }
    void (*previous)(int);
    rlimit old{};
};

int SetMode(const QString& path, mode_t mode) { return ::chmod(QFile::encodeName(path).constData(), mode); }

struct stat Stat(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st), st;
}

QString SystemWords(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Root may give the replacement another user's file's owner; without root
// there is no other user to test with.
bool ChangeOwnerAsRoot(const QString& path, uid_t owner, gid_t group)
{
    if (::geteuid() != 0) {
        std::printf("Owner and group kept: not checked, as only root can give a file to another user.\n");
        return false;
    }
    return ::lchown(QFile::encodeName(path).constData(), owner, group) == 0;
}

// Root turns the kernel's link protection on for the scope, where it may.
struct ProtectedSymlinks {
    ProtectedSymlinks() : earlier(Read()) { on = earlier == "1" || Write("1"); }
    ~ProtectedSymlinks()
    {
        if (on && earlier != "1")
            Write(earlier);
    }
    static QByteArray Read() { QFile f(kPath); return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray(); }
    static bool Write(const QByteArray& v) { QFile f(kPath); return f.open(QIODevice::WriteOnly) && f.write(v) > 0 && f.flush(); }
    static constexpr const char* kPath = "/proc/sys/fs/protected_symlinks";
    const QByteArray earlier;
    bool on = false;
};

}  // namespace

TEST_F(WindowTest, DroppedAndOpenedFilesAreDumpedAndFoldersTextMissingOrCancelledOnesChangeNothing)
{
    WriteBytes(Path("a.bin"), kSeventeen);
    WriteBytes(Path("first.bin"), "A");
    WriteBytes(Path("second.bin"), "B");
    WriteBytes(Path("empty.bin"), QByteArray());
    const QStringList emptyDump = {"00000000:|", "", ""};
    Click(w().BBV(3));
    DropOn(w().QtWindow(), {Path("a.bin")});
    EXPECT_EQ(Columns(), kSeventeenDump);
    EXPECT_EQ(w().vv, "14");
    DropOn(w().QtWindow(), {Path("empty.bin")});
    EXPECT_EQ(Columns(), emptyDump) << "an empty file after another";
    DropOn(w().BinaryTa().Widget(), {Path("first.bin"), Path("second.bin")});
    EXPECT_EQ(Columns(), QStringList({"00000000:|", "41 ", "A "}));
    DropOn(w().QtWindow(), {dir_.path()});
    DropOn(w().QtWindow(), {}, "22 33");
    EXPECT_EQ(Columns(), QStringList({"00000000:|", "41 ", "A "})) << "a folder and a text change nothing";

    dialogs().Answer(Path("a.bin"));
    dialogs().Cancel();
    dialogs().Answer(Path("gone.bin"));
    dialogs().Answer(dir_.path());
    for (int i = 0; i < 4; ++i)
        Click(w().FileOpenButton());
    ASSERT_EQ(dialogs().Requests().size(), 4u);
    EXPECT_EQ(std::pair(dialogs().Requests()[0].save, dialogs().Requests()[0].filter), std::pair(false, QString("accept/all")));
    w().DropOpen(std::make_shared<FolderItem>(Path("gone.bin")));
    EXPECT_EQ(Columns(), kSeventeenDump);
    EXPECT_TRUE(messages_.isEmpty()) << "a failed open stays silent";
    Through(w().FileOpenButton(), Path("empty.bin"));
    EXPECT_EQ(Columns(), emptyDump);
}

// Only a file too large for memory is worth a word: the others never changed the view.
TEST(OpenFailure, ATooLargeFileIsNamedWithItsSizeAndTheFreeMemoryOthersAreNotTold)
{
    WholeFile file{WholeFile::Problem::TooLarge, {}, qint64(3) << 30, qint64(1536) << 20};
    EXPECT_EQ(OpenFailureText("/m/a b.bin", file), "The file \"/m/a b.bin\" could not be opened: it holds 3.0 GiB, more than "
                                                  "the 1.5 GiB of memory that is free. The view is as it was.");
    file.available = 0;
    EXPECT_EQ(OpenFailureText("/m/a b.bin", file), "The file \"/m/a b.bin\" could not be opened: it holds 3.0 GiB, more than "
                                                  "there is memory for. The view is as it was.");
    for (const auto problem : {WholeFile::Problem::None, WholeFile::Problem::NotARegularFile, WholeFile::Problem::CannotRead}) {
        file.problem = problem;
        EXPECT_EQ(OpenFailureText("/m/a b.bin", file), QString());
    }
}

// A file cut off as it went on past the memory has no size to tell but that it is more.
TEST(OpenFailure, AFileThatWentOnPastTheMemoryIsToldAsHoldingMoreThanIt)
{
    WholeFile file{WholeFile::Problem::TooLarge, {}, qint64(1536) << 20, qint64(1) << 30};
    file.unended = true;
    EXPECT_EQ(OpenFailureText("/proc/self/pagemap", file), "The file \"/proc/self/pagemap\" could not be opened: it holds "
                                                            "more than the 1.0 GiB of memory that is free. The view is as it was.");
    file.available = 0;
    EXPECT_EQ(OpenFailureText("/proc/self/pagemap", file), "The file \"/proc/self/pagemap\" could not be opened: it holds "
                                                            "more than there is memory for. The view is as it was.");
}

TEST_F(WindowTest, MidiAndRawSavesWriteTheGoldenFilesAndCancelledOnesNothing)
{
    w().BinaryTa().SetText(NoteLine("3C"));
    dialogs().Cancel();
    dialogs().Cancel();
    Click(w().MidiSaveButton());
    Click(w().FilesaveButton());
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());

    Through(w().MidiSaveButton(), Path("one.mid"));
    ASSERT_EQ(dialogs().Requests().size(), 3u);
    const auto& request = dialogs().Requests()[2];
    EXPECT_EQ(std::tuple(request.save, request.filter, request.defaultName), std::tuple(true, QString(), QString("Test.mid")));
    EXPECT_EQ(ReadBytes(Path("one.mid")), QByteArray::fromHex("4D546864000000060000000101E04D54726B00000010"
                                                              "00C00000903C558318903C0048FF2F00"));
    EXPECT_EQ(Track(), "90 3C 55 83 18 90 3C 00 48 |") << "saving changes nothing";

    WriteBytes(Path("raw.bin"), "earlier contents, longer than the new ones");
    w().BinaryTa().SetText(NoteLine("3c") + "9 0");
    Through(w().FilesaveButton(), Path("raw.bin"));
    EXPECT_EQ(dialogs().Requests()[3].defaultName, "Sample.mid");
    EXPECT_EQ(ReadBytes(Path("raw.bin")), QByteArray::fromHex("903C558318903C004890"));
    EXPECT_EQ(Leftovers(dir_.path(), {"raw.bin", "one.mid"}), QStringList());
    EXPECT_TRUE(messages_.isEmpty());
}

// Nothing but a regular file is saved over: a FIFO without a reader would block
// the window, and a device (as root) would be replaced by a file.
TEST_F(WindowTest, SaveThatCannotCreateTheFileOrFindsNoFileThereSaysWhichAndWhy)
{
    QDir(dir_.path()).mkdir("song.mid");
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.mid")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(Path("loop.mid"), Path("loop.mid")));
    const QString special = "the name is that of a device, a pipe or a socket, not of a file.";
    QList<std::pair<QString, QString>> cases = {{Path("song.mid"), "the name is that of a folder."},
                                                {Path("missing/x.mid"), "does not exist"},
                                                {Path("fifo.mid"), special},
                                                {Path("loop.mid"), SystemWords(ELOOP)}};
    // Root makes a node of its own: a fault must not replace the system's.
    const QString device = ::geteuid() == 0 ? Path("null.mid") : "/dev/null";
    if (::geteuid() != 0 || ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        cases.append({device, special});
    else
        std::printf("Device node: not checked, as this machine refuses to make one (%s).\n", std::strerror(errno));
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.toStdString());
        messages_.clear();
        w().BinaryTa().SetText(NoteLine("3C"));
        Through(w().MidiSaveButton(), path);
        const QString told = messages_.join("\n");
        EXPECT_EQ(messages_.size(), 1) << told.toStdString();
        EXPECT_TRUE(told.startsWith(QString("The file \"%1\" could not be saved: ").arg(QDir::toNativeSeparators(path))))
            << told.toStdString();
        EXPECT_TRUE(told.contains(reason)) << told.toStdString();
    }
    EXPECT_TRUE(QFileInfo(Path("song.mid")).isDir());
    EXPECT_TRUE(S_ISFIFO(Stat(Path("fifo.mid")).st_mode));
    EXPECT_EQ(S_ISCHR(Stat(device).st_mode), cases.size() == 5);
    EXPECT_TRUE(QFileInfo(Path("loop.mid")).isSymLink());
    EXPECT_EQ(Leftovers(dir_.path(), {"fifo.mid", "null.mid", "loop.mid"}), QStringList());
}

// Every case through both buttons: the earlier file (or no file) stays, no part is
// left beside it, and the message names the file and what the system said.
TEST_F(WindowTest, SaveThatHitsTheFileSizeLimitKeepsTheEarlierFileLeavesNoPartAndSaysWhy)
{
    WriteBytes(Path("song.mid"), "earlier contents");
    // The link stays, and the target a failed save made through it goes.
    ASSERT_TRUE(QFile::link("new.mid", Path("link to new.mid")));
    // Gone already while the message is up, not only once it is closed.
    QStringList leftWhileTold;
    SetUserMessageSink([&](const QString& text) {
        messages_ << text;
        leftWhileTold << Leftovers(dir_.path(), {"song.mid", "link to new.mid"});
    });
    // 10,000 bytes fail only when the stream is closed and flushes them; 200,000
    // fail while they are written, before Close.
    for (const int bytes : {10000, 200000}) {
        for (Control* button : {static_cast<Control*>(&w().FilesaveButton()), static_cast<Control*>(&w().MidiSaveButton())}) {
            for (const QString name : {"song.mid", "new.mid", "link to new.mid"}) {
                SCOPED_TRACE(QString("%1 bytes to %2 by %3").arg(bytes).arg(name, button->Name()).toStdString());
                messages_.clear();
                w().BinaryTa().SetText(QString("7F ").repeated(bytes));
                {
                    FileSizeLimit limit(4096);
                    Through(*button, Path(name));
                }
                ASSERT_EQ(messages_.size(), 1);
                EXPECT_EQ(messages_[0], QString("The file \"%1\" could not be saved: cannot write: %2. Nothing was written.")
                                            .arg(QDir::toNativeSeparators(Path(name)), SystemWords(EFBIG)));
                EXPECT_EQ(ReadBytes(Path("song.mid")), "earlier contents");
                EXPECT_FALSE(QFileInfo::exists(Path("new.mid")));
                EXPECT_EQ(Leftovers(dir_.path(), {"song.mid", "link to new.mid"}), QStringList());
            }
        }
    }
    EXPECT_EQ(leftWhileTold, QStringList());
}

TEST_F(WindowTest, SaveOverAFileKeepsWhatItHasAndFollowsLinksEvenToAMissingFile)
{
    WriteBytes(Path("theirs.bin"), "earlier");
    ASSERT_EQ(SetMode(Path("theirs.bin"), 0640), 0);
    const bool owned = ChangeOwnerAsRoot(Path("theirs.bin"), 12345, 12345);
    // The saver's own file, in a group of another: only the group to give back.
    WriteBytes(Path("our group.bin"), "earlier");
    const bool grouped = ChangeOwnerAsRoot(Path("our group.bin"), ::geteuid(), 12345);
    const bool tagged = ::setxattr(QFile::encodeName(Path("theirs.bin")).constData(), "user.quorvanel.tag", "kept", 4, 0) == 0;
    if (!tagged) {
        ASSERT_EQ(errno, ENOTSUP) << std::strerror(errno);
        std::printf("Extended attributes kept: not checked, as this file system takes none.\n");
    }
    ASSERT_TRUE(QFile::link("theirs.bin", Path("link.bin")));
    ASSERT_TRUE(QFile::link("made.bin", Path("dangling.bin")));
    w().BinaryTa().SetText("01 02 03");
    for (const char* name : {"link.bin", "dangling.bin", "our group.bin"})
        Through(w().FilesaveButton(), Path(name));
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("\n").toStdString();

    for (const char* name : {"theirs.bin", "made.bin", "our group.bin"})
        EXPECT_EQ(ReadBytes(Path(name)), QByteArray::fromHex("010203")) << name;
    EXPECT_TRUE(QFileInfo(Path("link.bin")).isSymLink());
    EXPECT_TRUE(QFileInfo(Path("dangling.bin")).isSymLink());
    const struct stat st = Stat(Path("theirs.bin"));
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (owned) {
        EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(12345u, 12345u));
    }
    if (grouped) {
        EXPECT_EQ(Stat(Path("our group.bin")).st_gid, 12345u);
    }
    char tag[8]{};
    if (tagged) {
        EXPECT_EQ(::getxattr(QFile::encodeName(Path("theirs.bin")).constData(), "user.quorvanel.tag", tag, 8), 4);
        EXPECT_STREQ(tag, "kept");
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(Stat(Path("made.bin")).st_mode & 07777, 0666 & ~mask);
    EXPECT_EQ(Leftovers(dir_.path(), {"theirs.bin", "link.bin", "dangling.bin", "made.bin", "our group.bin"}), QStringList());
}

// Folders all may write in, as /tmp. A link planted there by another user is not
// followed: the save would replace whatever it names. Another user's file the
// saver may write is rewritten in place, sticky folder or not: a replacement
// could not take its place there, and elsewhere would take the saver as owner.
TEST_F(WindowTest, SaveInAFolderAllMayWriteInFollowsNoLinkOfAnotherUserAndKeepsTheirFiles)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can act as another user";
    const FallbackFoldersLeftAsFound fallback{65534};
    ASSERT_EQ(SetMode(dir_.path(), 0755), 0);
    const QString sticky = Path("sticky"), open = Path("open");
    for (const auto& [folder, mode] : {std::pair{sticky, 01777}, {open, 0777}}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(SetMode(folder, mode), 0);
        WriteBytes(folder + "/song.mid", "earlier contents");
        ASSERT_EQ(SetMode(folder + "/song.mid", 0664), 0);
        ASSERT_EQ(::chown(QFile::encodeName(folder + "/song.mid").constData(), 12345, 65534), 0);
    }
    WriteBytes(Path("mine.mid"), "mine");
    ASSERT_TRUE(QFile::link(Path("mine.mid"), sticky + "/Test.mid"));
    ASSERT_EQ(::lchown(QFile::encodeName(sticky + "/Test.mid").constData(), 65534, 65534), 0);
    if (ProtectedSymlinks protection; protection.on) {
        w().BinaryTa().SetText(NoteLine("3C"));
        Through(w().MidiSaveButton(), sticky + "/Test.mid");
        EXPECT_EQ(messages_, QStringList(QString("The file \"%1\" could not be saved: the name is a link of another user "
                                                 "in a shared folder, which is not followed. Nothing was written.")
                                             .arg(QDir::toNativeSeparators(sticky + "/Test.mid"))));
        EXPECT_EQ(ReadBytes(Path("mine.mid")), "mine");
        EXPECT_TRUE(QFileInfo(sticky + "/Test.mid").isSymLink());
    } else {
        std::printf("Link of another user: not checked, as fs.protected_symlinks is off and cannot be turned on.\n");
    }

    messages_.clear();
    w().BinaryTa().SetText("41 42 43");
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool asNobody = ::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0
                              && ::setresuid(65534, 65534, 65534) == 0;
        for (const QString& folder : {sticky, open})
            Through(w().FilesaveButton(), folder + "/song.mid");
        std::fprintf(stderr, "%s", messages_.join("\n").toLocal8Bit().constData());
        ::_exit(asNobody && messages_.isEmpty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "saved as nobody; its messages are above";
    for (const QString& folder : {sticky, open}) {
        SCOPED_TRACE(folder.toStdString());
        EXPECT_EQ(ReadBytes(folder + "/song.mid"), "ABC");
        const struct stat st = Stat(folder + "/song.mid");
        EXPECT_EQ(std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777), std::tuple(12345u, 65534u, 0664u));
        EXPECT_EQ(Leftovers(folder, {"song.mid", "Test.mid"}), QStringList());
    }
}

// No temporary file can be made beside it, so the file itself is rewritten: that
// succeeds, and a failure puts the earlier bytes back.
TEST_F(WindowTest, SaveInAFolderThatTakesNoNewFileRewritesTheFileInPlace)
{
    const QString folder = Path("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + "/song.mid";
    WriteBytes(file, "earlier contents, longer than the new ones");
    const ino_t inode = Stat(file).st_ino;
    ASSERT_EQ(SetMode(folder, 0555), 0);
    // The save's one message, which must hold the words.
    const auto save = [&](const QString& path, const QString& text, rlim_t limit, const QString& words) {
        messages_.clear();
        w().BinaryTa().SetText(text);
        {
            WithoutDacOverride asAnyUser;
            FileSizeLimit fileSize(limit);
            Through(w().FilesaveButton(), path);
        }
        EXPECT_EQ(messages_.size(), words.isEmpty() ? 0 : 1) << messages_.join("\n").toStdString();
        EXPECT_TRUE(messages_.join("").contains(words)) << messages_.join("\n").toStdString();
    };

    // A block too large for the stream's buffer is held as it is until the commit.
    save(file, QString("7F ").repeated(70000), RLIM_INFINITY, "");
    EXPECT_TRUE(ReadBytes(file) == QByteArray(70000, 0x7F));
    save(file, "41 42 43", RLIM_INFINITY, "");
    EXPECT_EQ(ReadBytes(file), "ABC");
    EXPECT_EQ(Stat(file).st_ino, inode) << "written in place, not replaced";
    save(file, QString("7F ").repeated(300), 100, ": cannot write: " + SystemWords(EFBIG) + ". Nothing was written.");
    EXPECT_EQ(ReadBytes(file), "ABC");
    save(folder + "/new.mid", "41", RLIM_INFINITY, "cannot be written in");
    // A file its user may not write is not replaced, even where the folder would
    // take its replacement.
    WriteBytes(Path("read-only.mid"), "kept");
    ASSERT_EQ(SetMode(Path("read-only.mid"), 0444), 0);
    ASSERT_TRUE(QFile::link("read-only.mid", Path("its link.mid")));
    for (const char* name : {"read-only.mid", "its link.mid"})
        save(Path(name), "41", RLIM_INFINITY, "the file is read-only");
    EXPECT_EQ(ReadBytes(Path("read-only.mid")), "kept");

    // Longer than the limit already: only the bytes that were overwritten go back,
    // which the limit lets through.
    ASSERT_EQ(SetMode(folder, 0755), 0);
    WriteBytes(file, QByteArray(300, 'e'));
    ASSERT_EQ(SetMode(folder, 0555), 0);
    save(file, QString("7F ").repeated(200), 100, "Nothing was written.");
    EXPECT_EQ(ReadBytes(file), QByteArray(300, 'e'));

    ASSERT_EQ(SetMode(folder, 0755), 0);
    EXPECT_EQ(Leftovers(folder, {"song.mid"}), QStringList());
}

// In a folder that takes no new file, a file another program is saving (it holds
// the file's lock) is not rewritten, and the user is told why: not that the
// folder refuses new files, which alone would have let the save go ahead.
TEST_F(WindowTest, SaveInAFolderThatTakesNoNewFileOfAFileBeingSavedElsewhereSaysSo)
{
    const QString folder = Path("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + "/song.mid";
    WriteBytes(file, "earlier");
    const int other = ::open(QFile::encodeName(file).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(other, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(other, F_OFD_SETLK, &lock), 0);
    ASSERT_EQ(SetMode(folder, 0555), 0);
    w().BinaryTa().SetText("41 42 43");
    {
        WithoutDacOverride asAnyUser;
        Through(w().FilesaveButton(), file);
    }
    ::close(other);
    EXPECT_EQ(messages_.join("\n").toStdString(),
              QString("The file \"%1\" could not be saved: another program is saving the file. Nothing was written.")
                  .arg(QDir::toNativeSeparators(file)).toStdString());
    EXPECT_EQ(ReadBytes(file), "earlier");
    ASSERT_EQ(SetMode(folder, 0755), 0);
    EXPECT_EQ(Leftovers(folder, {"song.mid"}), QStringList());
}

// A file its user may write but not read. Where a replacement loses nothing it is
// saved and keeps its mode; where it must be rewritten in place (another owner,
// another name), which reads it first, the user is told so, not that it is read-only.
TEST_F(WindowTest, SaveOverAFileThatMayBeWrittenButNotReadSaysItCannotBeRead)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can act as another user";
    ASSERT_EQ(SetMode(dir_.path(), 0755), 0);
    const QString folder = Path("shared");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
    for (const auto& [name, mode, owner] : {std::tuple{"group.mid", 0620, 12345}, {"linked.mid", 0200, 65534},
                                            {"alone.mid", 0200, 65534}, {"closed.mid", 0600, 12345}}) {
        WriteBytes(folder + "/" + name, "earlier");
        ASSERT_EQ(::chown(QFile::encodeName(folder + "/" + name).constData(), owner, 65534), 0);
        ASSERT_EQ(SetMode(folder + "/" + name, mode), 0);
    }
    ASSERT_EQ(::link(QFile::encodeName(folder + "/linked.mid").constData(),
                     QFile::encodeName(folder + "/second.mid").constData()),
              0);

    w().BinaryTa().SetText("41 42 43");
    const std::optional<QByteArray> told = InChild([&]() -> std::optional<QByteArray> {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
            return std::nullopt;
        for (const char* name : {"group.mid", "linked.mid", "alone.mid", "closed.mid"})
            Through(w().FilesaveButton(), folder + "/" + name);
        return messages_.join("\n").toUtf8();
    });
    EXPECT_TRUE(told) << "saved as nobody";
    const QByteArray text = told.value_or(QByteArray());

    const QString why = "could not be saved: the file can be written but not read, and it can only be saved by "
                        "rewriting it in place, which reads it first. Nothing was written.";
    EXPECT_EQ(QString::fromUtf8(text).toStdString(),
              QString("The file \"%1/group.mid\" %2\nThe file \"%1/linked.mid\" %2\n"
                      "The file \"%1/closed.mid\" could not be saved: the file is read-only. Nothing was written.")
                  .arg(QDir::toNativeSeparators(folder), why)
                  .toStdString());
    for (const char* name : {"group.mid", "second.mid", "closed.mid"})
        EXPECT_EQ(ReadBytes(folder + "/" + name), "earlier") << name;
    EXPECT_EQ(ReadBytes(folder + "/alone.mid"), "ABC");
    const struct stat st = Stat(folder + "/alone.mid");
    EXPECT_EQ(std::tuple(st.st_uid, st.st_mode & 07777), std::tuple(65534u, 0200u));
    EXPECT_EQ(Leftovers(folder, {"group.mid", "linked.mid", "second.mid", "alone.mid", "closed.mid"}), QStringList());
}

// Up to the system's limit of 4,095 bytes a path is saved through the dialog, and
// a failure there is told for what it is, not as a name too long.
TEST_F(WindowTest, SaveAtAPathNearTheSystemsLimitWritesTheFileOrSaysWhyNot)
{
    const QString folder = FolderOfLength(Path("long"), 4095 - 9);
    ASSERT_FALSE(folder.isEmpty());
    const QString path = folder + "/Test.mid";
    w().BinaryTa().SetText(NoteLine("3C"));
    Through(w().MidiSaveButton(), path);
    EXPECT_EQ(messages_.join("\n").toStdString(), "");
    const QByteArray saved = ReadBytes(path);
    EXPECT_EQ(saved, QByteArray::fromHex("4D546864000000060000000101E04D54726B00000010"
                                         "00C00000903C558318903C0048FF2F00"));

    ASSERT_EQ(SetMode(path, 0444), 0);
    w().BinaryTa().SetText("41");
    {
        WithoutDacOverride asAnyUser;
        Through(w().FilesaveButton(), path);
    }
    EXPECT_EQ(messages_.join("\n").toStdString(),
              QString("The file \"%1\" could not be saved: the file is read-only. Nothing was written.")
                  .arg(QDir::toNativeSeparators(path)).toStdString());
    EXPECT_EQ(ReadBytes(path), saved);
    EXPECT_EQ(Leftovers(folder, {"Test.mid"}), QStringList());
}
