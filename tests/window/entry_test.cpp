// Note entry through the controls: keyboard clicks, the velocity and note-length
// rows, rest, "C", "AC", and the instrument list.
#include "fixture.h"

#include "framework/picture.h"
#include "window/pictures.h"

#include <QTest>

namespace {

constexpr QChar CR(13);

void Click(Control& c) { QTest::mouseClick(c.Widget(), Qt::LeftButton); }

// Note-ons and note-offs only, as "on 41 100" and "off 41".
QStringList Notes(RecordingNoteOutput& out)
{
    QStringList s;
    for (const auto& call : out.Calls()) {
        if (call.kind == RecordingNoteOutput::Kind::NoteOn)
            s << QStringLiteral("on %1 %2").arg(call.value).arg(call.velocity);
        else if (call.kind == RecordingNoteOutput::Kind::NoteOff)
            s << QStringLiteral("off %1").arg(call.value);
    }
    return s;
}

QString NoteLine(const QString& key) { return "90 " + key + " 55 83 18 90 " + key + " 00 48 " + CR; }

// The canvas's own picture in the rectangle, as an image.
QImage Strip(const Picture& p, const QRect& r)
{
    const qreal dpr = p.Image().devicePixelRatio();
    return p.Image().copy(QRect(r.topLeft() * dpr, r.size() * dpr)).convertToFormat(QImage::Format_ARGB32);
}

struct KeyClick {
    int x, y;
    const char* key;  // the note line's key text; "" for no key
    int note;
};

// A white key, a black key, a gap between keys and the last key; the whole
// hit-testing table is the keyboard's own test.
const KeyClick kKeyClicks[] = {
    {3, 29, "29", 41}, {11, 28, "2A", 42}, {2, 29, "", 0}, {390, 40, "58", 88},
};

}  // namespace

TEST_F(WindowTest, KeyClicksInsertTheirNoteLineAndSoundTheNoteOnce)
{
    for (const KeyClick& k : kKeyClicks) {
        SCOPED_TRACE(QStringLiteral("(%1, %2)").arg(k.x).arg(k.y).toStdString());
        w().BinaryTa().SetText(QString());
        notes().Clear();
        QTest::mouseClick(w().PianoCV().Widget(), Qt::LeftButton, {}, QPoint(k.x, k.y));
        if (*k.key) {
            EXPECT_EQ(w().BinaryTa().Text(), NoteLine(k.key));
            EXPECT_EQ(Notes(notes()), QStringList({QStringLiteral("on %1 100").arg(k.note),
                                                   QStringLiteral("off %1").arg(k.note)}));
        } else {
            EXPECT_EQ(w().BinaryTa().Text(), "");
            EXPECT_TRUE(Notes(notes()).isEmpty());
        }
    }
}

TEST_F(WindowTest, GapClicksDoNothingAndGetNoMouseUp)
{
    // A white key held down stays drawn pressed; a gap press that took no mouse-up
    // cannot restore it.
    const QRect whiteKey(14 * 11 + 2, 0, 14, 47);
    QTest::mousePress(w().PianoCV().Widget(), Qt::LeftButton, {}, QPoint(160, 40));
    const QImage pressed = Strip(*w().PianoCV().Backdrop(), whiteKey);
    w().BinaryTa().SetText(QString());
    notes().Clear();
    for (QPoint gap : {QPoint(55, 10), QPoint(390, 10)}) {
        QTest::mousePress(w().PianoCV().Widget(), Qt::LeftButton, {}, gap);
        QTest::mouseRelease(w().PianoCV().Widget(), Qt::LeftButton, {}, gap);
    }
    EXPECT_EQ(Strip(*w().PianoCV().Backdrop(), whiteKey), pressed);
    EXPECT_NE(pressed, Strip(*Piano(), whiteKey));
    EXPECT_EQ(w().BinaryTa().Text(), "");
    EXPECT_TRUE(Notes(notes()).isEmpty());
}

TEST_F(WindowTest, PressDrawsTheKeyFromThePressedPictureAndReleaseRestoresIt)
{
    struct Case {
        QPoint at;
        QRect key;
        bool black;
    };
    for (const Case& c : {Case{QPoint(160, 40), QRect(156, 0, 14, 47), false},
                          Case{QPoint(170, 10), QRect(164, 0, 14, 25), true}}) {
        Canvas& canvas = w().PianoCV();
        ASSERT_NE(canvas.Backdrop(), Piano()) << "the canvas draws into a picture of its own";
        EXPECT_EQ(Strip(*canvas.Backdrop(), QRect(0, 0, 395, 47)), Strip(*Piano(), QRect(0, 0, 395, 47)));
        QTest::mousePress(canvas.Widget(), Qt::LeftButton, {}, c.at);
        const Picture& source = *(c.black ? PianoSS() : PianoS());
        EXPECT_EQ(Strip(*canvas.Backdrop(), c.key), Strip(source, c.key));
        EXPECT_NE(Strip(source, c.key), Strip(*Piano(), c.key));
        QTest::mouseMove(canvas.Widget(), QPoint(300, 40));  // a drag presses nothing more
        QTest::mouseRelease(canvas.Widget(), Qt::LeftButton, {}, QPoint(300, 40));
        EXPECT_EQ(Strip(*canvas.Backdrop(), QRect(0, 0, 395, 47)), Strip(*Piano(), QRect(0, 0, 395, 47)));
    }
    EXPECT_EQ(w().BinaryTa().Text(), NoteLine("3C") + NoteLine("3D"));
    EXPECT_EQ(Piano(), Piano()) << "the shared picture is opened once";
}

TEST_F(WindowTest, NoteLineReplacesTheSelectionAndTakesTheCurrentChoices)
{
    w().BinaryTa().SetText("AAAA");
    w().BinaryTa().SetSelStart(1);
    w().BinaryTa().SetSelLength(2);
    Click(w().BBV(15));
    Click(w().BBD(0));
    QTest::mouseClick(w().PianoCV().Widget(), Qt::LeftButton, {}, QPoint(160, 40));
    EXPECT_EQ(Track(), "A90 3C 7F 8C 60 90 3C 00 82 20 |A");
    EXPECT_EQ(w().BinaryTa().SelStart(), 1 + 31);
    EXPECT_EQ(Notes(notes()), QStringList({"on 60 100", "off 60"})) << "the preview ignores the velocity row";
}

TEST_F(WindowTest, VelocityButtonsStoreTheirValueAndStayAlonePressed)
{
    const char* values[16] = {"00", "05", "0A", "14", "1E", "28", "32", "3C",
                              "46", "4B", "55", "5A", "64", "6E", "78", "7F"};
    for (qint64 i : {13, 0, 0}) {
        Click(w().BBV(i));
        EXPECT_EQ(w().vv, values[i]) << i;
        for (qint64 j = 0; j < 16; ++j)
            EXPECT_EQ(w().BBV(j).Value(), j == i) << i << " " << j;
        EXPECT_EQ(w().xx, "48");
        EXPECT_EQ(w().yy, "83 18");
        EXPECT_TRUE(w().BBD(4).Value()) << "the other row is left alone";
    }
}

TEST_F(WindowTest, NoteLengthButtonsStoreGapAndGateAndStayAlonePressed)
{
    struct Row {
        qint64 index;
        const char* gap;
        const char* gate;
    };
    for (const Row& r : {Row{0, "82 20", "8C 60"}, Row{15, "02", "0D"}, Row{4, "48", "83 18"}, Row{4, "48", "83 18"}}) {
        Click(w().BBD(r.index));
        EXPECT_EQ(w().xx, r.gap) << r.index;
        EXPECT_EQ(w().yy, r.gate) << r.index;
        for (qint64 j = 0; j < 16; ++j)
            EXPECT_EQ(w().BBD(j).Value(), j == r.index) << r.index << " " << j;
        EXPECT_EQ(w().vv, "55");
    }
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
    EXPECT_TRUE(Notes(notes()).isEmpty());
    EXPECT_FALSE(w().BBR(0).Value());
}

TEST_F(WindowTest, LineDeleteRemovesTheLineBeforeTheCaret)
{
    struct Case {
        const char* text;  // "|" for CR
        qint64 caret, selection;
        const char* after;
        qint64 caretAfter;
    };
    // A few carets through the button; every caret is the track rules' own table.
    const Case cases[] = {
        {"AB|CD|", 5, 0, "AB||", 3}, {"AB|CD|", 2, 0, "|CD|", 0}, {"AB|CD|", 1, 0, "AB|CD|", 1},
        {"AB|CD|", 5, 1, "AB||", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " caret " + std::to_string(c.caret));
        w().BinaryTa().SetText(QString(c.text).replace('|', CR));
        w().BinaryTa().SetSelStart(c.caret);
        w().BinaryTa().SetSelLength(c.selection);
        const QString expected = QString(c.after).replace('\n', CR);
        Click(w().BBR(1));
        EXPECT_EQ(Track(), QString(expected).replace(CR, '|'));
        EXPECT_EQ(w().BinaryTa().SelStart(), c.caretAfter);
    }
}

TEST_F(WindowTest, ClearEmptiesOnlyTheHexColumn)
{
    w().HedderTa().SetText("00000000:\r");
    w().FutterTa().SetText("A ");
    w().BinaryTa().SetText("41 ");
    Click(w().BBR(2));
    EXPECT_EQ(w().BinaryTa().Text(), "");
    EXPECT_EQ(w().HedderTa().Text(), "00000000:\r");
    EXPECT_EQ(w().FutterTa().Text(), "A ");
    Click(w().BBR(2));
    EXPECT_EQ(w().BinaryTa().Text(), "");
    Click(w().BBR(1));
    EXPECT_EQ(w().HedderTa().Text(), "00000000:\r");
}

TEST_F(WindowTest, InstrumentRowsSetTheNotePlayersInstrument)
{
    struct Case {
        qint64 row, instrument;
    };
    for (const Case& c : {Case{16, 16}, Case{0, 1}}) {
        notes().Clear();
        w().PM1().SetListIndex(c.row);
        EXPECT_EQ(w().NPlayer().Instrument(), c.instrument) << c.row;
        ASSERT_FALSE(notes().Calls().empty());
        EXPECT_EQ(notes().Calls().back().kind, RecordingNoteOutput::Kind::ProgramChange);
        EXPECT_EQ(notes().Calls().back().value, c.instrument - 1);
    }
}
