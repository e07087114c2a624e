// The MIDI and raw writers: golden bytes, and every MIDI file read back by midicsv.
#include "track/midifile.h"
#include "track/noteline.h"
#include "track/rawfile.h"
#include "track/tracktext.h"
#include "pieces.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

QByteArray Bytes(const char* hex) { return QByteArray::fromHex(hex); }

// The writers as the window calls them: the one place that knows how they are given
// the track text.
QByteArray Midi(const QString& text) { return track::MidiFileBytes(text); }
QByteArray Raw(const QString& text) { return track::RawFileBytes(text); }

const QString kNote3C = QStringLiteral("90 3C 55 83 18 90 3C 00 48 \r");
const QByteArray kNote3CBytes = Bytes("903C55831890 3C0048");
const QStringList kNote3CEvents = {"1, 0, Note_on_c, 0, 60, 85", "1, 408, Note_on_c, 0, 60, 0"};

// The CSV that Debian's midicsv makes of the file; fails the test if it will not read it.
QStringList MidiCsv(const QByteArray& file) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("t.mid"));
  QFile out(path);
  EXPECT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(file);
  out.close();
  QProcess midicsv;
  midicsv.start(QStringLiteral("midicsv"), {path});
  EXPECT_TRUE(midicsv.waitForFinished(10000)) << "midicsv did not run";
  EXPECT_EQ(midicsv.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(midicsv.exitCode(), 0) << midicsv.readAllStandardError().toStdString();
  QStringList lines;
  for (const QByteArray& line : midicsv.readAllStandardOutput().split('\n'))
    if (!line.trimmed().isEmpty()) lines << QString::fromLatin1(line.trimmed());
  return lines;
}

struct WriterCase {
  const char* name;
  QString text;
  QByteArray raw;       // the bytes the text spells
  QStringList events;   // midicsv's lines between Program_c and End_track
  const char* endTime;  // tick of End_track
};

std::vector<WriterCase> Cases() {
  return {
      {"Empty", QString(), {}, {}, "0"},
      {"BlanksAndReturnsOnly", QStringLiteral("  \r \r\r "), {}, {}, "0"},
      {"OneNoteLine", kNote3C, kNote3CBytes, kNote3CEvents, "480"},
      {"TwoNoteLines", kNote3C + QStringLiteral("90 3E 55 83 18 90 3E 00 48 \r"),
       Bytes("903C5583189 03C0048 903E558318903E0048"),
       kNote3CEvents + QStringList{"1, 480, Note_on_c, 0, 62, 85", "1, 888, Note_on_c, 0, 62, 0"}, "960"},
      {"LowerCase", kNote3C.toLower(), kNote3CBytes, kNote3CEvents, "480"},
      {"BlankInsideAPair", QStringLiteral("9 0 3C 55 8 3 18 90 3C 00 48\r"), kNote3CBytes, kNote3CEvents, "480"},
      {"RestLine", track::RestLine(QStringLiteral("83 18"), QStringLiteral("48")),
       Bytes("900100 8318 900100 48"),
       {"1, 0, Note_on_c, 0, 1, 0", "1, 408, Note_on_c, 0, 1, 0"}, "480"},
      {"OddDigitsLeaveTheLoneDigitOut", kNote3C + QStringLiteral("7"), kNote3CBytes, kNote3CEvents, "480"},
  };
}

TEST(Writers, RawFileIsTheSpelledBytesAndMidicsvReadsTheMidiFile) {
  for (const WriterCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Raw(c.text).toHex(' '), c.raw.toHex(' '));
    QStringList expected{"0, 0, Header, 0, 1, 480", "1, 0, Start_track", "1, 0, Program_c, 0, 0"};
    expected += c.events;
    expected << QStringLiteral("1, %1, End_track").arg(QString::fromLatin1(c.endTime)) << "0, 0, End_of_file";
    EXPECT_EQ(MidiCsv(Midi(c.text)), expected);
  }
}

// Whole files, written out: header, track length n + 7, program change, the bytes,
// end of track; an empty track still has all but the bytes.
TEST(MidiFile, IsHeaderLengthProgramChangeBytesAndEndOfTrack) {
  const std::pair<QString, const char*> rows[] = {
      {QString(), "4D546864 00000006 0000 0001 01E0 4D54726B 00000007 00C00000 FF2F00"},
      {kNote3C + QStringLiteral("90 3E 55 83 18 90 3E 00 48 \r"),
       "4D546864 00000006 0000 0001 01E0 4D54726B 00000019 00C00000 903C558318903C0048 903E558318903E0048 FF2F00"},
  };
  for (const auto& [text, file] : rows) EXPECT_EQ(Midi(text).toHex(' '), Bytes(file).toHex(' '));
}

TEST(TrackBytes, WritesOneByteForEveryPairWhateverItHolds) {
  // "é" is two UTF-8 bytes: a pair of its own, read as 0.
  EXPECT_EQ(Raw(QStringLiteral("é41\n\tzz")).toHex(' '), QByteArray("00 41 00 00"));
  EXPECT_EQ(Raw(QStringLiteral(" 9\r0 é1G\t")).toHex(' '), QByteArray("90 00 01"));
}

// Random texts of digits, blanks, CRs, Latin-1 letters above 7F, wide characters and
// surrogate pairs (and halves of them), cut anywhere, also inside a pair: the bytes
// and the MIDI file read piece by piece are those of the whole string.
TEST(TrackBytes, ReadInPiecesGivesTheBytesOfTheWholeText) {
  std::mt19937 random(5);
  const QString parts[] = {"0", "9", "A", "f", " ", "\r", "\u00e9", "\u00ff", "\u3042", "\U0001F600",
                           QString(QChar(0xD83D)), QString(QChar(0xDE00)), "G"};
  for (int round = 0; round < 400; ++round) {
    QString text;
    for (int i = static_cast<int>(random() % 60); i > 0; --i) text += parts[random() % std::size(parts)];
    std::vector<qsizetype> ends{0};  // an empty piece first
    for (qsizetype end : RandomEnds(text.size(), 7, random)) ends.push_back(end);
    const bool latin1 = round % 2 == 0;
    const track::TrackText pieces = InPieces(text, ends, latin1);
    ASSERT_EQ(track::RawFileBytes(pieces).toHex(' '), track::RawFileBytes(text).toHex(' '))
        << text.toStdString() << (latin1 ? " latin-1 pieces" : " utf-16 pieces");
    ASSERT_EQ(track::MidiFileBytes(pieces).toHex(' '), track::MidiFileBytes(text).toHex(' ')) << text.toStdString();
  }
}

}  // namespace

