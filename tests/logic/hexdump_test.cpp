// The hex view's three texts, computed and built whole, and the single-area dump.
#include "track/dumprows.h"
#include "track/hexdump.h"
#include "track/rawfile.h"
#include "track/singledump.h"
#include "track/tracktext.h"
#include "pieces.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>
#include <random>

namespace {

struct ExactDump { const char* what; QByteArray bytes; const char *address, *hex, *characters; };

// The empty and the seventeen-byte dumps are the window's file tests.
TEST(HexDump, InputsGiveTheirExactTexts) {
  const ExactDump cases[] = {
      {"hello", QByteArray::fromHex("48656C6C6F0A"), "00000000:\r", "48 65 6C 6C 6F 0A ", "H e l l o - "},
      // printable ASCII shows as itself, every other byte as a dash
      {"edges of printable", QByteArray::fromHex("001F20417E7F80FF"), "00000000:\r", "00 1F 20 41 7E 7F 80 FF ",
       "- -   A ~ - - - "},
      {"sixteen", QByteArray::fromHex("000102030405060708090A0B0C0D0E0F"), "00000000:\r00000010:\r", "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \r",
       "- - - - - - - - - - - - - - - - \r"},
  };
  for (const ExactDump& c : cases) {
    const track::HexDump d = track::DumpBytes(c.bytes);
    EXPECT_EQ(std::tuple(d.address, d.hex, d.characters),
              std::tuple(QByteArray(c.address), QByteArray(c.hex), QByteArray(c.characters))) << c.what;
  }
}

// The computed texts against the built ones: random files of sizes around the row
// (0, 1, 15, 16, 17, 31, 32, 33, past 64 KiB and random ones), read whole and in random spans
// that start and end anywhere (high digit, low digit, blank, CR), and their lines
// where the arithmetic says. Saved raw, the hex text read in pieces gives the file's
// bytes back; with a character of a row spoiled, those of the spoiled text read whole.
TEST(DumpRows, EveryCharacterIsTheBuiltDumpsAndTheHexTextSpellsTheFileAgain) {
  std::mt19937 random(11);
  std::vector<qsizetype> sizes{0, 1, 15, 16, 17, 31, 32, 33, 4096 + 5, 70001};
  for (int i = 0; i < 20; ++i) sizes.push_back(static_cast<qsizetype>(random() % 3000));
  for (qsizetype size : sizes) {
    const QByteArray bytes = RandomBytes(size, random);
    const track::HexDump built = track::DumpBytes(bytes);
    const track::DumpTexts rows = track::DumpRows(bytes);
    const std::pair<const textfn::RowText&, const QByteArray&> texts[] = {
        {*rows.address, built.address}, {*rows.hex, built.hex}, {*rows.characters, built.characters}};
    for (const auto& [text, expected] : texts) {
      ASSERT_EQ(text.toLatin1(), expected) << "size " << size;
      ASSERT_EQ(text.rows(), expected.count('\r')) << "size " << size;
      for (qsizetype k = 0; k < text.rows(); ++k)
        ASSERT_EQ(expected[text.breakAt(k)], '\r') << "size " << size << " row " << k;
      for (int probe = 0; probe < 200 && !expected.isEmpty(); ++probe) {
        const qsizetype pos = static_cast<qsizetype>(random() % static_cast<quint32>(expected.size()));
        const qsizetype n = qMin<qsizetype>(static_cast<qsizetype>(random() % 120), expected.size() - pos);
        QByteArray span(n, Qt::Uninitialized);
        text.render(pos, n, span.data());
        ASSERT_EQ(span, expected.mid(pos, n)) << "size " << size << " span " << pos << "+" << n;
        ASSERT_EQ(text.breaksBefore(pos), expected.left(pos).count('\r')) << "size " << size;
      }
    }
    const QByteArray& hex = built.hex;
    auto inPieces = [&](const QByteArray& t) { return InPieces(QString::fromLatin1(t), RandomEnds(t.size(), 300, random), true); };
    ASSERT_EQ(track::RawFileBytes(inPieces(hex)), bytes) << "size " << size;
    for (int spoil = 0; spoil < 20 && !hex.isEmpty(); ++spoil) {
      QByteArray spoiled = hex;
      spoiled[static_cast<qsizetype>(random() % static_cast<quint32>(hex.size()))] = "G 7\r"[random() % 4];
      ASSERT_EQ(track::RawFileBytes(inPieces(spoiled)), track::RawFileBytes(QString::fromLatin1(spoiled))) << size;
    }
  }
}

TEST(HexDump, AddressShowsOnlyItsLastEightDigits) {
  EXPECT_EQ(track::AddressLine(0x10), QByteArray("00000010:\r"));
  EXPECT_EQ(track::AddressLine(0xFFFFFFF0ULL), QByteArray("FFFFFFF0:\r"));
  EXPECT_EQ(track::AddressLine(0x100000010ULL), QByteArray("00000010:\r"));
}

TEST(SingleAreaDump, RowsOfEightWithGroupsAddressesAndLatin1Characters) {
  EXPECT_EQ(track::SingleAreaDump(QByteArray::fromHex("48656C6C6F000A41")),
            QStringLiteral("000000:4865 6C6C 6F00 0A41  He ll o^ \nA \r 000008:"));
  EXPECT_EQ(track::SingleAreaDump(QByteArray::fromHex("414243")), QStringLiteral("000000:4142 43"));
  EXPECT_EQ(track::SingleAreaDump({}), QStringLiteral("000000:"));
  EXPECT_TRUE(track::SingleAreaDump(QByteArray(8, '\xE9')).contains(QStringLiteral("éé éé éé éé")));
}

}  // namespace
