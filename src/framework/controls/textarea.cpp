// TextArea over the framework's text engine. The engine stays behind
// TextAreaView, the seam that holds everything TextArea asks of the view.
#include "framework/controls/textarea.h"

#include "framework/engine/textengineview.h"
#include "framework/files/dragitem.h"
#include "framework/runtime/dispatch.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <type_traits>

QString KeyText(int qtKey, const QString& eventText)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QString(QChar(13));
    case Qt::Key_Backspace: return QString(QChar(8));
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return QString(QChar(9));
    case Qt::Key_Escape: return QString(QChar(27));
    case Qt::Key_Left: return QString(QChar(28));
    case Qt::Key_Right: return QString(QChar(29));
    case Qt::Key_Up: return QString(QChar(30));
    case Qt::Key_Down: return QString(QChar(31));
    case Qt::Key_Delete: return QString(QChar(127));
    case Qt::Key_Home: return QString(QChar(1));
    case Qt::Key_End: return QString(QChar(4));
    case Qt::Key_PageUp: return QString(QChar(11));
    case Qt::Key_PageDown: return QString(QChar(12));
    default: return eventText;
    }
}

// The seam: everything TextArea asks of the view underneath. Offsets count
// characters, line breaks counting one. The view carries out the Edit menu's
// operations itself, so it is an EditTarget too.
class TextAreaView : public EditTarget {
public:
    virtual ~TextAreaView() = default;
    virtual QWidget* AsWidget() = 0;
    virtual QString Text() const = 0;  // breaks as CR
    virtual void SetText(const QString& text) = 0;
    virtual void SetLatin1(const QByteArray& text) = 0;
    virtual void SetRows(std::shared_ptr<const textfn::RowText> text) = 0;
    virtual void ReadPieces(const std::function<void(QAnyStringView)>& read) const = 0;
    virtual void ReadSpans(const std::function<void(QAnyStringView)>& read, const TextArea::RowsReader& rows) const = 0;
    virtual void ReadPiecesBackward(qint64 end, const std::function<bool(QAnyStringView)>& read) const = 0;
    virtual qint64 Length() const = 0;
    virtual qint64 SelStart() const = 0;
    virtual qint64 SelLength() const = 0;
    virtual void Select(qint64 start, qint64 length) = 0;  // clamped; scrolled into view
    virtual QString SelText() const = 0;
    virtual void ReplaceSelection(const QString& text) = 0;
    virtual bool IsReadOnly() const = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual void SetBackground(Color colour, bool draws) = 0;
    virtual void SetHideSelection(bool hide) = 0;
    virtual void SetAllowFocusRing(bool allow) = 0;
    virtual void SetInputMethodEnabled(bool enabled) = 0;
    virtual bool InputMethodEnabled() const = 0;
    virtual int TextMargin() const = 0;
    virtual void SetTextMargin(int pixels) = 0;
    virtual void ScrollToSelection() = 0;
};

namespace {

// The engine as the area's view: no horizontal bar, a vertical one always
// there (the window sizes its columns on that), the program's hooks in front of
// the engine's own key and mouse handling, and file drops.
class EngineTextView final : public TextEngineView, public TextAreaView {
public:
    explicit EngineTextView(TextArea& owner) : owner_(owner)
    {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setMousePressHook([this](QMouseEvent* e) { return MousePress(e); });
        // Files dropped on the area may open; the engine itself takes no drops.
        setAcceptDrops(true);
        viewport()->setAcceptDrops(true);
    }

    QWidget* AsWidget() override { return this; }
    QString Text() const override { return text(); }
    void SetText(const QString& t) override { setText(t); }
    void SetLatin1(const QByteArray& t) override { setTextLatin1(t); }
    void SetRows(std::shared_ptr<const textfn::RowText> t) override { setTextRows(std::move(t)); }
    void ReadPieces(const std::function<void(QAnyStringView)>& read) const override
    {
        document().buffer().forEachPiece(0, length(), [&](auto* p, qsizetype n) {
            if constexpr (std::is_same_v<decltype(p), const char*>)
                read(QLatin1StringView(p, n));
            else
                read(QStringView(p, n));
        });
    }
    void ReadSpans(const std::function<void(QAnyStringView)>& read, const TextArea::RowsReader& rows) const override
    {
        document().buffer().forEachSpan(
            0, length(),
            [&](auto* p, qsizetype n) {
                if constexpr (std::is_same_v<decltype(p), const char*>)
                    read(QLatin1StringView(p, n));
                else
                    read(QStringView(p, n));
            },
            rows);
    }
    void ReadPiecesBackward(qint64 end, const std::function<bool(QAnyStringView)>& read) const override
    {
        document().buffer().forEachPieceBackward(end, [&](auto* p, qsizetype n) {
            if constexpr (std::is_same_v<decltype(p), const char*>)
                return read(QLatin1StringView(p, n));
            else
                return read(QStringView(p, n));
        });
    }
    qint64 Length() const override { return length(); }
    qint64 SelStart() const override { return selectionStart(); }
    qint64 SelLength() const override { return selectionLength(); }
    void Select(qint64 start, qint64 length) override { setSelection(start, length); }
    QString SelText() const override { return selectedText(); }
    void ReplaceSelection(const QString& t) override { replaceSelection(t); }
    bool IsReadOnly() const override { return isReadOnly(); }
    void SetReadOnly(bool readOnly) override { setReadOnly(readOnly); }
    void SetBackground(Color colour, bool draws) override
    {
        QPalette pal = palette();
        pal.setColor(QPalette::Base, draws ? colour.ToQColor() : QColor(Qt::transparent));
        setPalette(pal);
        setDrawsBackground(draws && !colour.IsFullyTransparent());
    }
    // The engine draws the selection in the inactive colours while the view has no
    // focus: hidden, those are no highlight and the plain text colour.
    void SetHideSelection(bool hide) override
    {
        QPalette pal = palette();
        pal.setColor(QPalette::Inactive, QPalette::Highlight,
                     hide ? QColor(Qt::transparent) : pal.color(QPalette::Active, QPalette::Highlight));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     pal.color(hide ? QPalette::Inactive : QPalette::Active,
                               hide ? QPalette::Text : QPalette::HighlightedText));
        setPalette(pal);
    }
    void SetAllowFocusRing(bool allow) override
    {
        focusRing_ = allow;
        update();
    }
    void SetInputMethodEnabled(bool enabled) override { setInputMethodEnabled(enabled); }
    bool InputMethodEnabled() const override { return isInputMethodEnabled(); }
    int TextMargin() const override { return textMargin(); }
    void SetTextMargin(int pixels) override { setTextMargin(pixels); }
    void ScrollToSelection() override { ensureVisible(selectionStart(), selectionLength()); }
    void Undo() override { undo(); }
    void Cut() override { cut(); }
    void Copy() override { copy(); }
    void Paste() override { paste(); }
    void DeleteSelection() override { deleteSelection(); }
    void SelectAll() override { selectAll(); }

protected:
    bool event(QEvent* e) override
    {
        // Menu shortcuts are matched before this (the engine leaves combinations
        // with Ctrl to them), so the Edit menu acts whatever KeyDown says. KeyDown
        // comes before QWidget's own Tab handling, so it sees every key first, in a
        // read-only area too.
        if (e->type() == QEvent::KeyPress && owner_.KeyDown) {
            auto* k = static_cast<QKeyEvent*>(e);
            const QString key = KeyText(k->key(), k->text());
            if (!key.isEmpty()) {
                const bool swallowed = DispatchResult<bool>([&] { return owner_.KeyDown(owner_, key); }, true);
                if (swallowed) {
                    e->accept();
                    return true;
                }
            }
        }
        const bool handled = TextEngineView::event(e);
        if (e->type() == QEvent::Paint && focusRing_ && hasFocus())
            PaintFocusRing();
        return handled;
    }
    // Only files are taken, and only with a DropObject handler; everything else is
    // left to the window, which takes files alone, so text, pictures and other data
    // are refused and change nothing.
    void dragEnterEvent(QDragEnterEvent* e) override { DragItem::TakeAsCopy(*e, bool(owner_.DropObject)); }
    void dragMoveEvent(QDragMoveEvent* e) override { DragItem::TakeAsCopy(*e, bool(owner_.DropObject)); }
    void dropEvent(QDropEvent* e) override
    {
        DragItem item = DragItem::TakeAsCopy(*e, bool(owner_.DropObject));
        const qint64 action = static_cast<qint64>(e->dropAction());
        if (item.FolderItemAvailable())
            Dispatch([&] { owner_.DropObject(owner_, item, action); });
    }

private:
    // Over the frame just painted: the outline that the desktop's style gives a
    // focused text field, so both kinds of text control look alike when focused.
    void PaintFocusRing()
    {
        QStyleOptionFrame option;
        option.initFrom(this);
        option.state |= QStyle::State_HasFocus;
        option.lineWidth = frameWidth();
        QPainter p(this);
        style()->drawPrimitive(QStyle::PE_FrameLineEdit, &option, &p, this);
    }
    // A left press goes to MouseDown first; true keeps it, and the drag and
    // release that follow, from the engine.
    bool MousePress(QMouseEvent* e)
    {
        if (!owner_.MouseDown || e->button() != Qt::LeftButton)
            return false;
        const QPoint p = e->position().toPoint();
        return DispatchResult<bool>([&] { return owner_.MouseDown(owner_, p.x(), p.y()); }, false);
    }

    TextArea& owner_;
    bool focusRing_ = true;
};

} // namespace

TextArea::TextArea() : Control(nullptr)
{
    auto* view = new EngineTextView(*this);
    view_ = view;
    view_->SetHideSelection(hideSelection_);
    SetWidget(view);
    Mark(view, this);
}

TextArea::~TextArea() = default;

QString TextArea::Text() const { return view_->Text(); }
void TextArea::SetText(const QString& text) { view_->SetText(text); }
void TextArea::SetTextLatin1(const QByteArray& text) { view_->SetLatin1(text); }
void TextArea::SetTextRows(std::shared_ptr<const textfn::RowText> text) { view_->SetRows(std::move(text)); }
void TextArea::ReadPieces(const std::function<void(QAnyStringView)>& read) const { view_->ReadPieces(read); }
void TextArea::ReadSpans(const std::function<void(QAnyStringView)>& read, const RowsReader& rows) const
{
    view_->ReadSpans(read, rows);
}
void TextArea::ReadPiecesBackward(qint64 end, const std::function<bool(QAnyStringView)>& read) const
{
    view_->ReadPiecesBackward(end, read);
}
qint64 TextArea::Length() const { return view_->Length(); }

qint64 TextArea::SelStart() const { return view_->SelStart(); }
void TextArea::SetSelStart(qint64 start) { view_->Select(start, 0); }
qint64 TextArea::SelLength() const { return view_->SelLength(); }
void TextArea::SetSelLength(qint64 length) { view_->Select(view_->SelStart(), length); }
QString TextArea::SelText() const { return view_->SelText(); }
void TextArea::SetSelText(const QString& text) { view_->ReplaceSelection(text); }

bool TextArea::ReadOnly() const { return view_->IsReadOnly(); }
void TextArea::SetReadOnly(bool readOnly) { view_->SetReadOnly(readOnly); }

void TextArea::SetBackgroundColor(Color c)
{
    background_ = c;
    view_->SetBackground(background_, drawsBackground_);
}

void TextArea::SetDrawsBackground(bool draws)
{
    drawsBackground_ = draws;
    view_->SetBackground(background_, drawsBackground_);
}

void TextArea::SetHideSelection(bool hide)
{
    hideSelection_ = hide;
    view_->SetHideSelection(hide);
}

void TextArea::SetAllowFocusRing(bool allow)
{
    allowFocusRing_ = allow;
    view_->SetAllowFocusRing(allow);
}

void TextArea::SetInputMethodEnabled(bool enabled) { view_->SetInputMethodEnabled(enabled); }
bool TextArea::InputMethodEnabled() const { return view_->InputMethodEnabled(); }
int TextArea::TextMargin() const { return view_->TextMargin(); }
void TextArea::SetTextMargin(int pixels) { view_->SetTextMargin(pixels); }
void TextArea::ScrollToSelection() { view_->ScrollToSelection(); }

void TextArea::FireOpen()
{
    if (Open)
        Dispatch([this] { Open(*this); });
}

void TextArea::Undo() { view_->Undo(); }
void TextArea::Cut() { view_->Cut(); }
void TextArea::Copy() { view_->Copy(); }
void TextArea::Paste() { view_->Paste(); }
void TextArea::DeleteSelection() { view_->DeleteSelection(); }
void TextArea::SelectAll() { view_->SelectAll(); }
