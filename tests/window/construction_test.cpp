// The window as the program builds and opens it, against its stored control
// table row by row: class, place, parent, tab index, text, font, the picture shown
// unscaled over the bevel and the pressed state of every control, the settings of each kind of control and the
// instrument list character for character. The expected rows are written out
// here as data.
#include "fixture.h"

#include "window/pictures.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>

namespace {

enum Cls { Push, Rect, Bevel, Lbl, Popup, Area, Player, Tmr, Cnv, Field };

// index -1: not an array member; inFrame: a child of Rectangle1, else of the
// window; text: the caption, label text or hint; icon: the picture's name; style
// and pressed: of the bevel buttons.
struct Row {
    const char* name;
    qint64 index;
    Cls cls;
    int left, top, width, height;
    bool inFrame;
    int tab;
    const char *text, *font;
    int size;
    const char* icon;
    int style, pressed;
};

// In the order of creation.
const Row kControls[] = {
    {"PushButton1", -1, Push, 615, 525, 54, 33, false, 91, "↓", "System", 0, "", 0, 0},
    {"Rectangle1", -1, Rect, 96, 415, 458, 165, false, 88, "", "", 0, "", 0, 0},
    {"BBV", 13, Bevel, 347, 509, 14, 16, true, 0, "", "Osaka", 9, "VelD", 2, 0},
    {"BBR", 1, Bevel, 451, 509, 30, 20, true, 1, "C", "Osaka", 12, "", 0, 0},
    {"BBR", 2, Bevel, 481, 509, 30, 20, true, 2, "AC", "Osaka", 12, "", 0, 0},
    {"Label1", -1, Lbl, 274, 425, 120, 20, true, 3, "midi音符入力", "System", 14, "", 0, 0},
    {"PM1", -1, Popup, 424, 425, 86, 20, true, 4, "", "Osaka", 9, "", 0, 0},
    {"NotePlayButton", -1, Push, 282, 552, 110, 20, true, 5, "NotesPlay", "System", 0, "", 0, 0},
    {"MidiSaveButton", -1, Push, 400, 552, 110, 20, true, 6, "MidiSave", "System", 0, "", 0, 0},
    {"BinaryTa", -1, Area, 159, 26, 377, 380, false, 0, "", "System", 14, "", 0, 0},
    {"FileOpenButton", -1, Push, 580, 447, 120, 20, false, 1, "BinaryFile Open", "System", 0, "", 0, 0},
    {"FutterTa", -1, Area, 536, 26, 217, 380, false, 2, "", "System", 14, "", 0, 0},
    {"HedderTa", -1, Area, 49, 26, 110, 380, false, 3, "", "System", 14, "", 0, 0},
    {"La", 0, Lbl, 56, 6, 82, 21, false, 4, "アドレス(FF)", "System", 14, "", 0, 0},
    {"La", 1, Lbl, 166, 4, 350, 27, false, 5, "+1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F", "System", 15, "", 0, 0},
    {"La", 2, Lbl, 545, 4, 200, 27, false, 6, "0 1 2 3 4 5 6 7 8 9 A B C D E F", "System", 13, "", 0, 0},
    {"NPlayer", -1, Player, 0, 0, 0, 0, false, 0, "", "", 0, "", 0, 0},
    {"TM0", -1, Tmr, 0, 0, 0, 0, false, 0, "", "", 0, "", 0, 0},
    {"FilesaveButton", -1, Push, 580, 423, 120, 20, false, 46, "BinaryFile Save", "System", 0, "", 0, 0},
    {"PianoCV", -1, Cnv, 142, 450, 395, 47, false, 51, "", "", 0, "", 0, 0},
    {"BBD", 0, Bevel, 152, 527, 14, 16, false, 52, "", "Osaka", 9, "Onpu0", 2, 0},
    {"BBD", 9, Bevel, 287, 527, 14, 16, false, 53, "", "Osaka", 9, "Onpu9", 2, 0},
    {"BBD", 1, Bevel, 167, 527, 14, 16, false, 54, "", "Osaka", 9, "Onpu1", 2, 0},
    {"BBD", 2, Bevel, 182, 527, 14, 16, false, 55, "", "Osaka", 9, "Onpu2", 2, 0},
    {"BBD", 3, Bevel, 197, 527, 14, 16, false, 56, "", "Osaka", 9, "Onpu3", 2, 0},
    {"BBD", 4, Bevel, 212, 527, 14, 16, false, 57, "", "Osaka", 9, "Onpu4", 2, 1},
    {"BBD", 5, Bevel, 227, 527, 14, 16, false, 58, "", "Osaka", 9, "Onpu5", 2, 0},
    {"BBD", 6, Bevel, 242, 527, 14, 16, false, 59, "", "Osaka", 9, "Onpu6", 2, 0},
    {"BBD", 7, Bevel, 257, 527, 14, 16, false, 60, "", "Osaka", 9, "Onpu7", 2, 0},
    {"BBD", 8, Bevel, 272, 527, 14, 16, false, 61, "", "Osaka", 9, "Onpu8", 2, 0},
    {"BBD", 10, Bevel, 302, 527, 14, 16, false, 62, "", "Osaka", 9, "OnpuA", 2, 0},
    {"BBD", 11, Bevel, 317, 527, 14, 16, false, 63, "", "Osaka", 9, "OnpuB", 2, 0},
    {"BBD", 12, Bevel, 332, 527, 14, 16, false, 64, "", "Osaka", 9, "OnpuC", 2, 0},
    {"BBD", 13, Bevel, 347, 527, 14, 16, false, 65, "", "Osaka", 9, "OnpuD", 2, 0},
    {"BBD", 14, Bevel, 362, 527, 14, 16, false, 66, "", "Osaka", 9, "OnpuE", 2, 0},
    {"BBD", 15, Bevel, 377, 527, 14, 16, false, 67, "", "Osaka", 9, "OnpuF", 2, 0},
    {"BBV", 0, Bevel, 152, 509, 14, 16, false, 68, "", "Osaka", 9, "vel0", 2, 0},
    {"BBV", 1, Bevel, 167, 509, 14, 16, false, 69, "", "Osaka", 9, "Vel1", 2, 0},
    {"BBV", 2, Bevel, 182, 509, 14, 16, false, 70, "", "Osaka", 9, "Vel2", 2, 0},
    {"BBV", 3, Bevel, 197, 509, 14, 16, false, 71, "", "Osaka", 9, "Vel1", 2, 0},
    {"BBV", 4, Bevel, 212, 509, 14, 16, false, 72, "", "Osaka", 9, "Vel4", 2, 0},
    {"BBV", 5, Bevel, 227, 509, 14, 16, false, 73, "", "Osaka", 9, "Vel1", 2, 0},
    {"BBV", 6, Bevel, 242, 509, 14, 16, false, 74, "", "Osaka", 9, "Vel6", 2, 0},
    {"BBV", 7, Bevel, 257, 509, 14, 16, false, 75, "", "Osaka", 9, "Vel1", 2, 0},
    {"BBV", 8, Bevel, 272, 509, 14, 16, false, 76, "", "Osaka", 9, "Vel8", 2, 0},
    {"BBV", 9, Bevel, 287, 509, 14, 16, false, 77, "", "Osaka", 9, "Vel9", 2, 0},
    {"BBV", 10, Bevel, 302, 509, 14, 16, false, 78, "", "Osaka", 9, "VelA", 2, 0},
    {"BBV", 11, Bevel, 317, 509, 14, 16, false, 79, "", "Osaka", 9, "Vel1", 2, 0},
    {"BBV", 12, Bevel, 332, 509, 14, 16, false, 80, "", "Osaka", 9, "VelC", 2, 0},
    {"BBV", 14, Bevel, 362, 509, 14, 16, false, 82, "", "Osaka", 9, "Vel1", 2, 0},
    {"BBV", 15, Bevel, 377, 509, 14, 16, false, 83, "", "Osaka", 9, "VelF", 2, 0},
    {"BBR", 0, Bevel, 403, 511, 14, 16, false, 84, "", "Osaka", 12, "kyuhu", 0, 0},
    {"TField1", -1, Field, 567, 499, 150, 24, false, 89, "0000000000000000", "System", 0, "", 0, 0},
    {"TField2", -1, Field, 567, 544, 150, 24, false, 90, "FF FF", "System", 0, "", 0, 0},
};

const char* const kInstruments[] = {
    "楽器選択", "00：Acoustic Grand Piano( Piano )", "01：Bright Acoustic Piano", "02：Electric Grand Piano",
    "03：Honkey-tonk Piano", "04：Electric Piano1", "05：Electric Piano2", "06：Harpsichord", "07：Clavi",
    "08：Celesta( Percussion )", "09：Glockenspiel", "0A：Music Box", "0B：Vibraphone", "0C：Marinmba", "0D：Xylophone",
    "0E：Tubular Bells", "0F：Dulcimer", "10：Drawbar Organ( Organ )", "11：Percussive Organ", "12：Rock Organ",
    "13：Church Organ", "14：Reed Organ", "15：Accordion", "16：Harmonica", "17：Tango Accordion",
    "18：nylon Guitar( Guitar )", "19：steel Acoustic Guitar", "1A：jazz Electric Guitar", "1B：clean Electric Guitar",
    "1C：muted Electric Guitar", "1D：Overdriven Guitar", "1E：Distortion Guitar", "1F：Guitar harmonics",
    "20：Acoustic Bass( Bass )", "21：finger Bass", "22：pick Bass", "23：Fretless Bass", "24：Slap Bass1",
    "25：Slap Bass2", "26：Synth Bass1", "27：Synth Bass2", "28：Violin( Strings )", "29：Viola", "2A：Cello",
    "2B：Contrabass", "2C：Tremolo Strings", "2D：Pizzicato Strings", "2E：Orchestral Harp", "2F：Timpani",
    "30：String 1( Emsemble )", "31：String 2", "32：Synth String1", "33：Synth String2", "34：Choir Aahs",
    "35：Voice Oohs", "36：Synth Vox", "37：Orchestra Hit", "38：Trumpet( Brass )", "39：Trombone", "3A：Tuba",
    "3B：Muted Trumpet", "3C：French Horn", "3D：Brass Section", "3E：Synth Brass1", "3F：Synth Brass2",
    "40：Soprano Sax( Reed )", "41：Alto Sax ", "42：Tenor Sax ", "43：Baritone Sax ", "44：Oboe ", "45：English Horn ",
    "46：Bossoon ", "47：Clarinet ", "48：Piccolo( Piccolo )", "49：Flute ", "4A：Recorder ", "4B：Pan Flute ",
    "4C：Blown Bottle ", "4D：Shakuhachi ", "4E：Whistle ", "4F：Ocarina ", "50：Lead1(square) ( Lead )",
    "51：Lead2(sawtooth)", "52：Lead3(calliope) ", "53：Lead4(chiff) ", "54：Lead5(charang) ", "55：Lead6(voice) ",
    "56：Lead7(fifths) ", "57：Lead8(bass + lead) ", "58：Pad1(new age) ( Pad )", "59：Pad2(warm) ",
    "5A：Pad3(polysynth) ", "5B：Pad4(choir) ", "5C：Pad5(bowed) ", "5D：Pad6(metallic) ", "5E：Pad7(halo) ",
    "5F：Pad8(sweep) ", "60：Fx1(rain) ( Effect )", "61：Fx2(soundtrack) ", "62：Fx3(crystal) ", "63：Fx4(atmosphere) ",
    "64：Fx5(brightness) ", "65：Fx6(goblins) ", "66：Fx7(echoes) ", "67：Fx8(sci-fi) ", "68：Sitar ( Ethnic )",
    "69：Banjo", "6A：Shamisen ", "6B：Koto ", "6C：Kalimba ", "6D：Bag pipe ", "6E：Fiddle", "6F：Shanai ",
    "70：Tinkle Bell ( Percussive )", "71：Agogo ", "72：Steel Drums ", "73：Woodblock", "74：Taiko ",
    "75：Melodic Tom ", "76：Synth Drum ", "77：Reverse Cymbal ", "78：Guitar Fret Noise ( Effect )",
    "79：Breath Noise ", "7A：Seashore ", "7B：Bird Tweet ", "7C：Telephone Ring ", "7D：Helicopter ", "7E：Applause ",
    "7F：Gunshot",
};

// A control's class and what it shows of itself: a button's caption, a label's
// text, a field's hint.
std::pair<Cls, QString> ClassAndText(Control* c)
{
    if (auto* b = dynamic_cast<PushButton*>(c)) return {Push, b->Caption()};
    if (dynamic_cast<::Rectangle*>(c)) return {Rect, {}};
    if (auto* b = dynamic_cast<BevelButton*>(c)) return {Bevel, b->Caption()};
    if (auto* l = dynamic_cast<Label*>(c)) return {Lbl, l->Text()};
    if (dynamic_cast<PopupMenu*>(c)) return {Popup, {}};
    if (dynamic_cast<TextArea*>(c)) return {Area, {}};
    if (dynamic_cast<NotePlayer*>(c)) return {Player, {}};
    if (dynamic_cast<Timer*>(c)) return {Tmr, {}};
    if (dynamic_cast<Canvas*>(c)) return {Cnv, {}};
    if (auto* f = dynamic_cast<TextField*>(c)) return {Field, f->Hint()};
    return {Cls(-1), {}};
}

// The button's bevel without its icon, with the picture of the given name drawn
// over it unscaled: what the button must show.
QImage BevelWith(BevelButton& button, const char* name)
{
    const std::shared_ptr<Picture> held = button.Icon();
    button.SetIcon(nullptr);
    QImage expected = button.Widget()->grab().toImage();
    button.SetIcon(held);
    const std::shared_ptr<Picture> picture = Picture::OpenFromApp(QLatin1String(name));
    if (!picture || picture->Image().size() != QSize(14, 16))
        return QImage();
    QPainter(&expected).drawImage(QPoint(0, 0), picture->Image());
    return expected;
}

}  // namespace

TEST_F(WindowTest, EveryControlIsBuiltAsItsRowOfTheControlTable)
{
    ASSERT_EQ(w().ControlCount(), qint64(std::size(kControls)));
    for (qint64 i = 0; i < w().ControlCount(); ++i) {
        const Row& r = kControls[i];
        SCOPED_TRACE(std::string(r.name) + "(" + std::to_string(r.index) + "), created " + std::to_string(i + 1));
        Control* c = w().ControlAt(i);
        EXPECT_EQ(std::pair(c->Name(), c->Index()), std::pair(QString(r.name), r.index));
        EXPECT_EQ(r.index < 0 ? w().ControlByName(QLatin1String(r.name))
                              : w().ControlByNameIndex(QLatin1String(r.name), r.index), c);
        EXPECT_EQ(ClassAndText(c), std::pair(r.cls, QString::fromUtf8(r.text)));
        EXPECT_EQ(c->ParentControl() == &w().Rectangle1(), r.inFrame);
        if (*r.font) {
            EXPECT_EQ(std::pair(c->FontName(), c->FontSize()), std::pair(QString(r.font), double(r.size)));
        }
        if (auto* b = dynamic_cast<BevelButton*>(c)) {
            EXPECT_EQ(b->Icon() != nullptr, *r.icon != 0);
            if (*r.icon) {
                EXPECT_EQ(b->Widget()->grab().toImage(), BevelWith(*b, r.icon)) << "icon " << r.icon;
            }
            EXPECT_EQ(std::pair(b->ButtonStyle(), b->Value()), std::pair(r.style, r.pressed == 1));
        }
        if (r.width == 0) {
            EXPECT_EQ(c->Widget(), nullptr) << "no place on screen";
            continue;
        }
        // Where the user sees it, and in which widget: the frame's children move with the frame.
        QWidget* widget = c->Widget();
        EXPECT_EQ(QRect(widget->mapTo(w().ContentWidget(), QPoint(0, 0)), widget->size()),
                  QRect(r.left, r.top, r.width, r.height));
        EXPECT_EQ(widget->parentWidget(), r.inFrame ? w().Rectangle1().Widget() : w().ContentWidget());
        EXPECT_TRUE(widget->isVisible() && widget->isEnabled());
        EXPECT_EQ(c->TabIndex(), r.tab);
        // Buttons, the list and the fields show their stored font; the hex view and
        // the captions are fitted to their places (the window's look).
        // (A size of 0 is the desktop's own.)
        if (r.cls == Push || r.cls == Bevel || r.cls == Popup || r.cls == Field) {
            EXPECT_EQ(r.size > 0 ? double(widget->font().pixelSize()) : widget->font().pointSizeF(),
                      r.size > 0 ? double(r.size) : QApplication::font().pointSizeF());
        }
    }
}

TEST_F(WindowTest, EachKindOfControlCarriesItsStoredSettingsOnceTheWindowIsOpen)
{
    EXPECT_EQ(w().Title(), "Quorvanel");
    EXPECT_EQ(w().ContentWidget()->size(), QSize(800, 600));
    EXPECT_FALSE(w().Resizeable());
    EXPECT_EQ(w().Backdrop(), BackPic1());

    // The hex view: only the hex column is edited (how the focus ring and the
    // selection show is the routing test's, as drawn).
    for (TextArea* a : {&w().BinaryTa(), &w().FutterTa(), &w().HedderTa()}) {
        SCOPED_TRACE(a->Name().toStdString());
        auto* view = qobject_cast<QAbstractScrollArea*>(a->Widget());
        EXPECT_EQ(a->Text(), "");
        EXPECT_EQ(a->ReadOnly(), a != &w().BinaryTa());
        EXPECT_EQ(a->BackgroundColor(), (Color{234, 234, 234, 0}));
        EXPECT_FALSE(a->DrawsBackground()) << "its open handler lets the backdrop through";
        EXPECT_EQ(std::pair(view->verticalScrollBarPolicy(), view->horizontalScrollBarPolicy()),
                  std::pair(Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff));
        EXPECT_NE(view->frameShape(), QFrame::NoFrame);
    }
    EXPECT_FALSE(w().BinaryTa().InputMethodEnabled());

    // The converter's fields: empty, editable, framed, plain, and of any length
    // (Qt's own default stops at 32,767 characters); the input field's background
    // made transparent when it opened, the output field's left white.
    for (TextField* f : {&w().TField1(), &w().TField2()}) {
        SCOPED_TRACE(f->Name().toStdString());
        auto* edit = qobject_cast<QLineEdit*>(f->Widget());
        EXPECT_EQ(f->Text(), "");
        EXPECT_FALSE(f->ReadOnly());
        EXPECT_TRUE(edit->echoMode() == QLineEdit::Normal && edit->hasFrame());
        f->SetText(QString(40000, QLatin1Char('1')));
        QTest::keyClick(f->Widget(), Qt::Key_End);
        QTest::keyClicks(f->Widget(), "01");
        EXPECT_EQ(f->Text().size(), 40002);
    }
    EXPECT_TRUE(w().TField1().BackgroundColor().IsFullyTransparent());
    EXPECT_EQ(w().TField2().BackgroundColor(), (Color{255, 255, 255, 0}));

    // The panel's frame: its border in two greys, its fill cleared when it opened.
    EXPECT_EQ(w().Rectangle1().BorderThickness(), 2.0);
    EXPECT_EQ(std::pair(w().Rectangle1().TopLeftColor(), w().Rectangle1().BottomRightColor()),
              std::pair(Color{213, 213, 213, 0}, Color{146, 146, 146, 0}));
    EXPECT_TRUE(w().Rectangle1().FillColor().IsFullyTransparent());

    // The keyboard: its own picture of the canvas's size in place of the shared one.
    ASSERT_NE(w().PianoCV().Backdrop(), nullptr);
    EXPECT_NE(w().PianoCV().Backdrop(), Piano());
    EXPECT_EQ(QSize(int(w().PianoCV().Backdrop()->Width()), int(w().PianoCV().Backdrop()->Height())), QSize(395, 47));

    // The instrument list, its first program chosen when it opened, and what it set.
    ASSERT_EQ(w().PM1().ListCount(), qint64(std::size(kInstruments)));
    for (qint64 k = 0; k < w().PM1().ListCount(); ++k)
        EXPECT_EQ(w().PM1().List(k), QString::fromUtf8(kInstruments[k])) << "row " << k;
    EXPECT_EQ(std::pair(w().PM1().ListIndex(), w().NPlayer().Instrument()), std::pair(qint64(1), qint64(1)));
    EXPECT_EQ(std::pair(w().TM0().Mode(), w().TM0().Period()), std::pair(qint64(Timer::ModeOff), qint64(0)));
}
