// Files through the controls: dumps by a real drop and through the open dialog,
// MIDI and raw saves through the save dialog, and every way a save can fail.
#include "fixture.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMainWindow>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <csignal>
#include <sys/resource.h>

namespace {

constexpr QChar CR(13);

void Click(Control& c) { QTest::mouseClick(c.Widget(), Qt::LeftButton); }

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Drags the data onto the widget and drops it there, as the desktop would.
void DropOn(QWidget* target, QMimeData* data)
{
    const QPoint pos(20, 20);
    QDragEnterEvent enter(pos, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (enter.isAccepted()) {
        QDropEvent drop(QPointF(pos), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
    delete data;
}

QMimeData* Files(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

// The 17-byte file and its dump.
const QByteArray kSeventeen = Bytes({0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x0A, 0x00, 0x1F, 0x20, 0x41, 0x7E, 0x7F, 0x80,
                                     0xFF, 0x30, 0x39, 0x5A});
const QString kSeventeenHex = "48 65 6C 6C 6F 0A 00 1F 20 41 7E 7F 80 FF 30 39 |5A ";
const QString kSeventeenChars = "H e l l o - - -   A ~ - - - 0 9 |Z ";
const QString kSeventeenAddresses = "00000000:|00000010:|";

QString Shown(TextArea& a) { return a.Text().replace(CR, '|'); }

// The track text of one note line for key 3C at the defaults.
const QString kNoteLine = QString("90 3C 55 83 18 90 3C 00 48 ") + CR;

const QByteArray kEmptyMidi = Bytes({0x4D, 0x54, 0x68, 0x64, 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 0x4D, 0x54,
                                     0x72, 0x6B, 0, 0, 0, 7, 0, 0xC0, 0, 0, 0xFF, 0x2F, 0});

// Files in the folder other than the ones named: a failed save must leave none.
QStringList Leftovers(const QString& folder, const QStringList& expected)
{
    QStringList found = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : expected)
        found.removeAll(e);
    return found;
}

}  // namespace

TEST_F(WindowTest, FileDroppedOnTheWindowIsDumpedIntoTheThreeColumnsAndLeavesTheEditorState)
{
    WriteBytes(Path("a.bin"), kSeventeen);
    Click(w().BBV(3));
    DropOn(w().QtWindow(), Files({Path("a.bin")}));
    EXPECT_EQ(Shown(w().BinaryTa()), kSeventeenHex);
    EXPECT_EQ(Shown(w().FutterTa()), kSeventeenChars);
    EXPECT_EQ(Shown(w().HedderTa()), kSeventeenAddresses);
    EXPECT_EQ(w().vv, "14");
}

TEST_F(WindowTest, FileDroppedOnTheHexColumnIsDumpedTheSameWay)
{
    WriteBytes(Path("first.bin"), Bytes({0x41}));
    WriteBytes(Path("second.bin"), Bytes({0x42}));
    w().BinaryTa().SetText("90 3C ");
    DropOn(w().BinaryTa().Widget(), Files({Path("first.bin"), Path("second.bin")}));
    EXPECT_EQ(Shown(w().BinaryTa()), "41 ");
    EXPECT_EQ(Shown(w().FutterTa()), "A ");
    EXPECT_EQ(Shown(w().HedderTa()), "00000000:|");
}

TEST_F(WindowTest, DropOfAFolderOrOfTextChangesNothing)
{
    w().BinaryTa().SetText("11 ");
    w().HedderTa().SetText("x");
    DropOn(w().QtWindow(), Files({dir_.path()}));
    auto* text = new QMimeData;
    text->setText("22 33");
    DropOn(w().QtWindow(), text);
    EXPECT_EQ(w().BinaryTa().Text(), "11 ");
    EXPECT_EQ(w().HedderTa().Text(), "x");
    EXPECT_EQ(w().FutterTa().Text(), "");
}

TEST_F(WindowTest, OpenButtonDumpsTheChosenFileAndCancelledMissingOrUnreadableOpensChangeNothing)
{
    WriteBytes(Path("b.bin"), kSeventeen);
    dialogs().Answer(Path("b.bin"));
    Click(w().FileOpenButton());
    ASSERT_EQ(dialogs().Requests().size(), 1u);
    EXPECT_FALSE(dialogs().Requests()[0].save);
    EXPECT_EQ(dialogs().Requests()[0].filter, "accept/all");
    dialogs().Cancel();
    dialogs().Answer(Path("gone.bin"));
    dialogs().Answer(dir_.path());
    for (int i = 0; i < 3; ++i)
        Click(w().FileOpenButton());
    w().DropOpen(std::make_shared<FolderItem>(Path("gone.bin")));
    EXPECT_EQ(Shown(w().BinaryTa()), kSeventeenHex);
    EXPECT_EQ(Shown(w().FutterTa()), kSeventeenChars);
    EXPECT_EQ(Shown(w().HedderTa()), kSeventeenAddresses);
    EXPECT_TRUE(messages_.isEmpty()) << "a failed open stays silent";
}

TEST_F(WindowTest, MidiSaveWritesTheGoldenFile)
{
    w().BinaryTa().SetText(kNoteLine);
    dialogs().Answer(Path("one.mid"));
    Click(w().MidiSaveButton());
    ASSERT_EQ(dialogs().Requests().size(), 1u);
    EXPECT_TRUE(dialogs().Requests()[0].save);
    EXPECT_EQ(dialogs().Requests()[0].filter, "");
    EXPECT_EQ(dialogs().Requests()[0].defaultName, "Test.mid");
    const QByteArray file = ReadBytes(Path("one.mid"));
    ASSERT_EQ(file.size(), 38);
    EXPECT_EQ(file.left(22), kEmptyMidi.left(18) + Bytes({0, 0, 0, 0x10}));
    EXPECT_EQ(file.right(16), Bytes({0, 0xC0, 0, 0, 0x90, 0x3C, 0x55, 0x83, 0x18, 0x90, 0x3C, 0, 0x48, 0xFF, 0x2F, 0}));
    EXPECT_EQ(Shown(w().BinaryTa()), QString(kNoteLine).replace(CR, '|')) << "saving changes nothing";
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(WindowTest, RawSaveReplacesTheEarlierFileWithExactlyTheBytesTheHexColumnSpells)
{
    WriteBytes(Path("raw.bin"), "earlier contents, longer than the new ones");
    w().BinaryTa().SetText(QString(kNoteLine).toLower() + "9 0");
    dialogs().Answer(Path("raw.bin"));
    Click(w().FilesaveButton());
    ASSERT_EQ(dialogs().Requests().size(), 1u);
    EXPECT_EQ(dialogs().Requests()[0].defaultName, "Sample.mid");
    EXPECT_EQ(ReadBytes(Path("raw.bin")), Bytes({0x90, 0x3C, 0x55, 0x83, 0x18, 0x90, 0x3C, 0, 0x48, 0x90}));
    EXPECT_EQ(Leftovers(dir_.path(), {"raw.bin"}), QStringList());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(WindowTest, CancelledSavesWriteNothingAndSayNothing)
{
    w().BinaryTa().SetText(kNoteLine);
    dialogs().Cancel();
    dialogs().Cancel();
    Click(w().MidiSaveButton());
    Click(w().FilesaveButton());
    EXPECT_EQ(dialogs().Requests().size(), 2u);
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(WindowTest, SaveThatCannotCreateTheFileSaysWhichAndWhy)
{
    QDir(dir_.path()).mkdir("folder");
    struct Case {
        QString path;
        const char* reason;
    };
    const Case cases[] = {
        {Path("folder"), "folder"},
        {Path("missing/x.mid"), "does not exist"},
        {QStringLiteral("/proc/quorvanel-test.mid"), "cannot be written in"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        messages_.clear();
        w().BinaryTa().SetText(kNoteLine);
        dialogs().Answer(c.path);
        Click(w().MidiSaveButton());
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].contains(QDir::toNativeSeparators(c.path))) << messages_[0].toStdString();
        EXPECT_TRUE(messages_[0].contains(c.reason)) << messages_[0].toStdString();
    }
    EXPECT_TRUE(QFileInfo(Path("folder")).isDir());
    EXPECT_FALSE(QFile::exists("/proc/quorvanel-test.mid"));
}

TEST_F(WindowTest, SaveIntoAReadOnlyFolderKeepsTheEarlierFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root; /proc stands for a read-only folder above";
    QDir(dir_.path()).mkdir("ro");
    WriteBytes(Path("ro/keep.mid"), "earlier");
    QFile::setPermissions(Path("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    dialogs().Answer(Path("ro/keep.mid"));
    Click(w().FilesaveButton());
    QFile::setPermissions(Path("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains("cannot be written in")) << messages_[0].toStdString();
    EXPECT_EQ(ReadBytes(Path("ro/keep.mid")), "earlier");
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
