// FolderItem and BinaryStream: reading a file to its end, and saving that
// replaces the earlier file whole or not at all; the file dialogs' name filters.
#include "framework/files/binarystream.h"
#include "framework/files/dialogs.h"
#include "framework/files/filetype.h"
#include "framework/files/folderitem.h"
#include "framework/runtime/exceptions.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
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
