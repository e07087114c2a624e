// The window as built and opened: its controls, their places and settings, the
// menu bar, the editor state's defaults and the one instance.
#include "fixture.h"

#include "window/mainmenubar.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

namespace {

struct Place {
    const char* name;
    qint64 index;
    int left, top, width, height;
    bool inRectangle;
    int tabIndex;
};

// Table 1, single controls and BBR / La members.
const Place kPlaces[] = {
    {"PushButton1", -1, 615, 525, 54, 33, false, 91},   {"Rectangle1", -1, 96, 415, 458, 165, false, 88},
    {"BBR", 1, 451, 509, 30, 20, true, 1},              {"BBR", 2, 481, 509, 30, 20, true, 2},
    {"Label1", -1, 274, 425, 120, 20, true, 3},         {"PM1", -1, 424, 425, 86, 20, true, 4},
    {"NotePlayButton", -1, 282, 552, 110, 20, true, 5}, {"MidiSaveButton", -1, 400, 552, 110, 20, true, 6},
    {"BinaryTa", -1, 159, 26, 377, 380, false, 0},      {"FileOpenButton", -1, 580, 447, 120, 20, false, 1},
    {"FutterTa", -1, 536, 26, 217, 380, false, 2},      {"HedderTa", -1, 49, 26, 110, 380, false, 3},
    {"La", 0, 56, 6, 82, 21, false, 4},                 {"La", 1, 166, 4, 350, 27, false, 5},
    {"La", 2, 545, 4, 200, 27, false, 6},               {"FilesaveButton", -1, 580, 423, 120, 20, false, 46},
    {"PianoCV", -1, 142, 450, 395, 47, false, 51},      {"BBR", 0, 403, 511, 14, 16, false, 84},
    {"TField1", -1, 567, 499, 150, 24, false, 89},      {"TField2", -1, 567, 544, 150, 24, false, 90},
};

Control* Find(MW& w, const char* name, qint64 index)
{
    return index < 0 ? w.ControlByName(QLatin1String(name)) : w.ControlByNameIndex(QLatin1String(name), index);
}

// The widget's place in the window's content, whatever its Qt parent.
QRect PlaceInContent(MW& w, Control& c)
{
    QWidget* widget = c.Widget();
    return QRect(widget->mapTo(w.ContentWidget(), QPoint(0, 0)), widget->size());
}

}  // namespace

TEST_F(WindowTest, AllFiftyFourControlsExistUnderTheirNames)
{
    EXPECT_EQ(w().ControlCount(), 54);
    for (qint64 i = 0; i < 16; ++i) {
        EXPECT_EQ(w().BBV(i).Index(), i);
        EXPECT_EQ(w().BBD(i).Index(), i);
        EXPECT_NE(&w().BBV(i), &w().BBD(i));
    }
    for (qint64 i = 0; i < 3; ++i) {
        EXPECT_EQ(w().BBR(i).Index(), i);
        EXPECT_EQ(w().La(i).Index(), i);
    }
    EXPECT_EQ(w().BinaryTa().Name(), "BinaryTa");
    EXPECT_EQ(&w().BinaryTa(), &w().BinaryTa());
    for (Control* c : {static_cast<Control*>(&w().PushButton1()), static_cast<Control*>(&w().Rectangle1()),
                       static_cast<Control*>(&w().Label1()), static_cast<Control*>(&w().PM1()),
                       static_cast<Control*>(&w().NotePlayButton()), static_cast<Control*>(&w().MidiSaveButton()),
                       static_cast<Control*>(&w().FileOpenButton()), static_cast<Control*>(&w().FutterTa()),
                       static_cast<Control*>(&w().HedderTa()), static_cast<Control*>(&w().NPlayer()),
                       static_cast<Control*>(&w().TM0()), static_cast<Control*>(&w().FilesaveButton()),
                       static_cast<Control*>(&w().PianoCV()), static_cast<Control*>(&w().TField1()),
                       static_cast<Control*>(&w().TField2())})
        EXPECT_EQ(c->Index(), -1) << c->Name().toStdString();
}

TEST_F(WindowTest, ControlsAreCreatedInTheStoredOrder)
{
    QStringList order;
    for (qint64 i = 0; i < w().ControlCount(); ++i) {
        Control* c = w().ControlAt(i);
        order << (c->Index() < 0 ? c->Name() : QStringLiteral("%1(%2)").arg(c->Name()).arg(c->Index()));
    }
    EXPECT_EQ(order.mid(0, 20).join(' ').toStdString(),
              "PushButton1 Rectangle1 BBV(13) BBR(1) BBR(2) Label1 PM1 NotePlayButton MidiSaveButton "
              "BinaryTa FileOpenButton FutterTa HedderTa La(0) La(1) La(2) NPlayer TM0 FilesaveButton PianoCV");
    EXPECT_EQ(order.mid(20, 16).join(' ').toStdString(),
              "BBD(0) BBD(9) BBD(1) BBD(2) BBD(3) BBD(4) BBD(5) BBD(6) BBD(7) BBD(8) BBD(10) BBD(11) "
              "BBD(12) BBD(13) BBD(14) BBD(15)");
    EXPECT_EQ(order.mid(36).join(' ').toStdString(),
              "BBV(0) BBV(1) BBV(2) BBV(3) BBV(4) BBV(5) BBV(6) BBV(7) BBV(8) BBV(9) BBV(10) BBV(11) "
              "BBV(12) BBV(14) BBV(15) BBR(0) TField1 TField2");
}

TEST_F(WindowTest, ControlsStandWhereTheTablePutsThem)
{
    for (const Place& p : kPlaces) {
        SCOPED_TRACE(std::string(p.name) + "(" + std::to_string(p.index) + ")");
        Control* c = Find(w(), p.name, p.index);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(PlaceInContent(w(), *c), QRect(p.left, p.top, p.width, p.height));
        EXPECT_EQ(c->ParentControl() == &w().Rectangle1(), p.inRectangle);
        EXPECT_EQ(c->TabIndex(), p.tabIndex);
    }
    for (qint64 i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(PlaceInContent(w(), w().BBD(i)), QRect(152 + 15 * int(i), 527, 14, 16));
        EXPECT_EQ(PlaceInContent(w(), w().BBV(i)), QRect(152 + 15 * int(i), 509, 14, 16));
        EXPECT_EQ(w().BBV(i).ParentControl() == &w().Rectangle1(), i == 13);
        EXPECT_EQ(w().BBD(i).ParentControl(), nullptr);
    }
    EXPECT_EQ(w().BBV(0).TabIndex(), 68);
    EXPECT_EQ(w().BBV(13).TabIndex(), 0);
    EXPECT_EQ(w().BBV(15).TabIndex(), 83);
    EXPECT_EQ(w().BBD(9).TabIndex(), 53);
    EXPECT_EQ(w().BBD(15).TabIndex(), 67);
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

TEST_F(WindowTest, TextsCaptionsAndHintsAreTheStoredOnes)
{
    EXPECT_EQ(w().PushButton1().Caption(), QString::fromUtf8("↓"));
    EXPECT_EQ(w().NotePlayButton().Caption(), "NotesPlay");
    EXPECT_EQ(w().MidiSaveButton().Caption(), "MidiSave");
    EXPECT_EQ(w().FileOpenButton().Caption(), "BinaryFile Open");
    EXPECT_EQ(w().FilesaveButton().Caption(), "BinaryFile Save");
    EXPECT_EQ(w().Label1().Text(), QString::fromUtf8("midi音符入力"));
    EXPECT_EQ(w().La(0).Text(), QString::fromUtf8("アドレス(FF)"));
    EXPECT_EQ(w().La(1).Text(), "+1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F");
    EXPECT_EQ(w().La(2).Text(), "0 1 2 3 4 5 6 7 8 9 A B C D E F");
    EXPECT_EQ(w().BBR(0).Caption(), "");
    EXPECT_EQ(w().BBR(1).Caption(), "C");
    EXPECT_EQ(w().BBR(2).Caption(), "AC");
    EXPECT_EQ(w().TField1().Hint(), "0000000000000000");
    EXPECT_EQ(w().TField2().Hint(), "FF FF");
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
