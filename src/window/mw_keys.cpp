// The hex view's three columns: their set-up when they open, the key filters, and
// the input source switched at every click in the hex column.
#include "window/mw.h"

#include "track/keyfilter.h"
#include "window/module1.h"

bool MW::BinaryTa_KeyDown(TextArea&, const QString& key) { return track::BinaryTaKeyDown(key); }
bool MW::HedderTa_KeyDown(TextArea&, const QString& key) { return track::HedderTaKeyDown(key); }
bool MW::FutterTa_KeyDown(TextArea&, const QString& key) { return track::FutterTaKeyDown(key); }

// Neither the area nor its viewport paints a background: the backdrop shows through.
void MW::HedderTa_Open(TextArea& sender) { sender.SetDrawsBackground(false); }
void MW::FutterTa_Open(TextArea& sender) { sender.SetDrawsBackground(false); }

void MW::BinaryTa_Open(TextArea& sender)
{
    sender.SetDrawsBackground(false);
    AcceptFileDrop(QString());
    Module1::KeyScript(0);
}

bool MW::BinaryTa_MouseDown(TextArea&, qint64, qint64)
{
    Module1::KeyScript(0);
    return false;
}
