// Playback through the controls: "NotesPlay" starts and stops, the ticks of TM0 step
// through the lines, and BinaryTa's selection shows the line that sounds.
#include "fixture.h"

#include <QImage>
#include <QTest>

namespace {

const QString CR(QChar(13));

// A note line as the keyboard writes it, with a gate of the given delta-time text.
// "FF 7F" lasts over 16 s, so no real tick comes while a test steps by hand.
QString NoteLine(const QString& key, const QString& vel = QStringLiteral("55"),
                 const QString& gate = QStringLiteral("FF 7F"))
{
    return "90 " + key + " " + vel + " " + gate + " 90 " + key + " 00 48 " + CR;
}

using Calls = std::vector<std::string>;

// Note-ons and note-offs only, as "on 60 116" and "off 60".
Calls Notes(RecordingNoteOutput& out)
{
    Calls s;
    for (const auto& call : out.Calls()) {
        if (call.kind == RecordingNoteOutput::Kind::NoteOn)
            s.push_back("on " + std::to_string(call.value) + " " + std::to_string(call.velocity));
        else if (call.kind == RecordingNoteOutput::Kind::NoteOff)
            s.push_back("off " + std::to_string(call.value));
    }
    return s;
}

// A selection of BinaryTa as {start, length}.
using Sel = std::pair<qint64, qint64>;

class PlaybackTest : public WindowTest {
protected:
    void Press() { QTest::mouseClick(w().NotePlayButton().Widget(), Qt::LeftButton); }
    void Tick() { w().TM0_Action(w().TM0()); }
    bool Playing() { return w().TM0().Mode() != Timer::ModeOff; }
    Sel Selection() { return {w().BinaryTa().SelStart(), w().BinaryTa().SelLength()}; }
    void Play(const QString& text)
    {
        w().BinaryTa().SetText(text);
        notes().Clear();
        Press();
    }
    void TearDown() override
    {
        w().TM0().SetMode(Timer::ModeOff);
        WindowTest::TearDown();
    }
};

} // namespace

// Nothing to play: no timer, no sound, no highlight. An empty text still splits
// into two empty lines; a text without a CR into none.
TEST_F(PlaybackTest, TextWithoutACompleteLinePlaysNothing)
{
    const struct {
        QString text;
        qsizetype lines;
    } cases[] = {{QString(), 2}, {QStringLiteral("90 3C 55 83 18 90 3C 00 48 "), 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        Play(c.text);
        EXPECT_FALSE(Playing());
        EXPECT_TRUE(notes().Calls().empty());
        EXPECT_EQ(w().noteCount, 0);
        EXPECT_EQ(w().note.size(), c.lines);
        EXPECT_EQ(w().BinaryTa().SelLength(), 0);
    }
}

TEST_F(PlaybackTest, StartHighlightsAndSoundsTheFirstLineAndRunsTheTimerForItsGate)
{
    const QString first = NoteLine("3C", "55", "83 18");
    Play(first + NoteLine("3E") + NoteLine("40"));
    EXPECT_EQ(w().noteCount, 3);
    EXPECT_EQ(w().note, QStringList({first.chopped(1), NoteLine("3E").chopped(1), NoteLine("40").chopped(1)}));
    EXPECT_EQ(w().pit, QStringList({"3C", "3E", "40"}));
    EXPECT_EQ(w().vel, QStringList({"55", "55", "55"}));
    EXPECT_EQ(w().dur, QStringList({"83 18", "FF 7F", "FF 7F"}));
    EXPECT_EQ(Selection(), Sel(0, first.size()));
    EXPECT_EQ(w().selL, first.size());
    EXPECT_EQ(w().soundNumber, 0);
    EXPECT_EQ(Notes(notes()), Calls({"on 60 116"}));
    EXPECT_EQ(w().TM0().Mode(), Timer::ModeMultiple);
    EXPECT_EQ(w().TM0().Period(), 408);
}

TEST_F(PlaybackTest, EachTickEndsTheLineStartsTheNextAndMovesTheHighlight)
{
    const QString a = NoteLine("3C"), b = NoteLine("3E", "7F", "81 00"), c = NoteLine("40", "10");
    Play(a + b + c);
    Tick();
    EXPECT_EQ(Notes(notes()), Calls({"on 60 116", "off 60", "on 62 127"}));
    EXPECT_EQ(w().soundNumber, 1);
    EXPECT_EQ(Selection(), Sel(a.size(), b.size()));
    EXPECT_EQ(w().selL, a.size() + b.size());
    EXPECT_EQ(w().TM0().Period(), 128);
    notes().Clear();
    Tick();
    EXPECT_EQ(Notes(notes()), Calls({"off 62", "on 64 62"}));
    EXPECT_EQ(Selection(), Sel(a.size() + b.size(), c.size()));
    EXPECT_TRUE(Playing());
}

TEST_F(PlaybackTest, TheTickOnTheLastLineEndsItAndLeavesTheCaretAfterIt)
{
    const QString a = NoteLine("3C"), b = NoteLine("3E");
    Play(a + b + "3C 55 tail without CR");
    Tick();
    notes().Clear();
    Tick();
    EXPECT_FALSE(Playing());
    EXPECT_EQ(Notes(notes()), Calls({"off 62"}));
    EXPECT_EQ(Selection(), Sel(a.size() + b.size(), 0));
    EXPECT_EQ(w().noteCount, 2);
}

TEST_F(PlaybackTest, ASecondPressStopsAtOnceAndAThirdStartsAgainFromTheTop)
{
    const QString a = NoteLine("3C"), b = NoteLine("3E");
    Play(a + b);
    Tick();
    Press();
    EXPECT_FALSE(Playing());
    EXPECT_EQ(Notes(notes()), Calls({"on 60 116", "off 60", "on 62 116", "off 62"}));
    EXPECT_EQ(Selection(), Sel(a.size(), b.size()));  // the highlight stays
    EXPECT_EQ(w().soundNumber, 1);

    notes().Clear();
    Press();
    EXPECT_TRUE(Playing());
    EXPECT_EQ(Notes(notes()), Calls({"on 60 116"}));
    EXPECT_EQ(Selection(), Sel(0, a.size()));
    EXPECT_EQ(w().soundNumber, 0);
}

TEST_F(PlaybackTest, ClearingTheTextWhilePlayingLetsTheParsedLinesPlayOn)
{
    const QString a = NoteLine("3C"), b = NoteLine("3E"), c = NoteLine("40");
    Play(a + b + c);
    w().BinaryTa().SetText(QString());
    Press();  // no longer a stop
    EXPECT_TRUE(Playing());
    Tick();
    Tick();
    EXPECT_EQ(Notes(notes()), Calls({"on 60 116", "off 60", "on 62 116", "off 62", "on 64 116"}));
    EXPECT_EQ(w().selL, a.size());
    Tick();
    EXPECT_FALSE(Playing());
    EXPECT_EQ(Selection(), Sel(0, 0));
}

TEST_F(PlaybackTest, EditsBeforeTheHighlightMoveItButNotWhatSounds)
{
    const QString a = NoteLine("3C"), b = NoteLine("3E"), c = NoteLine("40");
    Play(a + b + c);
    w().BinaryTa().SetSelStart(0);
    w().BinaryTa().SetSelText(QStringLiteral("41 "));
    Tick();
    EXPECT_EQ(Notes(notes()).back(), "on 62 116");
    // The scan starts where the second line began before the edit, three characters
    // before the first line's CR.
    EXPECT_EQ(Selection(), Sel(a.size(), 3));
    EXPECT_EQ(w().selL, a.size() + 3);
}

TEST_F(PlaybackTest, ALineBeyondTheProbesKeepsItsLastProbeSelected)
{
    QString longLine = QStringLiteral("3C 55");
    while (longLine.size() < 1200)
        longLine += QStringLiteral(" 00");
    const QString b = NoteLine("3E");
    Play(longLine + CR + b);
    EXPECT_EQ(Notes(notes()), Calls({"on 60 116"}));
    EXPECT_EQ(w().TM0().Period(), 480);
    EXPECT_EQ(Selection(), Sel(1000, 1));
    EXPECT_EQ(w().selL, 0);
    Tick();
    EXPECT_EQ(Notes(notes()).back(), "on 62 116");
    EXPECT_EQ(Selection(), Sel(1000, 1));  // scanned again from the same offset
    EXPECT_EQ(w().selL, 0);
}

TEST_F(PlaybackTest, AZeroTickLineIsFollowedAtOnce)
{
    Play(NoteLine("3C", "55", "00") + NoteLine("3E"));
    EXPECT_EQ(w().TM0().Period(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w().soundNumber == 1; }, 5000));
    EXPECT_EQ(Notes(notes()), Calls({"on 60 116", "off 60", "on 62 116"}));
    EXPECT_GT(w().TM0().Period(), 16000);
}

// What kinds of line send to the note player, and for how long they last.
struct LineCase {
    const char* name;
    QString text;
    Calls notes;  // at the start and at the tick that ends it
    qint64 period;
};

TEST_F(PlaybackTest, EachKindOfLineSendsWhatItSoundsAndKeepsItsTime)
{
    const LineCase cases[] = {
        {"hex-view row", "90 40 7F 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F " + CR, {"on 64 127", "off 64"}, 480},
        {"rest line", "90 01 00 83 18 90 01 00 48" + CR, {}, 408},
        {"velocity 0", NoteLine("3C", "00", "83 18"), {}, 408},
        {"key beyond 127", NoteLine("80", "55", "60"), {}, 96},
        {"empty line", CR, {}, 480},
        {"one-byte gate and gap", "90 3C 55 30 90 3C 00 10 " + CR, {"on 60 116", "off 60"}, 48},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        Play(c.text);
        EXPECT_EQ(w().TM0().Period(), c.period);
        EXPECT_EQ(Selection(), Sel(0, c.text.size()));
        Tick();
        EXPECT_EQ(Notes(notes()), c.notes);
        EXPECT_FALSE(Playing());
    }
}

TEST_F(PlaybackTest, TheHighlightedLineIsScrolledIntoView)
{
    // Whatever draws the area, a selection in view paints in the highlight colour.
    auto highlightShown = [&] {
        QWidget* view = w().BinaryTa().Widget();
        const QRgb colour = view->palette().color(QPalette::Active, QPalette::Highlight).rgb();
        const QImage shot = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int pixels = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                pixels += (shot.pixel(x, y) | 0xff000000) == (colour | 0xff000000);
        return pixels > 100;
    };
    QString text;
    for (int i = 0; i < 300; ++i)
        text += NoteLine("3C");
    w().BinaryTa().SetText(text);
    w().BinaryTa().SetSelStart(text.size());  // the view at the end
    w().BinaryTa().ScrollToSelection();
    ASSERT_FALSE(highlightShown());
    Press();
    EXPECT_TRUE(highlightShown());
    for (int i = 0; i < 150; ++i)
        Tick();
    EXPECT_EQ(w().BinaryTa().SelStart(), 150 * NoteLine("3C").size());
    EXPECT_TRUE(highlightShown());
}
