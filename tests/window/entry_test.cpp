// Note entry through the controls: keyboard clicks with the velocity and
// note-length rows, rest, "C" and "AC"; which key a point hits is the
// keyboard's own test.
#include "fixture.h"

TEST_F(WindowTest, NoteLineReplacesTheSelectionAndTakesTheButtonsPressedAloneInTheirRows)
{
    w().BinaryTa().SetText("AAAA");
    w().BinaryTa().SetSelStart(1);
    w().BinaryTa().SetSelLength(2);
    Click(w().BBV(15));
    Click(w().BBD(0));
    for (qint64 j = 0; j < 16; ++j) {
        EXPECT_EQ(w().BBV(j).Value(), j == 15) << j;
        EXPECT_EQ(w().BBD(j).Value(), j == 0) << j;
    }
    QTest::mouseClick(w().PianoCV().Widget(), Qt::LeftButton, {}, QPoint(2, 29));  // the gap between two keys
    EXPECT_EQ(Track(), "AAAA");
    QTest::mouseClick(w().PianoCV().Widget(), Qt::LeftButton, {}, QPoint(160, 40));
    EXPECT_EQ(Track(), "A90 3C 7F 8C 60 90 3C 00 82 20 |A");
    EXPECT_EQ(w().BinaryTa().SelStart(), 1 + 31);
    EXPECT_EQ(Notes(), QStringList({"on 60 100", "off 60"})) << "the preview ignores the velocity row";
}

TEST_F(WindowTest, RestButtonInsertsARestLineAtTheCaret)
{
    Click(w().BBR(0));
    EXPECT_EQ(Track(), "90 01 00 83 18 90 01 00 48|");
    Click(w().BBD(0));
    w().BinaryTa().SetSelStart(0);
    w().BinaryTa().SetSelLength(3);
    Click(w().BBR(0));
    EXPECT_EQ(Track(), "90 01 00 8C 60 90 01 00 82 20|01 00 83 18 90 01 00 48|");
    EXPECT_TRUE(Notes().isEmpty());
    EXPECT_FALSE(w().BBR(0).Value());
}

TEST_F(WindowTest, LineDeleteKeepsTheTextAfterTheCaretAndClearEmptiesOnlyTheHexColumn)
{
    // A few carets through the button; every caret is the track rules' own table.
    const struct {
        qint64 caret, selection;
        const char* after;
        qint64 caretAfter;
    } cases[] = {{5, 0, "AB||", 3}, {2, 0, "|CD|", 0}, {1, 0, "AB|CD|", 1}, {5, 1, "AB||", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caret);
        w().BinaryTa().SetText("AB" + CR + "CD" + CR);
        w().BinaryTa().SetSelStart(c.caret);
        w().BinaryTa().SetSelLength(c.selection);
        Click(w().BBR(1));
        EXPECT_EQ(Track(), c.after);
        EXPECT_EQ(w().BinaryTa().SelStart(), c.caretAfter);
    }
    w().HedderTa().SetText("00000000:" + CR);
    w().FutterTa().SetText("A ");
    Click(w().BBR(2));
    EXPECT_EQ(Track(), "");
    EXPECT_EQ(Shown(w().HedderTa()), "00000000:|");
    EXPECT_EQ(Shown(w().FutterTa()), "A ");
}
