// The 54 controls of the main window in their order of creation, with their
// places, parents, tab indexes, texts, fonts, icons and event wiring.
#include "window/mw.h"

#include "entry/instruments.h"
#include "framework/graphics/colour.h"
#include "window/pictures.h"

#include <array>
#include <vector>

namespace {

using PictureFn = std::shared_ptr<Picture> (*)();

enum class Kind { Push, Rect, Bevel, Label, Popup, Area, Player, Timer, Canvas, Field };

// One row of the control table: the first 20 rows stand for single controls and
// three BBR members; the button rows BBD and BBV are generated (see Rows()).
struct ControlRow {
    Kind kind;
    const char* name;
    qint64 index;  // -1: not an array member
    int left, top, width, height;
    bool inRectangle;  // parent Rectangle1, else the window
    int tabIndex;
    const char* text;  // caption, label text or hint
    const char* font;
    double fontSize;
};

constexpr int kRowCount = 54;
constexpr int kFirstRowOfPart1 = 30;  // CreateControls0 makes rows 0..29

// BBD(i) and BBV(i) sit at 152 + 15i.
constexpr int RowLeft(qint64 i) { return 152 + 15 * int(i); }

constexpr PictureFn kVelocityIcons[16] = {vel0, Vel1, Vel2, Vel1, Vel4, Vel1, Vel6, Vel1,
                                          Vel8, Vel9, VelA, Vel1, VelC, VelD, Vel1, VelF};
constexpr PictureFn kNoteLengthIcons[16] = {Onpu0, Onpu1, Onpu2, Onpu3, Onpu4, Onpu5, Onpu6, Onpu7,
                                            Onpu8, Onpu9, OnpuA, OnpuB, OnpuC, OnpuD, OnpuE, OnpuF};
constexpr int kNoteLengthTabs[16] = {52, 54, 55, 56, 57, 58, 59, 60, 61, 53, 62, 63, 64, 65, 66, 67};
constexpr int VelocityTab(qint64 i) { return i == 13 ? 0 : 68 + int(i); }
constexpr qint64 kPressedNoteLength = 4;

ControlRow NoteLengthRow(qint64 i)
{
    return {Kind::Bevel, "BBD", i, RowLeft(i), 527, 14, 16, false, kNoteLengthTabs[i], "", "Osaka", 9};
}

ControlRow VelocityRow(qint64 i)
{
    return {Kind::Bevel, "BBV", i, RowLeft(i), 509, 14, 16, i == 13, VelocityTab(i), "", "Osaka", 9};
}

const std::vector<ControlRow>& Rows()
{
    static const std::vector<ControlRow> rows = [] {
        std::vector<ControlRow> r = {
            {Kind::Push, "PushButton1", -1, 615, 525, 54, 33, false, 91, "↓", "System", 0},
            {Kind::Rect, "Rectangle1", -1, 96, 415, 458, 165, false, 88, "", "", 0},
            VelocityRow(13),
            {Kind::Bevel, "BBR", 1, 451, 509, 30, 20, true, 1, "C", "Osaka", 12},
            {Kind::Bevel, "BBR", 2, 481, 509, 30, 20, true, 2, "AC", "Osaka", 12},
            {Kind::Label, "Label1", -1, 274, 425, 120, 20, true, 3, "midi音符入力", "System", 14},
            {Kind::Popup, "PM1", -1, 424, 425, 86, 20, true, 4, "", "Osaka", 9},
            {Kind::Push, "NotePlayButton", -1, 282, 552, 110, 20, true, 5, "NotesPlay", "System", 0},
            {Kind::Push, "MidiSaveButton", -1, 400, 552, 110, 20, true, 6, "MidiSave", "System", 0},
            {Kind::Area, "BinaryTa", -1, 159, 26, 377, 380, false, 0, "", "System", 14},
            {Kind::Push, "FileOpenButton", -1, 580, 447, 120, 20, false, 1, "BinaryFile Open", "System", 0},
            {Kind::Area, "FutterTa", -1, 536, 26, 217, 380, false, 2, "", "System", 14},
            {Kind::Area, "HedderTa", -1, 49, 26, 110, 380, false, 3, "", "System", 14},
            {Kind::Label, "La", 0, 56, 6, 82, 21, false, 4, "アドレス(FF)", "System", 14},
            {Kind::Label, "La", 1, 166, 4, 350, 27, false, 5, "+1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F",
             "System", 15},
            {Kind::Label, "La", 2, 545, 4, 200, 27, false, 6, "0 1 2 3 4 5 6 7 8 9 A B C D E F", "System", 13},
            {Kind::Player, "NPlayer", -1, 0, 0, 0, 0, false, 0, "", "", 0},
            {Kind::Timer, "TM0", -1, 0, 0, 0, 0, false, 0, "", "", 0},
            {Kind::Push, "FilesaveButton", -1, 580, 423, 120, 20, false, 46, "BinaryFile Save", "System", 0},
            {Kind::Canvas, "PianoCV", -1, 142, 450, 395, 47, false, 51, "", "", 0},
        };
        for (qint64 i : {0, 9, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15})
            r.push_back(NoteLengthRow(i));
        for (qint64 i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15})
            r.push_back(VelocityRow(i));
        r.push_back({Kind::Bevel, "BBR", 0, 403, 511, 14, 16, false, 84, "", "Osaka", 12});
        r.push_back({Kind::Field, "TField1", -1, 567, 499, 150, 24, false, 89, "0000000000000000", "System", 0});
        r.push_back({Kind::Field, "TField2", -1, 567, 544, 150, 24, false, 90, "FF FF", "System", 0});
        return r;
    }();
    return rows;
}

const Color kTextAreaBackground{234, 234, 234, 0};

// Step 1 and 2 of each control: made and registered under its name (and index).
Control& Make(MW& w, const ControlRow& row)
{
    const QString name = QString::fromLatin1(row.name);
    switch (row.kind) {
    case Kind::Push: return w.Add<PushButton>(name, row.index);
    case Kind::Rect: return w.Add<::Rectangle>(name, row.index);
    case Kind::Bevel: return w.Add<BevelButton>(name, row.index);
    case Kind::Label: return w.Add<Label>(name, row.index);
    case Kind::Popup: return w.Add<PopupMenu>(name, row.index);
    case Kind::Area: return w.Add<TextArea>(name, row.index);
    case Kind::Player: return w.Add<NotePlayer>(name, row.index);
    case Kind::Timer: return w.Add<Timer>(name, row.index);
    case Kind::Canvas: return w.Add<Canvas>(name, row.index);
    case Kind::Field: return w.Add<TextField>(name, row.index);
    }
    throw std::logic_error("unknown control kind");
}

// Step 3: the picture, before the settings.
void SetPicture(const ControlRow& row, Control& c)
{
    const QLatin1String name(row.name);
    if (auto* b = dynamic_cast<BevelButton*>(&c)) {
        if (name == QLatin1String("BBV"))
            b->SetIcon(kVelocityIcons[row.index]());
        else if (name == QLatin1String("BBD"))
            b->SetIcon(kNoteLengthIcons[row.index]());
        else if (row.index == 0)  // BBR(0), the rest button
            b->SetIcon(kyuhu());
    } else if (auto* cv = dynamic_cast<Canvas*>(&c)) {
        cv->SetBackdrop(Piano());
    }
}

// Step 4: place, parent, tab index, font, and the settings of its class.
void ApplySettings(MW& w, const ControlRow& row, Control& c)
{
    const QString text = QString::fromUtf8(row.text);
    if (row.kind != Kind::Player && row.kind != Kind::Timer) {
        c.SetBounds(row.left, row.top, row.width, row.height);
        if (row.inRectangle)
            c.SetParentControl(&w.Rectangle1());
        c.SetTabIndex(row.tabIndex);
        if (*row.font)
            c.SetFontName(QString::fromLatin1(row.font));
        c.SetFontSize(row.fontSize);
    }
    switch (row.kind) {
    case Kind::Push: static_cast<PushButton&>(c).SetCaption(text); break;
    case Kind::Rect: {
        auto& r = static_cast<::Rectangle&>(c);
        r.SetBorderThickness(2.0);
        r.SetTopLeftColor(RGB(213, 213, 213));
        r.SetBottomRightColor(RGB(146, 146, 146));
        r.SetFillColor(RGB(250, 250, 250));  // opaque near-white until it opens
        break;
    }
    case Kind::Bevel: {
        auto& b = static_cast<BevelButton&>(c);
        const bool row16 = QLatin1String(row.name) != QLatin1String("BBR");
        b.SetCaption(text);
        b.SetButtonStyle(row16 ? 2 : 0);
        b.SetValue(QLatin1String(row.name) == QLatin1String("BBD") && row.index == kPressedNoteLength);
        break;
    }
    case Kind::Label: static_cast<Label&>(c).SetText(text); break;
    case Kind::Popup: {
        auto& p = static_cast<PopupMenu&>(c);
        p.AddRows(entry::InstrumentRows());
        p.SetListIndex(0);
        break;
    }
    case Kind::Area: {
        auto& a = static_cast<TextArea&>(c);
        // Only the hex column is edited, and only it shows the focus ring; the
        // address column keeps its selection drawn when another control is focused.
        const bool hexColumn = QLatin1String(row.name) == QLatin1String("BinaryTa");
        a.SetReadOnly(!hexColumn);
        a.SetAllowFocusRing(hexColumn);
        a.SetHideSelection(QLatin1String(row.name) != QLatin1String("HedderTa"));
        a.SetBackgroundColor(kTextAreaBackground);
        break;
    }
    case Kind::Player: static_cast<NotePlayer&>(c).SetInstrument(1); break;
    case Kind::Timer: {
        auto& t = static_cast<Timer&>(c);
        t.SetMode(Timer::ModeOff);
        t.SetPeriod(0);
        break;
    }
    case Kind::Canvas: break;
    case Kind::Field: {
        auto& f = static_cast<TextField&>(c);
        f.SetHint(text);
        f.SetReadOnly(false);
        f.SetMaximumCharactersAllowed(0);
        f.SetBackgroundColor(RGB(255, 255, 255));
        break;
    }
    }
}

// Step 5: each event to its handler, in the order of the event table.
void Wire(MW& w, Control& c)
{
    const QString name = c.Name();
    if (name == QLatin1String("PushButton1"))
        static_cast<PushButton&>(c).Action = w.Handler(&MW::PushButton1_Action);
    else if (name == QLatin1String("Rectangle1"))
        static_cast<::Rectangle&>(c).Open = w.Handler(&MW::Rectangle1_Open);
    else if (name == QLatin1String("BBV"))
        static_cast<BevelButton&>(c).Action = w.Handler(&MW::BBV_Action);
    else if (name == QLatin1String("BBR"))
        static_cast<BevelButton&>(c).Action = w.Handler(&MW::BBR_Action);
    else if (name == QLatin1String("BBD"))
        static_cast<BevelButton&>(c).Action = w.Handler(&MW::BBD_Action);
    else if (name == QLatin1String("PM1")) {
        auto& p = static_cast<PopupMenu&>(c);
        p.Open = w.Handler(&MW::PM1_Open);
        p.Change = w.Handler(&MW::PM1_Change);
    } else if (name == QLatin1String("NotePlayButton"))
        static_cast<PushButton&>(c).Action = w.Handler(&MW::NotePlayButton_Action);
    else if (name == QLatin1String("MidiSaveButton"))
        static_cast<PushButton&>(c).Action = w.Handler(&MW::MidiSaveButton_Action);
    else if (name == QLatin1String("FileOpenButton"))
        static_cast<PushButton&>(c).Action = w.Handler(&MW::FileOpenButton_Action);
    else if (name == QLatin1String("FilesaveButton"))
        static_cast<PushButton&>(c).Action = w.Handler(&MW::FilesaveButton_Action);
    else if (name == QLatin1String("BinaryTa")) {
        auto& a = static_cast<TextArea&>(c);
        a.KeyDown = w.Handler(&MW::BinaryTa_KeyDown);
        a.Open = w.Handler(&MW::BinaryTa_Open);
        a.DropObject = w.Handler(&MW::BinaryTa_DropObject);
        a.MouseDown = w.Handler(&MW::BinaryTa_MouseDown);
    } else if (name == QLatin1String("FutterTa")) {
        auto& a = static_cast<TextArea&>(c);
        a.KeyDown = w.Handler(&MW::FutterTa_KeyDown);
        a.Open = w.Handler(&MW::FutterTa_Open);
    } else if (name == QLatin1String("HedderTa")) {
        auto& a = static_cast<TextArea&>(c);
        a.KeyDown = w.Handler(&MW::HedderTa_KeyDown);
        a.Open = w.Handler(&MW::HedderTa_Open);
    } else if (name == QLatin1String("TM0"))
        static_cast<Timer&>(c).Action = w.Handler(&MW::TM0_Action);
    else if (name == QLatin1String("PianoCV")) {
        auto& cv = static_cast<Canvas&>(c);
        cv.MouseDown = w.Handler(&MW::PianoCV_MouseDown);
        cv.Open = w.Handler(&MW::PianoCV_Open);
        cv.MouseUp = w.Handler(&MW::PianoCV_MouseUp);
        cv.MouseDrag = w.Handler(&MW::PianoCV_MouseDrag);
    } else if (name == QLatin1String("TField1"))
        static_cast<TextField&>(c).Open = w.Handler(&MW::TField1_Open);
}

void Create(MW& w, int first, int last)
{
    const auto& rows = Rows();
    for (int i = first; i < last; ++i) {
        Control& c = Make(w, rows[size_t(i)]);
        SetPicture(rows[size_t(i)], c);
        ApplySettings(w, rows[size_t(i)], c);
        Wire(w, c);
    }
}

}  // namespace

void MW::CreateControls0() { Create(*this, 0, kFirstRowOfPart1); }

void MW::CreateControls1() { Create(*this, kFirstRowOfPart1, kRowCount); }
