// MW: the one instance, construction, control and menu-item accessors, and the
// window's open and close events.
#include "window/mw.h"

#include "framework/graphics/colour.h"
#include "framework/runtime/dispatch.h"
#include "framework/runtime/exceptions.h"
#include "framework/runtime/runtime.h"
#include "track/deltatime.h"
#include "track/velocity.h"
#include "window/earliernotice.h"
#include "window/mainmenubar.h"
#include "window/module1.h"
#include "window/pictures.h"

#include <QMainWindow>

namespace {

const QString kImplicitName = QStringLiteral("MW.MW");

// The window built by Instance(): reachable for the process's life, and what
// DestroyInstance deletes.
MW* built = nullptr;

}  // namespace

MW::MW() : Window(kImplicitName) {}

MW::~MW()
{
    if (built == this)
        built = nullptr;
}

MW* MW::Existing() { return dynamic_cast<MW*>(Window::GetImplicitWindow(kImplicitName)); }

MW& MW::Instance()
{
    if (MW* w = Existing())
        return *w;
    auto* w = new MW;
    built = w;
    w->Constructor();
    return *w;
}

void MW::DestroyInstance()
{
    delete built;
    built = nullptr;
}

void MW::Layout()
{
    SetBackdrop(BackPic1());
    SetMenuBar(&MainMenuBar::Instance());
    // The stored settings: a fixed 800 x 600 content with a close and a minimise
    // button, shown once it is built and opened.
    SetWidth(800);
    SetHeight(600);
    SetTitle(QStringLiteral("Quorvanel"));
    SetResizeable(false);
    SetVisible(true);
}

void MW::CreateControls()
{
    CreateControls0();
    CreateControls1();
    FitHexViewFonts();
}

// ---- control accessors ----

template <class T>
T& MW::Lookup(const char* name)
{
    return NotNil(CheckCast<T>(ControlByName(QLatin1String(name))));
}

template <class T>
T& MW::Lookup(const char* name, qint64 index)
{
    return NotNil(CheckCast<T>(ControlByNameIndex(QLatin1String(name), index)));
}

PushButton& MW::PushButton1() { return Lookup<PushButton>("PushButton1"); }
::Rectangle& MW::Rectangle1() { return Lookup<::Rectangle>("Rectangle1"); }
BevelButton& MW::BBV(qint64 index) { return Lookup<BevelButton>("BBV", index); }
BevelButton& MW::BBR(qint64 index) { return Lookup<BevelButton>("BBR", index); }
Label& MW::Label1() { return Lookup<Label>("Label1"); }
PopupMenu& MW::PM1() { return Lookup<PopupMenu>("PM1"); }
PushButton& MW::NotePlayButton() { return Lookup<PushButton>("NotePlayButton"); }
PushButton& MW::MidiSaveButton() { return Lookup<PushButton>("MidiSaveButton"); }
TextArea& MW::BinaryTa() { return Lookup<TextArea>("BinaryTa"); }
PushButton& MW::FileOpenButton() { return Lookup<PushButton>("FileOpenButton"); }
TextArea& MW::FutterTa() { return Lookup<TextArea>("FutterTa"); }
TextArea& MW::HedderTa() { return Lookup<TextArea>("HedderTa"); }
Label& MW::La(qint64 index) { return Lookup<Label>("La", index); }
NotePlayer& MW::NPlayer() { return Lookup<NotePlayer>("NPlayer"); }
Timer& MW::TM0() { return Lookup<Timer>("TM0"); }
PushButton& MW::FilesaveButton() { return Lookup<PushButton>("FilesaveButton"); }
Canvas& MW::PianoCV() { return Lookup<Canvas>("PianoCV"); }
BevelButton& MW::BBD(qint64 index) { return Lookup<BevelButton>("BBD", index); }
TextField& MW::TField1() { return Lookup<TextField>("TField1"); }
TextField& MW::TField2() { return Lookup<TextField>("TField2"); }

// ---- menu-item accessors ----

MenuItem& MW::MenuLookup(const char* name)
{
    return NotNil(NotNil(MenuBar()).Lookup(QLatin1String(name)));
}

MenuItem& MW::EditMenu() { return MenuLookup("EditMenu"); }
MenuItem& MW::EditSelectAll() { return MenuLookup("EditSelectAll"); }
MenuItem& MW::EditSeparator2() { return MenuLookup("EditSeparator2"); }
MenuItem& MW::EditClear() { return MenuLookup("EditClear"); }
MenuItem& MW::EditPaste() { return MenuLookup("EditPaste"); }
MenuItem& MW::EditCopy() { return MenuLookup("EditCopy"); }
MenuItem& MW::EditCut() { return MenuLookup("EditCut"); }
MenuItem& MW::EditSeparator1() { return MenuLookup("EditSeparator1"); }
MenuItem& MW::EditUndo() { return MenuLookup("EditUndo"); }
MenuItem& MW::FileMenu() { return MenuLookup("FileMenu"); }
QuitMenuItem& MW::FileQuit() { return NotNil(dynamic_cast<QuitMenuItem*>(&MenuLookup("FileQuit"))); }

// ---- the window's own events ----

void MW::Event_Open()
{
    Module1::MakeWindowTransparent(Handle());
    AcceptFileDrop(QString());
    track::SetOpenTimeValues(*this);
    // Once the window shows: the user reads of a cut-off save over it.
    QMetaObject::invokeMethod(
        QtWindow(), [] { (void)Dispatch(TellOfCutOffSaves); }, Qt::QueuedConnection);
}

void MW::Event_Close() { Quit(0); }

void MW::Rectangle1_Open(::Rectangle& sender) { sender.SetFillColor(RGB(0, 0, 0, 255)); }

void MW::WindowToDock() { Minimize(); }

// ---- conversions of the track text ----

QString MW::DuToVa(qint64 ticks) { return track::DuToVa(ticks); }
qint64 MW::Velocity(qint64 x) { return track::Velocity(x, v); }
qint64 MW::ConvDur(const QString& text) { return track::ConvDur(text); }
qint64 MW::VaToDu(const QString& text) { return track::VaToDu(text); }
