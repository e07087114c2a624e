// MW, the one main window: the editor state, the 54 controls found by name (and
// index), their event handlers, the window's own events and its plain operations.
#pragma once

#include "framework/controls/bevelbutton.h"
#include "framework/controls/canvas.h"
#include "framework/controls/label.h"
#include "framework/controls/popupmenu.h"
#include "framework/controls/pushbutton.h"
#include "framework/controls/rectangle.h"
#include "framework/controls/textarea.h"
#include "framework/controls/textfield.h"
#include "framework/controls/timer.h"
#include "framework/controls/window.h"
#include "framework/files/dragitem.h"
#include "framework/files/folderitem.h"
#include "framework/menus/menuitem.h"
#include "framework/menus/quitmenuitem.h"
#include "framework/sound/noteplayer.h"
#include "playback/timeline.h"
#include "track/editorstate.h"

#include <QString>

// The editor state's fields (xx, yy, vv, noteCount, dur, note, pit, selL,
// soundNumber, vel, d, v) are the window's own, through track::EditorState.
class MW : public Window, public track::EditorState {
public:
    // MW.MW: the one window, built and opened on the first call.
    static MW& Instance();
    // The window when it has been created (also while it is being built), else null.
    static MW* Existing();
    // Destroys the window so that the next Instance() builds a fresh one (tests).
    static void DestroyInstance();

    ~MW() override;

    // Control accessors: the control registered under that name (and index), as
    // its class; NilObjectException when there is none.
    PushButton& PushButton1();
    ::Rectangle& Rectangle1();
    BevelButton& BBV(qint64 index);
    BevelButton& BBR(qint64 index);
    Label& Label1();
    PopupMenu& PM1();
    PushButton& NotePlayButton();
    PushButton& MidiSaveButton();
    TextArea& BinaryTa();
    PushButton& FileOpenButton();
    TextArea& FutterTa();
    TextArea& HedderTa();
    Label& La(qint64 index);
    NotePlayer& NPlayer();
    Timer& TM0();
    PushButton& FilesaveButton();
    Canvas& PianoCV();
    BevelButton& BBD(qint64 index);
    TextField& TField1();
    TextField& TField2();

    // Control event handlers.
    void PushButton1_Action(PushButton& sender);
    void Rectangle1_Open(::Rectangle& sender);
    void BBV_Action(BevelButton& sender);
    void BBR_Action(BevelButton& sender);
    void PM1_Open(PopupMenu& sender);
    void PM1_Change(PopupMenu& sender);
    void NotePlayButton_Action(PushButton& sender);
    void MidiSaveButton_Action(PushButton& sender);
    bool BinaryTa_KeyDown(TextArea& sender, const QString& key);
    void BinaryTa_Open(TextArea& sender);
    void BinaryTa_DropObject(TextArea& sender, DragItem& item, qint64 action);
    bool BinaryTa_MouseDown(TextArea& sender, qint64 x, qint64 y);
    void FileOpenButton_Action(PushButton& sender);
    bool FutterTa_KeyDown(TextArea& sender, const QString& key);
    void FutterTa_Open(TextArea& sender);
    bool HedderTa_KeyDown(TextArea& sender, const QString& key);
    void HedderTa_Open(TextArea& sender);
    void TM0_Action(Timer& sender);
    void FilesaveButton_Action(PushButton& sender);
    bool PianoCV_MouseDown(Canvas& sender, qint64 x, qint64 y);
    void PianoCV_Open(Canvas& sender);
    void PianoCV_MouseUp(Canvas& sender, qint64 x, qint64 y);
    void PianoCV_MouseDrag(Canvas& sender, qint64 x, qint64 y);
    void BBD_Action(BevelButton& sender);
    void TField1_Open(TextField& sender);

    // Menu-item accessors: the item of that name anywhere below the window's menu
    // bar; NilObjectException when the window has no bar or no such item.
    MenuItem& EditMenu();
    MenuItem& EditSelectAll();
    MenuItem& EditSeparator2();
    MenuItem& EditClear();
    MenuItem& EditPaste();
    MenuItem& EditCopy();
    MenuItem& EditCut();
    MenuItem& EditSeparator1();
    MenuItem& EditUndo();
    MenuItem& FileMenu();
    QuitMenuItem& FileQuit();

    // The window's own events.
    void Event_Open() override;
    void Event_DropObject(DragItem& item, qint64 action) override;
    void Event_Close() override;

    // Plain operations.
    void OpenBinaryFile();
    void OpenFileBynary();
    void OpenBinary();
    void DropOpen(FolderItemPtr item);
    void Inscore(const QString& key);
    void NotesPlay();
    void SaveMidi();
    QString DuToVa(qint64 ticks);
    qint64 Velocity(qint64 x);
    qint64 ConvDur(const QString& text);
    qint64 VaToDu(const QString& text);
    void WindowToDock();
    void SaveFileBinary();

protected:
    // Construction, run by Window::Constructor.
    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    void CreateControls1();

private:
    MW();
    template <class T>
    T& Lookup(const char* name);
    template <class T>
    T& Lookup(const char* name, qint64 index);
    MenuItem& MenuLookup(const char* name);
    // Fixed-pitch fonts of the hex view and its captions, fitted to the areas.
    void FitHexViewFonts();
    // Where playback's lines are due, so that the timer's lateness does not pile up.
    playback::Timeline playbackTimeline_;
};
