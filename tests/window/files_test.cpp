// Files through the controls: dumps by a real drop and through the open dialog,
// MIDI and raw saves through the save dialog, and every way a save can fail.
#include "fixture.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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

// Root writes in any folder; without the capability that lets it, it meets a
// read-only folder as every other user does. Nothing to drop for those.
struct WithoutDacOverride {
    WithoutDacOverride()
    {
        syscall(SYS_capget, &header, saved);
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        syscall(SYS_capset, &header, reduced);
    }
    ~WithoutDacOverride() { syscall(SYS_capset, &header, saved); }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
};

int SetMode(const QString& path, mode_t mode) { return ::chmod(QFile::encodeName(path).constData(), mode); }

struct stat Stat(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st), st;
}

QString SystemWords(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

TEST_F(WindowTest, DroppedAndOpenedFilesAreDumpedAndFoldersTextMissingOrCancelledOnesChangeNothing)
{
    WriteBytes(Path("a.bin"), kSeventeen);
    WriteBytes(Path("first.bin"), "A");
    WriteBytes(Path("second.bin"), "B");
    Click(w().BBV(3));
    DropOn(w().QtWindow(), {Path("a.bin")});
    EXPECT_EQ(Columns(), kSeventeenDump);
    EXPECT_EQ(w().vv, "14");
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
}

TEST_F(WindowTest, AnEmptyFileDroppedOrOpenedAfterAnotherShowsTheEmptyDump)
{
    WriteBytes(Path("a.bin"), kSeventeen);
    WriteBytes(Path("empty.bin"), QByteArray());
    for (bool throughDialog : {false, true}) {
        SCOPED_TRACE(throughDialog ? "opened" : "dropped");
        DropOn(w().QtWindow(), {Path("a.bin")});
        ASSERT_EQ(Columns(), kSeventeenDump);
        throughDialog ? Through(w().FileOpenButton(), Path("empty.bin")) : DropOn(w().QtWindow(), {Path("empty.bin")});
        EXPECT_EQ(Columns(), QStringList({"00000000:|", "", ""}));
    }
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

TEST_F(WindowTest, SaveThatCannotCreateTheFileSaysWhichAndWhy)
{
    QDir(dir_.path()).mkdir("folder");
    // A folder that takes no new file is the in-place test's.
    for (const auto& c : {std::pair{Path("folder"), "folder"}, {Path("missing/x.mid"), "does not exist"}}) {
        SCOPED_TRACE(c.first.toStdString());
        messages_.clear();
        w().BinaryTa().SetText(NoteLine("3C"));
        Through(w().MidiSaveButton(), c.first);
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].contains(QDir::toNativeSeparators(c.first))) << messages_[0].toStdString();
        EXPECT_TRUE(messages_[0].contains(c.second)) << messages_[0].toStdString();
    }
    EXPECT_TRUE(QFileInfo(Path("folder")).isDir());
}

// Every case through both buttons: the earlier file (or no file) stays, no part is
// left beside it, and the message names the file and what the system said.
TEST_F(WindowTest, SaveThatHitsTheFileSizeLimitKeepsTheEarlierFileLeavesNoPartAndSaysWhy)
{
    WriteBytes(Path("song.mid"), "earlier contents");
    // Gone already while the message is up, not only once it is closed.
    QStringList leftWhileTold;
    SetSaveFailureSink([&](const QString& text) {
        messages_ << text;
        leftWhileTold << Leftovers(dir_.path(), {"song.mid"});
    });
    // 10,000 bytes fail only when the stream is closed and flushes them; 200,000
    // fail while they are written, before Close.
    for (const int bytes : {10000, 200000}) {
        for (Control* button : {static_cast<Control*>(&w().FilesaveButton()), static_cast<Control*>(&w().MidiSaveButton())}) {
            for (const QString name : {"song.mid", "new.mid"}) {
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
                EXPECT_FALSE(QFile::exists(Path("new.mid")));
                EXPECT_EQ(Leftovers(dir_.path(), {"song.mid"}), QStringList());
            }
        }
    }
    EXPECT_EQ(leftWhileTold, QStringList());
}

TEST_F(WindowTest, SaveOverAFileKeepsItsOwnerGroupAndModeAndFollowsALink)
{
    WriteBytes(Path("theirs.bin"), "earlier");
    ASSERT_EQ(SetMode(Path("theirs.bin"), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(Path("theirs.bin")).constData(), 12345, 12345), 0);
    }
    ASSERT_TRUE(QFile::link("theirs.bin", Path("link.bin")));
    w().BinaryTa().SetText("01 02 03");
    Through(w().FilesaveButton(), Path("link.bin"));
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_EQ(ReadBytes(Path("theirs.bin")), QByteArray::fromHex("010203"));
    EXPECT_TRUE(QFileInfo(Path("link.bin")).isSymLink());
    const struct stat st = Stat(Path("theirs.bin"));
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(12345u, 12345u));
    }
    EXPECT_EQ(Leftovers(dir_.path(), {"theirs.bin", "link.bin"}), QStringList());
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
        EXPECT_EQ(messages_.size(), words.isEmpty() ? 0 : 1) << messages_.join("").toStdString();
        EXPECT_TRUE(messages_.join("").contains(words)) << messages_.join("").toStdString();
    };

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
    save(Path("read-only.mid"), "41", RLIM_INFINITY, "the file is read-only");
    EXPECT_EQ(ReadBytes(Path("read-only.mid")), "kept");

    // Longer than the limit already: only the bytes that were overwritten go back,
    // which the limit lets through.
    ASSERT_EQ(SetMode(folder, 0755), 0);
    WriteBytes(file, QByteArray(300, 'e'));
    ASSERT_EQ(SetMode(folder, 0555), 0);
    save(file, QString("7F ").repeated(200), 100, "Nothing was written.");
    EXPECT_TRUE(messages_.join("").endsWith("Nothing was written."));
    EXPECT_EQ(ReadBytes(file), QByteArray(300, 'e'));

    ASSERT_EQ(SetMode(folder, 0755), 0);
    EXPECT_EQ(Leftovers(folder, {"song.mid"}), QStringList());
}

TEST_F(WindowTest, ATrackOfOver64KiBGetsItsWholeLengthInTheChunkAndItsRawFileEveryByte)
{
    // 7,300 note lines spell 65,700 bytes: the chunk length, 65,707, needs its third byte.
    QString text;
    QByteArray events;
    for (int i = 0; i < 7300; ++i) {
        const QByteArray key = QByteArray::number(0x30 + i % 40, 16).toUpper();
        text += NoteLine(QString::fromLatin1(key));
        events += QByteArray::fromHex("90" + key + "55831890" + key + "0048");
    }
    w().BinaryTa().SetText(text);
    Through(w().MidiSaveButton(), Path("long.mid"));
    Through(w().FilesaveButton(), Path("long.bin"));
    // The whole file, so a length cut to two bytes, a lost event or a track end
    // out of place all show.
    EXPECT_TRUE(ReadBytes(Path("long.mid")) == QByteArray::fromHex("4D546864000000060000000101E04D54726B000100AB00C00000") +
                                                    events + QByteArray::fromHex("FF2F00"));
    EXPECT_TRUE(ReadBytes(Path("long.bin")) == events);
}
