// The window as built and opened: its controls against the control table, their
// settings, the menu bar and the one instance.
#include "fixture.h"

#include "window/mainmenubar.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

namespace {

// One row of the control table, in the order of creation. A control without a
// place (width 0) has no widget, so no place and no tab index either.
struct Row {
    const char* name;
    qint64 index;
    int left, top, width, height;
    bool inRectangle;
    int tabIndex;
    const char* text;  // caption, label text or hint
};

// The note length (BBD) and velocity (BBV) buttons stand in two rows, 15 apart.
Row NoteLength(qint64 i, int tab) { return {"BBD", i, 152 + 15 * int(i), 527, 14, 16, false, tab, ""}; }
Row Velocity(qint64 i, int tab) { return {"BBV", i, 152 + 15 * int(i), 509, 14, 16, i == 13, tab, ""}; }

const Row kControls[] = {
    {"PushButton1", -1, 615, 525, 54, 33, false, 91, "↓"},
    {"Rectangle1", -1, 96, 415, 458, 165, false, 88, ""},
    Velocity(13, 0),
    {"BBR", 1, 451, 509, 30, 20, true, 1, "C"},
    {"BBR", 2, 481, 509, 30, 20, true, 2, "AC"},
    {"Label1", -1, 274, 425, 120, 20, true, 3, "midi音符入力"},
    {"PM1", -1, 424, 425, 86, 20, true, 4, ""},
    {"NotePlayButton", -1, 282, 552, 110, 20, true, 5, "NotesPlay"},
    {"MidiSaveButton", -1, 400, 552, 110, 20, true, 6, "MidiSave"},
    {"BinaryTa", -1, 159, 26, 377, 380, false, 0, ""},
    {"FileOpenButton", -1, 580, 447, 120, 20, false, 1, "BinaryFile Open"},
    {"FutterTa", -1, 536, 26, 217, 380, false, 2, ""},
    {"HedderTa", -1, 49, 26, 110, 380, false, 3, ""},
    {"La", 0, 56, 6, 82, 21, false, 4, "アドレス(FF)"},
    {"La", 1, 166, 4, 350, 27, false, 5, "+1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F"},
    {"La", 2, 545, 4, 200, 27, false, 6, "0 1 2 3 4 5 6 7 8 9 A B C D E F"},
    {"NPlayer", -1, 0, 0, 0, 0, false, 0, ""},
    {"TM0", -1, 0, 0, 0, 0, false, 0, ""},
    {"FilesaveButton", -1, 580, 423, 120, 20, false, 46, "BinaryFile Save"},
    {"PianoCV", -1, 142, 450, 395, 47, false, 51, ""},
    NoteLength(0, 52), NoteLength(9, 53), NoteLength(1, 54), NoteLength(2, 55), NoteLength(3, 56),
    NoteLength(4, 57), NoteLength(5, 58), NoteLength(6, 59), NoteLength(7, 60), NoteLength(8, 61),
    NoteLength(10, 62), NoteLength(11, 63), NoteLength(12, 64), NoteLength(13, 65), NoteLength(14, 66),
    NoteLength(15, 67),
    Velocity(0, 68), Velocity(1, 69), Velocity(2, 70), Velocity(3, 71), Velocity(4, 72), Velocity(5, 73),
    Velocity(6, 74), Velocity(7, 75), Velocity(8, 76), Velocity(9, 77), Velocity(10, 78), Velocity(11, 79),
    Velocity(12, 80), Velocity(14, 82), Velocity(15, 83),
    {"BBR", 0, 403, 511, 14, 16, false, 84, ""},
    {"TField1", -1, 567, 499, 150, 24, false, 89, "0000000000000000"},
    {"TField2", -1, 567, 544, 150, 24, false, 90, "FF FF"},
};

// The text a control shows of itself: a button's caption, a label's text, a field's hint.
QString OwnText(Control& c)
{
    if (auto* b = dynamic_cast<PushButton*>(&c))
        return b->Caption();
    if (auto* b = dynamic_cast<BevelButton*>(&c))
        return b->Caption();
    if (auto* l = dynamic_cast<Label*>(&c))
        return l->Text();
    if (auto* f = dynamic_cast<TextField*>(&c))
        return f->Hint();
    return QString();
}

// The widget's place in the window's content, whatever its Qt parent.
QRect PlaceInContent(MW& w, Control& c)
{
    QWidget* widget = c.Widget();
    return QRect(widget->mapTo(w.ContentWidget(), QPoint(0, 0)), widget->size());
}

}  // namespace

TEST_F(WindowTest, ControlsAreCreatedInTableOrderWithTheirPlacesTabsAndTexts)
{
    ASSERT_EQ(w().ControlCount(), qint64(std::size(kControls)));
    for (qint64 i = 0; i < w().ControlCount(); ++i) {
        const Row& r = kControls[i];
        SCOPED_TRACE(std::string(r.name) + "(" + std::to_string(r.index) + ") at " + std::to_string(i));
        Control* c = w().ControlAt(i);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->Name(), QLatin1String(r.name));
        EXPECT_EQ(c->Index(), r.index);
        EXPECT_EQ(r.index < 0 ? w().ControlByName(QLatin1String(r.name))
                              : w().ControlByNameIndex(QLatin1String(r.name), r.index),
                  c);
        EXPECT_EQ(OwnText(*c), QString::fromUtf8(r.text));
        EXPECT_EQ(c->ParentControl() == &w().Rectangle1(), r.inRectangle);
        if (r.width == 0)
            continue;
        EXPECT_EQ(PlaceInContent(w(), *c), QRect(r.left, r.top, r.width, r.height));
        EXPECT_EQ(c->TabIndex(), r.tabIndex);
    }
}

TEST_F(WindowTest, OnlyTheQuarterNoteButtonStartsPressed)
{
    for (qint64 i = 0; i < 16; ++i) {
        EXPECT_EQ(w().BBD(i).Value(), i == 4) << i;
        EXPECT_FALSE(w().BBV(i).Value()) << i;
        EXPECT_EQ(w().BBD(i).ButtonStyle(), 2);
        EXPECT_EQ(w().BBV(i).ButtonStyle(), 2);
    }
    for (qint64 i = 0; i < 3; ++i) {
        EXPECT_FALSE(w().BBR(i).Value());
        EXPECT_EQ(w().BBR(i).ButtonStyle(), 0);
    }
}

TEST_F(WindowTest, TextsStartEmptyAndOnlyTheHexColumnIsEditable)
{
    EXPECT_EQ(w().TField1().Text(), "");
    EXPECT_EQ(w().TField2().Text(), "");
    for (TextArea* a : {&w().HedderTa(), &w().BinaryTa(), &w().FutterTa()})
        EXPECT_EQ(a->Text(), "");
    EXPECT_FALSE(w().BinaryTa().ReadOnly());
    EXPECT_TRUE(w().HedderTa().ReadOnly());
    EXPECT_TRUE(w().FutterTa().ReadOnly());
}

TEST_F(WindowTest, EveryButtonShowsItsIconAndSharesIt)
{
    for (qint64 i = 0; i < 16; ++i) {
        EXPECT_NE(w().BBD(i).Icon(), nullptr) << i;
        EXPECT_NE(w().BBV(i).Icon(), nullptr) << i;
    }
    for (qint64 i : {3, 5, 7, 11, 14})
        EXPECT_EQ(w().BBV(i).Icon(), w().BBV(1).Icon()) << i;
    EXPECT_NE(w().BBV(0).Icon(), w().BBV(1).Icon());
    EXPECT_NE(w().BBR(0).Icon(), nullptr);
    EXPECT_EQ(w().BBR(1).Icon(), nullptr);
    EXPECT_EQ(w().BBR(2).Icon(), nullptr);
}

TEST_F(WindowTest, OpeningChoosesTheFirstProgramAndInstrumentOne)
{
    EXPECT_EQ(w().PM1().ListCount(), 129);
    EXPECT_EQ(w().PM1().ListIndex(), 1);
    EXPECT_EQ(w().PM1().List(0), QString::fromUtf8("楽器選択"));
    EXPECT_EQ(w().PM1().List(128), QString::fromUtf8("7F：Gunshot"));
    EXPECT_EQ(w().NPlayer().Instrument(), 1);
    EXPECT_EQ(w().TM0().Mode(), Timer::ModeOff);
    EXPECT_EQ(w().TM0().Period(), 0);
}

TEST_F(WindowTest, OpenHandlersMakeFrameFieldAndColumnsTransparent)
{
    EXPECT_TRUE(w().Rectangle1().FillColor().IsFullyTransparent());
    EXPECT_EQ(w().Rectangle1().BorderThickness(), 2.0);
    EXPECT_TRUE(w().TField1().BackgroundColor().IsFullyTransparent());
    EXPECT_FALSE(w().TField2().BackgroundColor().IsFullyTransparent());
    for (TextArea* a : {&w().HedderTa(), &w().BinaryTa(), &w().FutterTa()})
        EXPECT_FALSE(a->DrawsBackground());
    EXPECT_TRUE(w().AcceptsFileDrops());
    EXPECT_FALSE(w().BinaryTa().InputMethodEnabled());
}

TEST_F(WindowTest, TheWindowIsAFixedTitledEightHundredBySixHundred)
{
    EXPECT_EQ(w().Title(), "Quorvanel");
    EXPECT_EQ(w().ContentWidget()->size(), QSize(800, 600));
    EXPECT_FALSE(w().Resizeable());
    EXPECT_TRUE(w().QtWindow()->isVisible());
    EXPECT_EQ(w().QtWindow()->minimumSize(), w().QtWindow()->maximumSize());
    EXPECT_FALSE(w().QtWindow()->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w().QtWindow()->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_NE(w().Backdrop(), nullptr);
}

TEST_F(WindowTest, TheInstanceIsBuiltOnceAndReturnedAgain)
{
    w().vv = "7F";
    w().BinaryTa().SetText("90 ");
    MW& again = MW::Instance();
    EXPECT_EQ(&again, &w());
    EXPECT_EQ(again.vv, "7F");
    EXPECT_EQ(again.BinaryTa().Text(), "90 ");
    EXPECT_EQ(again.ControlCount(), 54);
    EXPECT_EQ(MW::Existing(), &w());
}

TEST_F(WindowTest, TheWindowShowsTheSharedMenuBar)
{
    EXPECT_EQ(w().MenuBar(), &MainMenuBar::Instance());
    EXPECT_EQ(&MainMenuBar::Instance(), &MainMenuBar::Instance());
    MenuItem* bar = w().MenuBar();
    ASSERT_EQ(bar->Count(), 2);
    EXPECT_EQ(bar->Item(0), &w().FileMenu());
    EXPECT_EQ(bar->Item(1), &w().EditMenu());
    EXPECT_EQ(w().FileMenu().Count(), 1);
    EXPECT_EQ(w().EditMenu().Count(), 8);
    QStringList qtMenus;
    for (QAction* a : w().QtWindow()->menuBar()->actions())
        qtMenus << a->text();
    EXPECT_EQ(qtMenus, QStringList({"&File", "&Edit"}));
}

struct MenuRow {
    const char* name;
    const char* caption;
    const char* shortcut;  // as stored; Ctrl on this desktop
    MenuItem& (MW::*accessor)();
};

TEST_F(WindowTest, MenuItemsCarryTheirCaptionsAndShortcuts)
{
    const MenuRow rows[] = {
        {"EditUndo", "&Undo", "Cmd+Z", &MW::EditUndo},
        {"EditSeparator1", "-", "", &MW::EditSeparator1},
        {"EditCut", "Cu&t", "Cmd+X", &MW::EditCut},
        {"EditCopy", "&Copy", "Cmd+C", &MW::EditCopy},
        {"EditPaste", "&Paste", "Cmd+V", &MW::EditPaste},
        {"EditClear", "&Delete", "", &MW::EditClear},
        {"EditSeparator2", "-", "", &MW::EditSeparator2},
        {"EditSelectAll", "Select &All", "Cmd+A", &MW::EditSelectAll},
    };
    for (qint64 i = 0; i < 8; ++i) {
        const MenuRow& r = rows[i];
        SCOPED_TRACE(r.name);
        MenuItem& item = (w().*r.accessor)();
        EXPECT_EQ(w().EditMenu().Item(i), &item);
        EXPECT_EQ(item.Name(), r.name);
        EXPECT_EQ(item.Value(), r.caption);
        EXPECT_EQ(item.Shortcut(), r.shortcut);
        EXPECT_EQ(item.QtAction()->shortcut(), QKeySequence(QString(r.shortcut).replace("Cmd+", "Ctrl+")));
    }
    EXPECT_NE(&w().EditSeparator1(), &w().EditSeparator2());
    EXPECT_EQ(w().FileQuit().Value(), "&Quit");
    EXPECT_EQ(w().FileQuit().QtAction()->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(w().FileMenu().Item(0), &w().FileQuit());
}
