// A file of over a mebibyte opened in the real window: every line of the three
// columns in place, selections that cross the storage's pieces, the end of the
// dump scrolled into view, saves after edits in its middle; and copying, undoing,
// a MIDI save and playback on the dump as on any typed text.
#include "fixture.h"

#include "track/midifile.h"
#include "track/rawfile.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <algorithm>
#include <random>

namespace {

constexpr qsizetype kSize = (qsizetype(1) << 20) + 7;  // a last row of 7 bytes

// Row r of the hex and character columns, written out here byte by byte.
QString Row(const QByteArray& bytes, qsizetype r, bool hex)
{
    QString row;
    for (const quint8 b : bytes.mid(r * 16, 16))
        row += hex ? QString::asprintf("%02X ", unsigned(b)) : QString(QChar(b >= 0x20 && b <= 0x7E ? char16_t(b) : u'-')) + ' ';
    return row;
}

class LargeFile : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        std::mt19937 rng(20240611);
        bytes_.resize(kSize);
        std::ranges::generate(bytes_, [&rng] { return char(rng()); });
        WriteBytes(Path("large.bin"), bytes_);
        w().DropOpen(std::make_shared<FolderItem>(Path("large.bin")));
    }

    QByteArray bytes_;
    const qsizetype rows_ = kSize / 16 + 1;  // the last one partial
};

// The save dialog, answered with a path after doing what the test asks while it is up.
class DialogThatEdits : public FileDialogs {
public:
    DialogThatEdits(QString path, std::function<void()> meanwhile) : path_(std::move(path)), meanwhile_(std::move(meanwhile)) {}
    FolderItemPtr Open(const QString&) override { return nullptr; }
    FolderItemPtr Save(const QString&, const QString&) override
    {
        meanwhile_();
        return std::make_shared<FolderItem>(path_);
    }

private:
    QString path_;
    std::function<void()> meanwhile_;
};

}  // namespace

TEST_F(LargeFile, EveryLineOfTheThreeColumnsIsInPlace)
{
    const QStringList address = w().HedderTa().Text().split(CR), hex = w().BinaryTa().Text().split(CR),
                      chars = w().FutterTa().Text().split(CR);
    // The address text ends with CR: an empty piece after its last line.
    ASSERT_EQ(std::tuple(address.size(), hex.size(), chars.size()), std::tuple(rows_ + 1, rows_, rows_));
    EXPECT_EQ(address.back(), QString());
    for (qsizetype r = 0; r < rows_; ++r) {
        ASSERT_EQ(address[r], QString::asprintf("%08llX:", static_cast<unsigned long long>(r * 16))) << r;
        ASSERT_EQ(hex[r], Row(bytes_, r, true)) << "hex row " << r;
        ASSERT_EQ(chars[r], Row(bytes_, r, false)) << "character row " << r;
    }
}

TEST_F(LargeFile, SelectionsAnywhereReadBackTheirRowsAndTheEndScrollsIntoView)
{
    TextArea& ta = w().BinaryTa();
    QScrollBar* bar = qobject_cast<QAbstractScrollArea*>(ta.Widget())->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_GT(bar->maximum(), rows_ - 100) << "the bar covers every row";
    for (qsizetype r : {qsizetype(0), qsizetype(1), qsizetype(333), qsizetype(4095), qsizetype(30001),
                        rows_ / 2, rows_ - 3}) {
        Select(ta, r * 49, 49 * 2);
        EXPECT_EQ(ta.SelText(), Row(bytes_, r, true) + CR + Row(bytes_, r + 1, true) + CR) << "rows " << r;
    }
    Select(ta, (rows_ - 1) * 49, 1000);
    EXPECT_EQ(ta.SelText(), Row(bytes_, rows_ - 1, true)) << "the last row, cut at the end";
    EXPECT_EQ(bar->value(), bar->maximum());
}

// Typed in the middle: an odd digit (all that follows is read half a byte on), rows
// replaced, a selection taken out. Each save writes what the whole text spells when
// its button was clicked, whatever changes while the dialog is up.
TEST_F(LargeFile, SavesAfterEditsInTheMiddleWriteWhatTheTextSpellsAtTheClick)
{
    TextArea& ta = w().BinaryTa();
    ta.SetSelStart(49 * 9000 + 4);
    QTest::keyClicks(ta.Widget(), "7");
    Select(ta, 49 * 15000 + 10, 49 * 3);
    QTest::keyClicks(ta.Widget(), "AB C");
    Select(ta, 49 * 17000 + 1, 100);
    QTest::keyClick(ta.Widget(), Qt::Key_Backspace);
    ASSERT_EQ(ta.Length(), kSize * 3 + kSize / 16 + 1 + 4 - 49 * 3 - 100) << "the edits were made";

    for (const bool midi : {false, true}) {
        const QString name = midi ? "edited.mid" : "edited.bin", text = ta.Text();
        const QByteArray expected = midi ? track::MidiFileBytes(text) : track::RawFileBytes(text);
        SetFileDialogs(std::make_shared<DialogThatEdits>(Path(name), [&] {
            Select(ta, 49 * 5000, 49 * 10);
            ta.SetSelText(QStringLiteral("5"));
        }));
        Click(midi ? w().MidiSaveButton() : w().FilesaveButton());
        const QByteArray saved = ReadBytes(Path(name));
        EXPECT_TRUE(saved == expected) << name.toStdString();
        const qsizetype lead = midi ? 26 : 0;
        EXPECT_TRUE(saved.mid(lead, 5000 * 16) == bytes_.left(5000 * 16)) << "the file's bytes before the edits";
    }
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(LargeFile, CopyUndoMidiSaveAndPlaybackWorkOnTheDumpAsOnAnyText)
{
    TextArea& ta = w().BinaryTa();
    const QString dumped = ta.Text();
    Select(ta, 49, 49 * 2);
    ta.Copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Row(bytes_, 1, true) + '\n' + Row(bytes_, 2, true) + '\n')
        << "copied rows leave with LF";

    // Edits in the middle of the computed text, each taken back.
    Select(ta, 49 * 1000 + 7, 49 * 3);
    ta.SetSelText(QStringLiteral("90 3C 55 \r"));
    ta.SetSelStart(49 * 20000);
    w().Inscore(QStringLiteral("3C"));
    ASSERT_NE(ta.Text(), dumped);
    ta.Undo();
    ta.Undo();
    EXPECT_TRUE(ta.Text() == dumped) << "undone, the hex column is the dump again";

    Through(w().MidiSaveButton(), Path("dump.mid"));
    const QByteArray midi = ReadBytes(Path("dump.mid"));
    ASSERT_EQ(midi.size(), 29 + kSize);
    // The track length, kSize + 7, needs the third byte of its field.
    EXPECT_EQ(midi.left(26).toHex(), QByteArray("4d546864000000060000000101e04d54726b0010000e00c00000"));
    EXPECT_TRUE(midi.mid(26, kSize) == bytes_) << "the file's bytes between the lead and the end of track";
    EXPECT_EQ(midi.right(3).toHex(), QByteArray("ff2f00"));

    // Playback takes every complete row as a line and shows the first.
    Click(w().NotePlayButton());
    EXPECT_EQ(w().noteCount, rows_ - 1);
    EXPECT_EQ(w().note[0], Row(bytes_, 0, true));
    EXPECT_EQ(w().note[rows_ - 2], Row(bytes_, rows_ - 2, true));
    EXPECT_EQ(std::pair(ta.SelStart(), ta.SelLength()), std::pair(qint64(0), qint64(49)));
    Click(w().NotePlayButton());
}
