// Files through the controls: dumps by a real drop and through the open dialog,
// MIDI and raw saves through the save dialog, and every way a save can fail.
#include "fixture.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QUrl>
#include <csignal>
#include <sys/resource.h>

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
const QString kSeventeenHex = "48 65 6C 6C 6F 0A 00 1F 20 41 7E 7F 80 FF 30 39 |5A ";
const QString kSeventeenChars = "H e l l o - - -   A ~ - - - 0 9 |Z ";

// Files in the folder other than the ones named: a failed save must leave none.
QStringList Leftovers(const QString& folder, const QStringList& expected)
{
    QStringList found = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : expected)
        found.removeAll(e);
    return found;
}

}  // namespace

TEST_F(WindowTest, DroppedAndOpenedFilesAreDumpedAndFoldersTextMissingOrCancelledOnesChangeNothing)
{
    WriteBytes(Path("a.bin"), kSeventeen);
    WriteBytes(Path("first.bin"), "A");
    WriteBytes(Path("second.bin"), "B");
    Click(w().BBV(3));
    DropOn(w().QtWindow(), {Path("a.bin")});
    EXPECT_EQ(Shown(w().BinaryTa()), kSeventeenHex);
    EXPECT_EQ(Shown(w().FutterTa()), kSeventeenChars);
    EXPECT_EQ(Shown(w().HedderTa()), "00000000:|00000010:|");
    EXPECT_EQ(w().vv, "14");

    DropOn(w().BinaryTa().Widget(), {Path("first.bin"), Path("second.bin")});
    EXPECT_EQ(Shown(w().BinaryTa()), "41 ");
    EXPECT_EQ(Shown(w().FutterTa()), "A ");
    EXPECT_EQ(Shown(w().HedderTa()), "00000000:|");

    DropOn(w().QtWindow(), {dir_.path()});
    DropOn(w().QtWindow(), {}, "22 33");
    EXPECT_EQ(Shown(w().HedderTa()) + Shown(w().BinaryTa()) + Shown(w().FutterTa()), "00000000:|41 A ");

    dialogs().Answer(Path("a.bin"));
    dialogs().Cancel();
    dialogs().Answer(Path("gone.bin"));
    dialogs().Answer(dir_.path());
    for (int i = 0; i < 4; ++i)
        Click(w().FileOpenButton());
    ASSERT_EQ(dialogs().Requests().size(), 4u);
    EXPECT_FALSE(dialogs().Requests()[0].save);
    EXPECT_EQ(dialogs().Requests()[0].filter, "accept/all");
    w().DropOpen(std::make_shared<FolderItem>(Path("gone.bin")));
    EXPECT_EQ(Shown(w().BinaryTa()), kSeventeenHex);
    EXPECT_EQ(Shown(w().FutterTa()), kSeventeenChars);
    EXPECT_TRUE(messages_.isEmpty()) << "a failed open stays silent";
}

TEST_F(WindowTest, MidiAndRawSavesWriteTheGoldenFilesAndCancelledOnesNothing)
{
    w().BinaryTa().SetText(NoteLine("3C"));
    dialogs().Cancel();
    dialogs().Cancel();
    Click(w().MidiSaveButton());
    Click(w().FilesaveButton());
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());

    dialogs().Answer(Path("one.mid"));
    Click(w().MidiSaveButton());
    ASSERT_EQ(dialogs().Requests().size(), 3u);
    EXPECT_TRUE(dialogs().Requests()[2].save);
    EXPECT_EQ(dialogs().Requests()[2].filter, "");
    EXPECT_EQ(dialogs().Requests()[2].defaultName, "Test.mid");
    EXPECT_EQ(ReadBytes(Path("one.mid")), QByteArray::fromHex("4D546864000000060000000101E04D54726B00000010"
                                                              "00C00000903C558318903C0048FF2F00"));
    EXPECT_EQ(Track(), "90 3C 55 83 18 90 3C 00 48 |") << "saving changes nothing";

    WriteBytes(Path("raw.bin"), "earlier contents, longer than the new ones");
    w().BinaryTa().SetText(NoteLine("3c") + "9 0");
    dialogs().Answer(Path("raw.bin"));
    Click(w().FilesaveButton());
    EXPECT_EQ(dialogs().Requests()[3].defaultName, "Sample.mid");
    EXPECT_EQ(ReadBytes(Path("raw.bin")), QByteArray::fromHex("903C558318903C004890"));
    EXPECT_EQ(Leftovers(dir_.path(), {"raw.bin", "one.mid"}), QStringList());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(WindowTest, SaveThatCannotCreateTheFileSaysWhichAndWhy)
{
    QDir(dir_.path()).mkdir("folder");
    for (const auto& c : {std::pair{Path("folder"), "folder"}, {Path("missing/x.mid"), "does not exist"},
                          {QStringLiteral("/proc/quorvanel-test.mid"), "cannot be written in"}}) {
        SCOPED_TRACE(c.first.toStdString());
        messages_.clear();
        w().BinaryTa().SetText(NoteLine("3C"));
        dialogs().Answer(c.first);
        Click(w().MidiSaveButton());
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].contains(QDir::toNativeSeparators(c.first))) << messages_[0].toStdString();
        EXPECT_TRUE(messages_[0].contains(c.second)) << messages_[0].toStdString();
    }
    EXPECT_TRUE(QFileInfo(Path("folder")).isDir());
    EXPECT_FALSE(QFile::exists("/proc/quorvanel-test.mid"));
}

TEST_F(WindowTest, SaveThatRunsOutOfSpaceKeepsTheEarlierFileAndLeavesNoPart)
{
    WriteBytes(Path("song.mid"), "earlier contents");
    w().BinaryTa().SetText(QString("7F ").repeated(200000));  // 200,000 bytes to write
    dialogs().Answer(Path("song.mid"));
    // A file size limit makes every write past it fail, as a full disk does.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Click(w().FilesaveButton());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QDir::toNativeSeparators(Path("song.mid")))) << messages_[0].toStdString();
    EXPECT_TRUE(messages_[0].contains("cannot write")) << messages_[0].toStdString();
    EXPECT_EQ(ReadBytes(Path("song.mid")), "earlier contents");
    EXPECT_EQ(Leftovers(dir_.path(), {"song.mid"}), QStringList());
}
