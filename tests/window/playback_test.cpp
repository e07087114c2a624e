// Playback through the controls: "NotesPlay" starts and stops, the ticks of TM0 step
// through the lines, and BinaryTa's selection shows the line that sounds.
#include "fixture.h"

namespace {

using Sel = std::pair<qint64, qint64>;  // BinaryTa's selection as {start, length}

class PlaybackTest : public WindowTest {
protected:
    void Tick() { w().TM0_Action(w().TM0()); }
    bool Playing() { return w().TM0().Mode() != Timer::ModeOff; }
    Sel Selection() { return {w().BinaryTa().SelStart(), w().BinaryTa().SelLength()}; }
    // "FF 7F" lasts over 16 s, so no real tick comes while a test steps by hand.
    const QString a = NoteLine("3C"), b = NoteLine("3E", "7F", "81 00"), c = NoteLine("40", "10", "FF 7F");
};

} // namespace

TEST_F(PlaybackTest, EachTickEndsTheLineStartsTheNextAndMovesTheHighlightToTheEnd)
{
    w().BinaryTa().SetText(a + b + c + "3C 55 tail without CR");
    Click(w().NotePlayButton());
    EXPECT_EQ(Selection(), Sel(0, a.size()));
    EXPECT_EQ(Notes(), QStringList({"on 60 116"}));
    EXPECT_EQ(w().TM0().Mode(), Timer::ModeMultiple);
    EXPECT_EQ(w().TM0().Period(), 408);
    Tick();
    EXPECT_EQ(Notes(), QStringList({"on 60 116", "off 60", "on 62 127"}));
    EXPECT_EQ(Selection(), Sel(a.size(), b.size()));
    EXPECT_EQ(w().TM0().Period(), 128);
    notes().Clear();
    Tick();
    EXPECT_EQ(Notes(), QStringList({"off 62", "on 64 62"}));
    EXPECT_EQ(Selection(), Sel(a.size() + b.size(), c.size()));
    EXPECT_TRUE(Playing());
    notes().Clear();
    Tick();
    EXPECT_FALSE(Playing());
    EXPECT_EQ(Notes(), QStringList({"off 64"}));
    EXPECT_EQ(Selection(), Sel(a.size() + b.size() + c.size(), 0));
}

TEST_F(PlaybackTest, ASecondPressStopsAtOnceAndAThirdStartsAgainFromTheTop)
{
    w().BinaryTa().SetText(c + c);
    Click(w().NotePlayButton());
    Tick();
    Click(w().NotePlayButton());
    EXPECT_FALSE(Playing());
    EXPECT_EQ(Notes(), QStringList({"on 64 62", "off 64", "on 64 62", "off 64"}));
    EXPECT_EQ(Selection(), Sel(c.size(), c.size()));  // the highlight stays
    notes().Clear();
    Click(w().NotePlayButton());
    EXPECT_TRUE(Playing());
    EXPECT_EQ(Notes(), QStringList({"on 64 62"}));
    EXPECT_EQ(Selection(), Sel(0, c.size()));
}
