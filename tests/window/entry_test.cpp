// Note entry through the controls: keyboard clicks with the velocity and
// note-length rows, rest, "C" and "AC", and the instrument list; which key a
// point hits is the keyboard's own test.
#include "fixture.h"

namespace {

const QPoint kC4(160, 40);  // on the key C4 of PianoCV

// The General MIDI program in force at each note-on so far.
QList<int> ProgramsOfNoteOns(const RecordingNoteOutput& out)
{
    QList<int> programs;
    int program = -1;
    for (const auto& call : out.Calls())
        if (call.kind == RecordingNoteOutput::Kind::ProgramChange)
            program = call.value;
        else if (call.kind == RecordingNoteOutput::Kind::NoteOn)
            programs << program;
    return programs;
}

}  // namespace

TEST_F(WindowTest, NoteLineReplacesTheSelectionAndTakesTheNoteLengthPressedAloneInItsRow)
{
    w().BinaryTa().SetText("AAAA");
    Select(w().BinaryTa(), 1, 2);
    Click(w().BBD(0));
    for (qint64 j = 0; j < 16; ++j)
        EXPECT_EQ(w().BBD(j).Value(), j == 0) << j;
    QTest::mouseClick(w().PianoCV().Widget(), Qt::LeftButton, {}, QPoint(2, 29));  // the gap between two keys
    EXPECT_EQ(Track(), "AAAA");
    QTest::mouseClick(w().PianoCV().Widget(), Qt::LeftButton, {}, kC4);
    EXPECT_EQ(Track(), "A90 3C 55 8C 60 90 3C 00 82 20 |A");
    EXPECT_EQ(w().BinaryTa().SelStart(), 1 + 31);
}

TEST_F(WindowTest, EachVelocityButtonChangesOnlyTheVelocityOfTheLinesEnteredAfterIt)
{
    const char* velocities[16] = {"00", "05", "0A", "14", "1E", "28", "32", "3C",
                                  "46", "4B", "55", "5A", "64", "6E", "78", "7F"};
    Click(w().BBD(7));
    QString expected;
    for (qint64 i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        Click(w().BBV(i));
        for (qint64 j = 0; j < 16; ++j)
            ASSERT_EQ(w().BBV(j).Value(), j == i) << j;
        QTest::mouseClick(w().PianoCV().Widget(), Qt::LeftButton, {}, kC4);
        expected += QString("90 3C %1 82 10 90 3C 00 30 ").arg(velocities[i]) + CR;
    }
    EXPECT_EQ(w().BinaryTa().Text(), expected);
    EXPECT_TRUE(w().BBD(7).Value());
    EXPECT_EQ(Notes().count("on 60 100"), 16) << "the key's own sound keeps velocity 100";
}

TEST_F(WindowTest, TheInstrumentChosenInTheListSoundsTheKeysAndPlaybackButNeverReachesTheFile)
{
    QWidget* list = w().PM1().Widget();
    // Row 128, the heading row, then row 16, chosen with the list's own keys.
    const struct { Qt::Key key; int presses, program; } choices[] = {{Qt::Key_End, 1, 127}, {Qt::Key_Home, 1, 0}, {Qt::Key_Down, 16, 15}};
    for (const auto& c : choices) {
        SCOPED_TRACE(c.program);
        for (int n = 0; n < c.presses; ++n)
            QTest::keyClick(list, c.key);
        w().BinaryTa().SetText(QString());
        QTest::mouseClick(w().PianoCV().Widget(), Qt::LeftButton, {}, kC4);
        Click(w().NotePlayButton());
        const QList<int> programs = ProgramsOfNoteOns(notes());
        EXPECT_EQ(programs.mid(programs.size() - 2), QList<int>({c.program, c.program})) << "the key, then playback";
        Click(w().NotePlayButton());
    }
    Through(w().MidiSaveButton(), Path("song.mid"));
    EXPECT_EQ(ReadBytes(Path("song.mid")).mid(22, 4).toHex(' '), "00 c0 00 00");
}

TEST_F(WindowTest, RestButtonInsertsARestLineAtTheCaret)
{
    Click(w().BBR(0));
    EXPECT_EQ(Track(), "90 01 00 83 18 90 01 00 48|");
    Click(w().BBD(0));
    Select(w().BinaryTa(), 0, 3);
    Click(w().BBR(0));
    EXPECT_EQ(Track(), "90 01 00 8C 60 90 01 00 82 20|01 00 83 18 90 01 00 48|");
    EXPECT_TRUE(Notes().isEmpty());
    EXPECT_FALSE(w().BBR(0).Value());
}

TEST_F(WindowTest, LineDeleteKeepsTheTextAfterTheCaretAndClearEmptiesOnlyTheHexColumn)
{
    // A caret that deletes nothing stays; a selection is not what goes; the text's
    // end is a caret like any. Every other caret is the track rules' own table.
    const struct { qint64 caret, selection; const char* after; qint64 caretAfter; } cases[] = {
        {1, 0, "AB|CD|", 1}, {5, 1, "AB||", 3}, {6, 0, "AB|", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caret);
        w().BinaryTa().SetText("AB" + CR + "CD" + CR);
        Select(w().BinaryTa(), c.caret, c.selection);
        Click(w().BBR(1));
        EXPECT_EQ(Track(), c.after);
        EXPECT_EQ(w().BinaryTa().SelStart(), c.caretAfter);
    }
    w().HedderTa().SetText("00000000:" + CR);
    w().FutterTa().SetText("A ");
    Click(w().BBR(2));
    EXPECT_EQ(Columns(), QStringList({"00000000:|", "", "A "}));
}
