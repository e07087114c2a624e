// A multi-line text area. Line breaks read back as CR (13); a pasted LF or CRLF is
// one break. Selection offsets count characters from 0 and clamp at the end. Keys
// reach KeyDown before the area (true swallows them); mouse presses reach
// MouseDown first; dropped files reach DropObject, and other drops are refused.
// Underneath, behind a private seam, is the framework's text engine: it keeps a
// text handed over as bytes without a copy and paints only the visible lines, so
// very large texts stay fast.
#pragma once

#include "framework/controls/control.h"
#include "framework/graphics/colour.h"
#include "framework/menus/edittarget.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace textfn {
class RowText;
}

class DragItem;
class TextAreaView;

class TextArea : public Control, public EditTarget {
public:
    TextArea();
    ~TextArea() override;

    // The whole text, every line break as CR.
    QString Text() const;
    // Replaces the whole text in one step; CR, LF and CRLF each make one break.
    void SetText(const QString& text);
    // The same for Latin-1 (or ASCII) bytes. Bytes without LF are kept as they
    // are, shared and uncopied, so a caller that builds a large text as bytes
    // pays for it once.
    void SetTextLatin1(const QByteArray& text);
    // The same for a computed text: held as it is, never built whole.
    void SetTextRows(std::shared_ptr<const textfn::RowText> text);
    qint64 Length() const;
    // The whole text, every line break as CR, handed to read piece by piece in
    // order (each Latin-1 or UTF-16), so that a large text is never copied whole.
    void ReadPieces(const std::function<void(QAnyStringView piece)>& read) const;
    // The same, but a stretch of a computed text (see SetTextRows) comes unbuilt,
    // to rows: its characters [from, from + length).
    using RowsReader = std::function<void(const std::shared_ptr<const textfn::RowText>& text, qint64 from, qint64 length)>;
    void ReadSpans(const std::function<void(QAnyStringView piece)>& read, const RowsReader& rows) const;
    // The text before end the other way round: the pieces of [0, end) from the
    // last to the first, while read returns true, so that a search back from a
    // point reads only what lies between.
    void ReadPiecesBackward(qint64 end, const std::function<bool(QAnyStringView piece)>& read) const;

    qint64 SelStart() const;
    void SetSelStart(qint64 start);
    qint64 SelLength() const;
    void SetSelLength(qint64 length);
    QString SelText() const;
    // Replaces the selection; the caret ends right after the new text.
    void SetSelText(const QString& text);

    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);

    Color BackgroundColor() const { return background_; }
    void SetBackgroundColor(Color c);
    // Off: neither the area nor its viewport paints a background, so what lies
    // behind shows through the text.
    bool DrawsBackground() const { return drawsBackground_; }
    void SetDrawsBackground(bool draws);

    // On: the selection is drawn only while the area has the focus.
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);
    // On: the focused area shows the desktop's focus indication around it.
    bool AllowFocusRing() const { return allowFocusRing_; }
    void SetAllowFocusRing(bool allow);

    // Off: input-method composition is switched off, so keys arrive as plain
    // ASCII characters.
    void SetInputMethodEnabled(bool enabled);
    bool InputMethodEnabled() const;

    // Blank pixels between the area's frame and its text (4 unless set).
    int TextMargin() const;
    void SetTextMargin(int pixels);

    // Brings the selection (or the caret) into view.
    void ScrollToSelection();

    std::function<bool(TextArea&, const QString& key)> KeyDown;
    std::function<bool(TextArea&, qint64 x, qint64 y)> MouseDown;
    std::function<void(TextArea&, DragItem& item, qint64 action)> DropObject;
    std::function<void(TextArea&)> Open;
    void FireOpen() override;

    void Undo() override;
    void Cut() override;
    void Copy() override;
    void Paste() override;
    void DeleteSelection() override;
    void SelectAll() override;

private:
    TextAreaView* view_;  // the view underneath, owned as the control's widget
    Color background_{255, 255, 255, 0};
    bool drawsBackground_ = true;
    bool hideSelection_ = true;
    bool allowFocusRing_ = true;
};

// The text a key event carries for KeyDown: the typed character, or the control
// character the framework gives keys without one (Return 13, Backspace 8, Tab 9,
// Escape 27, arrows 28-31, forward delete 127, Home 1, End 4, Page Up 11,
// Page Down 12); empty for keys that reach no KeyDown (modifiers alone).
QString KeyText(int qtKey, const QString& eventText);
