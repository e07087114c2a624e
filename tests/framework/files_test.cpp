// FolderItem, BinaryStream and DragItem.
#include "framework/binarystream.h"
#include "framework/dragitem.h"
#include "framework/exceptions.h"
#include "framework/folderitem.h"
#include "helpers.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(BinaryStreamRead, ReadsEveryByteThenReachesEndOfFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.bin"));
    QByteArray bytes(200000, 0);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(QRandomGenerator::global()->bounded(256));
    WriteFile(path, bytes);
    FolderItem item(path);
    auto s = BinaryStream::Open(item, false);
    QByteArray back;
    while (!s->EndOfFile())
        back.append(char(s->ReadInt8()));
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(s->Position(), bytes.size());
    EXPECT_THROW(s->ReadInt8(), IOException);
    s->Close();
}

TEST(BinaryStreamRead, ReadInt8IsSignedAndReadGivesBlocks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.bin"));
    WriteFile(path, QByteArray("\xff\x7f\x80xyz", 6));
    FolderItem item(path);
    auto s = BinaryStream::Open(item);
    EXPECT_EQ(s->ReadInt8(), -1);
    EXPECT_EQ(s->ReadInt8(), 127);
    EXPECT_EQ(s->ReadUInt8(), 0x80);
    EXPECT_EQ(s->Read(10), QByteArray("xyz"));
    EXPECT_TRUE(s->EndOfFile());
}

TEST(BinaryStreamRead, EmptyFileIsAtItsEndAtOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty"));
    WriteFile(path, {});
    FolderItem item(path);
    EXPECT_TRUE(BinaryStream::Open(item)->EndOfFile());
}

TEST(BinaryStreamRead, MissingFileOrFolderRaisesIOExceptionWithTheItemsErrorCode)
{
    QTemporaryDir dir;
    FolderItem missing(dir.filePath(QStringLiteral("nope")));
    EXPECT_FALSE(missing.Exists());
    try {
        BinaryStream::Open(missing);
        FAIL() << "no exception";
    } catch (const IOException& e) {
        EXPECT_NE(e.ErrorNumber(), 0);
        EXPECT_EQ(e.ErrorNumber(), missing.LastErrorCode());
    }
    FolderItem folder(dir.path());
    EXPECT_THROW(BinaryStream::Open(folder), IOException);
    FolderItem file(dir.filePath(QStringLiteral("x")));
    EXPECT_THROW(BinaryStream::Open(file, true), InvalidArgumentException);
}

// Every read, whole bytes or blocks, on a stream that is not open for reading.
TEST(BinaryStreamRead, ReadsOnAWriteStreamOrAClosedStreamRaiseIOException)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.bin"));
    FolderItem item(path);
    auto writing = item.CreateBinaryFile(QString());
    ASSERT_NE(writing, nullptr);
    writing->Write(QByteArray("unwritten"));

    WriteFile(dir.filePath(QStringLiteral("in.bin")), QByteArray("abc"));
    FolderItem input(dir.filePath(QStringLiteral("in.bin")));
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

TEST(BinaryStreamWrite, ClosedStreamLeavesExactlyTheWrittenBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Test.mid"));
    WriteFile(path, QByteArray(1000, 'x'));
    FolderItem item(path);
    auto s = item.CreateBinaryFile(QStringLiteral("binary/midi"));
    ASSERT_NE(s, nullptr);
    QByteArray expected;
    for (int i = 0; i < 150000; ++i) {
        s->WriteInt8(std::int8_t(i * 7));
        expected.append(char(i * 7));
    }
    EXPECT_EQ(ReadFile(path), QByteArray(1000, 'x'));  // nothing visible before Close
    s->Close();
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Test.mid")});
}

TEST(BinaryStreamWrite, UnclosedStreamLeavesTheEarlierFileAndNoPartialFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Sample.mid"));
    WriteFile(path, QByteArray("earlier"));
    {
        FolderItem item(path);
        auto s = item.CreateBinaryFile(QString());
        ASSERT_NE(s, nullptr);
        s->Write(QByteArray(100000, 'y'));
    }
    EXPECT_EQ(ReadFile(path), QByteArray("earlier"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Sample.mid")});
}

TEST(BinaryStreamWrite, FailedCommitIsAnIOException)
{
    QTemporaryDir dir;
    const QString sub = dir.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(sub));
    FolderItem item(sub + QStringLiteral("/out.bin"));
    auto s = item.CreateBinaryFile(QString());
    ASSERT_NE(s, nullptr);
    s->WriteInt8(1);
    ASSERT_TRUE(QDir(sub).removeRecursively());
    EXPECT_THROW(s->Close(), IOException);
    EXPECT_FALSE(QFile::exists(sub + QStringLiteral("/out.bin")));
}

TEST(BinaryStreamWrite, UncreatableFileGivesNoStream)
{
    QTemporaryDir dir;
    FolderItem inMissingFolder(dir.filePath(QStringLiteral("no/such/folder/x.mid")));
    EXPECT_EQ(inMissingFolder.CreateBinaryFile(QString()), nullptr);
    FolderItem folder(dir.path());
    EXPECT_EQ(folder.CreateBinaryFile(QString()), nullptr);
}

TEST(BinaryStreamWrite, EmptyFileIsCreatedWhenNothingIsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.bin"));
    FolderItem item(path);
    auto s = item.CreateBinaryFile(QString());
    ASSERT_NE(s, nullptr);
    s->Close();
    EXPECT_TRUE(item.Exists());
    EXPECT_EQ(item.Length(), 0);
}

TEST(DragItemData, FirstLocalFileBecomesTheFolderItem)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.bin")), QUrl::fromLocalFile(QStringLiteral("/tmp/b.bin"))});
    DragItem d = DragItem::FromMimeData(data);
    ASSERT_TRUE(d.FolderItemAvailable());
    EXPECT_EQ(d.FolderItem()->NativePath(), QStringLiteral("/tmp/a.bin"));
}

TEST(DragItemData, TextAndRemoteUrlsCarryNoFolderItem)
{
    QMimeData text;
    text.setText(QStringLiteral("/tmp/a.bin"));
    EXPECT_FALSE(DragItem::FromMimeData(text).FolderItemAvailable());
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/a.bin"))});
    EXPECT_FALSE(DragItem::FromMimeData(remote).FolderItemAvailable());
    EXPECT_EQ(DragItem().FolderItem(), nullptr);
}
