// Note entry on the main window: the keyboard canvas, the velocity, note-length and
// rest rows, the instrument list, and the binary-to-hex converter.
#include "window/mw.h"

#include "entry/buttontables.h"
#include "entry/instruments.h"
#include "entry/keyboard.h"
#include "framework/graphics/colour.h"
#include "framework/graphics/graphics.h"
#include "framework/runtime/exceptions.h"
#include "track/binaryhex.h"
#include "track/linedelete.h"
#include "track/noteline.h"
#include "window/pictures.h"

namespace {

constexpr qint64 kPreviewVelocity = 100;

enum RestRow : qint64 { kRest = 0, kDeleteLine = 1, kClear = 2 };

// Leaves member `index` the only pressed button of its row.
template <class Accessor>
void PressOnly(Accessor member, qint64 index)
{
    for (qint64 j = 0; j < entry::kButtonsPerRow; ++j)
        if (member(j).Value())
            member(j).SetValue(false);
    member(index).SetValue(true);
}

}  // namespace

void MW::Inscore(const QString& key) { BinaryTa().SetSelText(track::NoteLine(key, vv, yy, xx)); }

void MW::BBV_Action(BevelButton& sender)
{
    const qint64 i = sender.Index();
    vv = entry::VelocityField(i);
    PressOnly([this](qint64 j) -> BevelButton& { return BBV(j); }, i);
}

void MW::BBD_Action(BevelButton& sender)
{
    const qint64 i = sender.Index();
    xx = entry::GapField(i);
    yy = entry::GateField(i);
    PressOnly([this](qint64 j) -> BevelButton& { return BBD(j); }, i);
}

void MW::BBR_Action(BevelButton& sender)
{
    TextArea& ta = BinaryTa();
    switch (sender.Index()) {
    case kRest: ta.SetSelText(track::RestLine(yy, xx)); break;
    case kDeleteLine: {
        const track::TextRange r = track::LineDeleteRange(
            ta.Length(),
            [&ta](qint64 end, const std::function<bool(QAnyStringView)>& read) { ta.ReadPiecesBackward(end, read); },
            ta.SelStart());
        if (r.length <= 0)
            return;
        ta.SetSelStart(r.start);
        ta.SetSelLength(r.length);
        ta.SetSelText(QString());
        break;
    }
    case kClear: ta.SetText(QString()); break;
    default: break;
    }
}

void MW::PM1_Open(PopupMenu&)
{
    PM1().SetListIndex(entry::kFirstProgramRow);
    NPlayer().SetInstrument(entry::InstrumentForRow(entry::kFirstProgramRow));
}

void MW::PM1_Change(PopupMenu&) { NPlayer().SetInstrument(entry::InstrumentForRow(PM1().ListIndex())); }

// ---- the keyboard canvas ----

void MW::PianoCV_Open(Canvas& sender)
{
    // The canvas draws into a picture of its own; the shared pictures are only read.
    auto own = std::make_shared<Picture>(sender.Width(), sender.Height(), 32);
    sender.SetBackdrop(own);
    const std::shared_ptr<Picture> shared = Piano();
    const Picture& piano = NotNil(shared.get());
    own->Graphics().DrawPicture(&piano, 0, 0, sender.Width(), sender.Height(), 0, 0, piano.Width(),
                                piano.Height());
}

bool MW::PianoCV_MouseDown(Canvas&, qint64 x, qint64 y)
{
    const entry::KeyHit hit = entry::HitTest(x, y);
    if (!hit.taken)
        return false;
    if (!hit.pressed)
        return true;
    Canvas& canvas = PianoCV();
    const std::shared_ptr<Picture> source = hit.black ? PianoSS() : PianoS();
    const QRect& s = hit.source;
    const QRect& d = hit.destination;
    NotNil(canvas.Backdrop().get())
        .Graphics()
        .DrawPicture(source.get(), d.x(), d.y(), d.width(), d.height(), s.x(), s.y(), s.width(), s.height());
    canvas.Refresh(true);
    NPlayer().PlayNote(hit.note, kPreviewVelocity);
    NPlayer().PlayNote(hit.note, 0);
    Inscore(hit.keyText);
    return true;
}

void MW::PianoCV_MouseUp(Canvas& sender, qint64, qint64)
{
    NotNil(sender.Backdrop().get()).Graphics().DrawPicture(Piano().get(), 0, 0);
    sender.Refresh(true);
}

void MW::PianoCV_MouseDrag(Canvas&, qint64, qint64) {}

// ---- the binary-to-hex converter ----

void MW::PushButton1_Action(PushButton&)
{
    if (const auto hex = track::BinaryToHex(TField1().Text()))
        TField2().SetText(*hex);
}

void MW::TField1_Open(TextField& sender) { sender.SetBackgroundColor(RGB(0, 0, 0, 255)); }
