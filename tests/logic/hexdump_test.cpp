// The hex view's three texts, the file dump and the single-area dump.
#include "track/hexdump.h"
#include "track/rawfile.h"
#include "track/singledump.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray Sequence(int n) {
  QByteArray b;
  for (int i = 0; i < n; ++i) b.append(static_cast<char>(i));
  return b;
}

struct Shape {
  int size;
  int addressLines;
  bool endsWithRow;  // the hex and character texts end with CR
};

class DumpShape : public ::testing::TestWithParam<Shape> {};

TEST_P(DumpShape, HasOneRowPerSixteenBytes) {
  const Shape& s = GetParam();
  const track::HexDump d = track::DumpBytes(Sequence(s.size));
  const int rows = s.size / 16;
  EXPECT_EQ(d.address.count('\r'), s.addressLines);
  EXPECT_EQ(d.address.size(), 10 * s.addressLines);
  EXPECT_TRUE(d.address.endsWith(QByteArray::number(rows * 16, 16).toUpper().rightJustified(8, '0') + ":\r"));
  EXPECT_EQ(d.hex.count('\r'), rows);
  EXPECT_EQ(d.characters.count('\r'), rows);
  EXPECT_EQ(d.hex.size(), 3 * s.size + rows);
  EXPECT_EQ(d.characters.size(), 2 * s.size + rows);
  EXPECT_EQ(d.hex.endsWith('\r'), s.endsWithRow);
  EXPECT_EQ(d.characters.endsWith('\r'), s.endsWithRow);
  for (const QByteArray& row : d.hex.split('\r')) EXPECT_LE(row.size(), 48);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DumpShape,
                         ::testing::Values(Shape{0, 1, false}, Shape{1, 1, false}, Shape{6, 1, false},
                                           Shape{16, 2, true}, Shape{17, 2, false},
                                           Shape{256, 17, true}));

struct ExactDump {
  const char* what;
  QByteArray bytes;
  const char* address;
  const char* hex;
  const char* characters;
};

TEST(HexDump, SmallInputsGiveTheirExactTexts) {
  const ExactDump cases[] = {
      {"empty", {}, "00000000:\r", "", ""},
      {"hello", QByteArray::fromHex("48656C6C6F0A"), "00000000:\r", "48 65 6C 6C 6F 0A ", "H e l l o - "},
      {"seventeen", Sequence(17), "00000000:\r00000010:\r",
       "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \r10 ", "- - - - - - - - - - - - - - - - \r- "},
  };
  for (const ExactDump& c : cases) {
    const track::HexDump d = track::DumpBytes(c.bytes);
    EXPECT_EQ(d.address, QByteArray(c.address)) << c.what;
    EXPECT_EQ(d.hex, QByteArray(c.hex)) << c.what;
    EXPECT_EQ(d.characters, QByteArray(c.characters)) << c.what;
  }
}

struct ByteShown {
  unsigned char byte;
  const char* pair;
  char shown;
};

class DumpCharacters : public ::testing::TestWithParam<ByteShown> {};

TEST_P(DumpCharacters, ShowsPrintableAsciiElseDash) {
  const ByteShown& b = GetParam();
  const track::HexDump d = track::DumpBytes(QByteArray(1, static_cast<char>(b.byte)));
  EXPECT_EQ(d.hex, QByteArray(b.pair) + ' ');
  EXPECT_EQ(d.characters, QByteArray(1, b.shown) + ' ');
}

INSTANTIATE_TEST_SUITE_P(Bytes, DumpCharacters,
                         ::testing::Values(ByteShown{0x00, "00", '-'}, ByteShown{0x1F, "1F", '-'},
                                           ByteShown{0x20, "20", ' '}, ByteShown{0x41, "41", 'A'},
                                           ByteShown{0x7E, "7E", '~'}, ByteShown{0x7F, "7F", '-'},
                                           ByteShown{0x80, "80", '-'}, ByteShown{0xFF, "FF", '-'}));

TEST(HexDump, AddressShowsOnlyItsLastEightDigits) {
  EXPECT_EQ(track::AddressLine(0x10), QByteArray("00000010:\r"));
  EXPECT_EQ(track::AddressLine(0xFFFFFFF0ULL), QByteArray("FFFFFFF0:\r"));
  EXPECT_EQ(track::AddressLine(0x100000010ULL), QByteArray("00000010:\r"));
}

TEST(HexDump, RawSaveOfTheDumpGivesTheBytesBack) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> size(0, 5000), byte(0, 255);
  for (int round = 0; round < 60; ++round) {
    QByteArray input(size(random), Qt::Uninitialized);
    for (char& c : input) c = static_cast<char>(byte(random));
    const track::HexDumpStrings d = track::ToStrings(track::DumpBytes(input));
    ASSERT_EQ(track::RawFileBytes(d.hex), input) << "size " << input.size();
  }
}

TEST(DumpFile, ReadsTheWholeFileAlsoThroughALink) {
  QTemporaryDir dir;
  const QString path = dir.filePath("f.bin");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(Sequence(300));
  f.close();
  const QString link = dir.filePath("link");
  ASSERT_TRUE(QFile::link(path, link));
  for (const QString& p : {path, link}) {
    const auto d = track::DumpFile(p);
    ASSERT_TRUE(d.has_value()) << p.toStdString();
    EXPECT_EQ(d->hex, track::DumpBytes(Sequence(300)).hex) << p.toStdString();
  }
}

TEST(DumpFile, EmptyFileGivesTheEmptyDump) {
  QTemporaryDir dir;
  const QString path = dir.filePath("empty");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  const auto d = track::DumpFile(path);
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d->address, QByteArray("00000000:\r"));
  EXPECT_TRUE(d->hex.isEmpty());
  EXPECT_TRUE(d->characters.isEmpty());
}

TEST(DumpFile, ReadsAFileOfManyReadsWhole) {
  std::mt19937 random(3);
  QByteArray bytes(3 * 1024 * 1024 + 5, Qt::Uninitialized);
  for (char& c : bytes) c = static_cast<char>(random());
  QTemporaryDir dir;
  const QString path = dir.filePath("big.bin");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  ASSERT_EQ(f.write(bytes), bytes.size());
  f.close();
  const auto d = track::DumpFile(path);
  ASSERT_TRUE(d.has_value());
  const track::HexDump expected = track::DumpBytes(bytes);
  EXPECT_EQ(d->hex, expected.hex);
  EXPECT_EQ(d->address, expected.address);
}

// A /proc file is a regular file that says it is empty: the bytes up to end of file
// count, not the size.
TEST(DumpFile, ReadsPastASizeThatUndercountsTheContents) {
  ASSERT_EQ(QFileInfo(QStringLiteral("/proc/self/status")).size(), 0);
  const auto d = track::DumpFile(QStringLiteral("/proc/self/status"));
  ASSERT_TRUE(d.has_value());
  EXPECT_TRUE(d->hex.startsWith("4E 61 6D 65 3A ")) << d->hex.left(30).constData();  // "Name:"
  EXPECT_GT(d->hex.size(), 300);
}

enum class Outcome { Dump, Nothing, StillRunning };

std::ostream& operator<<(std::ostream& out, Outcome o) {
  return out << (o == Outcome::Dump ? "a dump" : o == Outcome::Nothing ? "nothing" : "still running after 3 s");
}

// DumpFile in a child process, so that a read that never ends (or a FIFO that blocks)
// fails the test after a short wait instead of hanging the run.
Outcome DumpInChild(const QString& path) {
  const pid_t child = fork();
  if (child == 0) _exit(track::DumpFile(path).has_value() ? 10 : 11);
  if (child < 0) return Outcome::StillRunning;
  for (int waited = 0; waited < 3000; waited += 10) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      if (WIFEXITED(status) && WEXITSTATUS(status) == 10) return Outcome::Dump;
      if (WIFEXITED(status) && WEXITSTATUS(status) == 11) return Outcome::Nothing;
      ADD_FAILURE() << "child ended with status " << status;
      return Outcome::StillRunning;
    }
    usleep(10 * 1000);
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return Outcome::StillRunning;
}

TEST(DumpFile, DeviceFifoAndLinksToThemGiveNothingPromptly) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath("fifo");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString fifoLink = dir.filePath("fifo-link");
  ASSERT_TRUE(QFile::link(fifo, fifoLink));
  const QString zeroLink = dir.filePath("zero-link");
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeroLink));
  for (const QString& path : {QStringLiteral("/dev/zero"), fifo, fifoLink, zeroLink})
    EXPECT_EQ(DumpInChild(path), Outcome::Nothing) << path.toStdString();
}

TEST(DumpFile, FolderOrMissingFileGivesNothing) {
  QTemporaryDir dir;
  EXPECT_FALSE(track::DumpFile(dir.path()).has_value());
  EXPECT_FALSE(track::DumpFile(dir.filePath("missing")).has_value());
}

TEST(SingleAreaDump, RowsOfEightWithGroupsAndAddresses) {
  const QString text = track::SingleAreaDump(QByteArray::fromHex("48656C6C6F000A41"));
  EXPECT_EQ(text, QStringLiteral("000000:4865 6C6C 6F00 0A41  He ll o^ \nA \r 000008:"));
}

TEST(SingleAreaDump, PartialLastRowHasHexGroupsOnly) {
  EXPECT_EQ(track::SingleAreaDump(QByteArray::fromHex("414243")), QStringLiteral("000000:4142 43"));
  EXPECT_EQ(track::SingleAreaDump({}), QStringLiteral("000000:"));
}

TEST(SingleAreaDump, HighBytesShowAsLatin1) {
  EXPECT_TRUE(track::SingleAreaDump(QByteArray(8, '\xE9')).contains(QStringLiteral("éé éé éé éé")));
}

}  // namespace
