// Playback through the controls: "NotesPlay" starts and stops, the ticks of TM0 step
// through the lines, and BinaryTa's selection shows the line that sounds; also with
// the text cleared or edited while it plays, long lines and lines of no time.
#include "fixture.h"

namespace {

using Sel = std::pair<qint64, qint64>;  // BinaryTa's selection as {start, length}

// Lines of over 16 s, so that only the ticks a test gives by hand come.
QString Held(const QString& key) { return NoteLine(key, "55", "FF 7F"); }

// A held line of exactly `chars` characters before its CR.
QString HeldPadded(const QString& key, int chars)
{
    const QString line = Held(key).chopped(1);
    return line + QString(chars - line.size() - 1, u'0') + " " + CR;
}

class PlaybackTest : public WindowTest {
protected:
    void Tick() { w().TM0_Action(w().TM0()); }
    void Play(const QString& text)
    {
        w().BinaryTa().SetText(text);
        Click(w().NotePlayButton());
    }
    void Expect(const QStringList& heard, Sel selection, bool playing)
    {
        EXPECT_EQ(Notes(), heard);
        EXPECT_EQ(Selection(), selection);
        EXPECT_EQ(Playing(), playing);
    }
    // Only what the tick sends is heard.
    void TickExpecting(const QStringList& heard, Sel selection, bool playing)
    {
        notes().Clear();
        Tick();
        Expect(heard, selection, playing);
    }
    bool Playing() { return w().TM0().Mode() != Timer::ModeOff; }
    Sel Selection() { return {w().BinaryTa().SelStart(), w().BinaryTa().SelLength()}; }
    // "FF 7F" lasts over 16 s, so no real tick comes while a test steps by hand.
    const QString a = NoteLine("3C"), b = NoteLine("3E", "7F", "81 00"), c = NoteLine("40", "10", "FF 7F");
};

} // namespace

TEST_F(PlaybackTest, EachTickEndsTheLineStartsTheNextAndMovesTheHighlightToTheEnd)
{
    // The held line first: the hand's tick comes some 16 s before it is due, so the
    // timeline starts again from it and the next line's wait is its whole period.
    Play(c + b + a + "3C 55 tail without CR");
    Expect({"on 64 62"}, Sel(0, c.size()), true);
    EXPECT_EQ(std::pair(w().TM0().Mode(), w().TM0().Period()), std::pair(qint64(Timer::ModeMultiple), qint64(16383)));
    TickExpecting({"off 64", "on 62 127"}, Sel(c.size(), b.size()), true);
    EXPECT_EQ(w().TM0().Period(), 128);
    TickExpecting({"off 62", "on 60 116"}, Sel(c.size() + b.size(), a.size()), true);
    TickExpecting({"off 60"}, Sel(c.size() + b.size() + a.size(), 0), false);
}

TEST_F(PlaybackTest, ASecondPressStopsAtOnceAndAThirdStartsAgainFromTheTop)
{
    Play(c + c);
    Tick();
    Click(w().NotePlayButton());
    Expect({"on 64 62", "off 64", "on 64 62", "off 64"}, Sel(c.size(), c.size()), false);  // the highlight stays
    notes().Clear();
    Click(w().NotePlayButton());
    Expect({"on 64 62"}, Sel(0, c.size()), true);
}

TEST_F(PlaybackTest, ALineWithoutItsCrPlaysNothingAndAOneLineTrackEndsAtTheFirstTick)
{
    w().BinaryTa().SetText(c.chopped(1));
    w().BinaryTa().SetSelStart(4);
    Click(w().NotePlayButton());
    Expect({}, Sel(4, 0), false);
    Play(c);
    Expect({"on 64 62"}, Sel(0, c.size()), true);
    TickExpecting({"off 64"}, Sel(c.size(), 0), false);
}

TEST_F(PlaybackTest, ClearedWhilePlayingTheParsedLinesPlayOnAndTheButtonNoLongerStops)
{
    Play(c + Held("3E"));
    Click(w().BBR(2));
    ASSERT_EQ(Track(), "");
    Click(w().NotePlayButton());
    EXPECT_TRUE(Playing());
    EXPECT_EQ(Notes(), QStringList({"on 64 62"}));
    TickExpecting({"off 64", "on 62 116"}, Sel(0, 0), true);
    TickExpecting({"off 62"}, Sel(0, 0), false);
}

TEST_F(PlaybackTest, AnEditBeforeTheHighlightShiftsTheHighlightButNotWhatSounds)
{
    const QString d = Held("3E"), e = Held("41");
    Play(c + d + e);
    Tick();
    ASSERT_EQ(Selection(), Sel(c.size(), d.size()));
    w().BinaryTa().SetSelStart(0);
    QTest::keyClicks(w().BinaryTa().Widget(), "7F");
    QTest::keyClick(w().BinaryTa().Widget(), Qt::Key_Return);  // a line more before the highlight
    // The scan starts where the sounding line began before the edit: now the last
    // three characters of the line before, up to its CR.
    TickExpecting({"off 62", "on 65 116"}, Sel(c.size() + d.size(), 3), true);
    TickExpecting({"off 65"}, Sel(c.size() + d.size() + 3, 0), false);
}

TEST_F(PlaybackTest, ALineLongerThanAThousandCharactersIsNotHighlightedAndHoldsTheScanWhereItIs)
{
    const QString first = Held("3C"), thousand = HeldPadded("3E", 1000), longer = HeldPadded("40", 1001);
    Play(first + thousand + longer + Held("41"));
    EXPECT_EQ(Notes(), QStringList({"on 60 116"}));
    const qint64 after = first.size() + thousand.size();
    // 1,000 characters and the CR are still found; past them the last probe stays
    // selected, and the next scan starts from the same place.
    TickExpecting({"off 60", "on 62 116"}, Sel(first.size(), 1001), true);
    TickExpecting({"off 62", "on 64 116"}, Sel(after + 1000, 1), true);
    TickExpecting({"off 64", "on 65 116"}, Sel(after + 1000, 1), true);
    TickExpecting({"off 65"}, Sel(after, 0), false);
}

TEST_F(PlaybackTest, AZeroTickLineAsksForPeriodZeroAndTheNextLineFollowsAtOnce)
{
    const QString zero = NoteLine("3C", "55", "00");
    Play(zero + c);
    EXPECT_EQ(w().TM0().Period(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Notes().size() >= 3; }, 10000)) << "no tick came";
    EXPECT_EQ(Notes(), QStringList({"on 60 116", "off 60", "on 64 62"}));
    EXPECT_EQ(Selection(), Sel(zero.size(), c.size()));
}
