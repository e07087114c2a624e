// TextArea over QPlainTextEdit. Every use of QPlainTextEdit stays in this file
// behind TextAreaView, the seam that a text engine fills for very large texts.
#include "framework/textarea.h"

#include "framework/dispatch.h"
#include "framework/dragitem.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// CRLF, CR and LF each make one line break in the document.
QString NormalizeBreaks(QString text)
{
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
}

} // namespace

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
// characters, line breaks counting one.
class TextAreaView {
public:
    virtual ~TextAreaView() = default;
    virtual QWidget* AsWidget() = 0;
    virtual QString Text() const = 0;  // breaks as CR
    virtual void SetText(const QString& text) = 0;
    virtual void SetLatin1(const QByteArray& text) = 0;
    virtual qint64 Length() const = 0;
    virtual qint64 SelStart() const = 0;
    virtual qint64 SelLength() const = 0;
    virtual void Select(qint64 start, qint64 length) = 0;  // clamped; scrolled into view
    virtual QString SelText() const = 0;
    virtual void ReplaceSelection(const QString& text) = 0;
    virtual bool IsReadOnly() const = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual void SetBackground(Color colour, bool draws) = 0;
    virtual void SetInputMethodEnabled(bool enabled) = 0;
    virtual bool InputMethodEnabled() const = 0;
    virtual void ScrollToSelection() = 0;
    virtual void Undo() = 0;
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual void Paste() = 0;
    virtual void DeleteSelection() = 0;
    virtual void SelectAll() = 0;
};

namespace {

// The view for ordinary texts: QPlainTextEdit, no wrap, undo kept.
class PlainTextView final : public QPlainTextEdit, public TextAreaView {
public:
    explicit PlainTextView(TextArea& owner) : owner_(owner)
    {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // The selection stays as visible while another control has the focus, so
        // a highlighted line can be seen during playback.
        QPalette pal = palette();
        pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     pal.color(QPalette::Active, QPalette::HighlightedText));
        setPalette(pal);
    }

    QWidget* AsWidget() override { return this; }
    QString Text() const override
    {
        QString raw = document()->toRawText();
        raw.replace(QChar::ParagraphSeparator, QLatin1Char('\r'));
        raw.replace(QChar::LineSeparator, QLatin1Char('\r'));
        return raw;
    }
    void SetText(const QString& text) override { setPlainText(NormalizeBreaks(text)); }
    void SetLatin1(const QByteArray& text) override { SetText(QString::fromLatin1(text)); }
    qint64 Length() const override { return qMax(0, document()->characterCount() - 1); }
    qint64 SelStart() const override { return textCursor().selectionStart(); }
    qint64 SelLength() const override
    {
        const QTextCursor c = textCursor();
        return c.selectionEnd() - c.selectionStart();
    }
    void Select(qint64 start, qint64 length) override
    {
        const qint64 len = Length();
        start = qBound<qint64>(0, start, len);
        const qint64 end = qBound<qint64>(start, start + qMax<qint64>(0, length), len);
        QTextCursor c(document());
        c.setPosition(int(start));
        c.setPosition(int(end), QTextCursor::KeepAnchor);
        setTextCursor(c);
    }
    QString SelText() const override
    {
        QString s = textCursor().selectedText();
        s.replace(QChar::ParagraphSeparator, QLatin1Char('\r'));
        s.replace(QChar::LineSeparator, QLatin1Char('\r'));
        return s;
    }
    void ReplaceSelection(const QString& text) override
    {
        QTextCursor c = textCursor();
        c.insertText(NormalizeBreaks(text));
        setTextCursor(c);
    }
    bool IsReadOnly() const override { return isReadOnly(); }
    void SetReadOnly(bool readOnly) override { setReadOnly(readOnly); }
    void SetBackground(Color colour, bool draws) override
    {
        QPalette pal = palette();
        pal.setColor(QPalette::Base, draws ? colour.ToQColor() : QColor(Qt::transparent));
        setPalette(pal);
        viewport()->setAutoFillBackground(draws && !colour.IsFullyTransparent());
        setAutoFillBackground(false);
        viewport()->update();
    }
    void SetInputMethodEnabled(bool enabled) override
    {
        setAttribute(Qt::WA_InputMethodEnabled, enabled);
        viewport()->setAttribute(Qt::WA_InputMethodEnabled, enabled);
    }
    bool InputMethodEnabled() const override { return testAttribute(Qt::WA_InputMethodEnabled); }
    void ScrollToSelection() override { ensureCursorVisible(); }
    void Undo() override { undo(); }
    void Cut() override { cut(); }
    void Copy() override { copy(); }
    void Paste() override { paste(); }
    void DeleteSelection() override
    {
        if (!isReadOnly())
            textCursor().removeSelectedText();
    }
    void SelectAll() override { selectAll(); }

protected:
    bool event(QEvent* e) override
    {
        // Menu shortcuts win over the key filter and over the area's own bindings,
        // so the Edit menu acts on this area; an unbound combination comes back as
        // an ordinary key press.
        if (e->type() == QEvent::ShortcutOverride) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier)) {
                e->ignore();
                return false;
            }
        }
        // Before QWidget's own Tab handling, so that KeyDown sees every key first.
        if (e->type() == QEvent::KeyPress && owner_.KeyDown) {
            auto* k = static_cast<QKeyEvent*>(e);
            const QString key = KeyText(k->key(), k->text());
            if (!key.isEmpty()) {
                const bool swallowed = DispatchResult<bool>(
                    [&] { return owner_.KeyDown(owner_, key); }, true);
                if (swallowed) {
                    e->accept();
                    return true;
                }
            }
        }
        return QPlainTextEdit::event(e);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        // The program's line end is CR; Shift+Return must not make a line separator.
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !isReadOnly()) {
            textCursor().insertBlock();
            ensureCursorVisible();
            e->accept();
            return;
        }
        QPlainTextEdit::keyPressEvent(e);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (owner_.MouseDown && e->button() == Qt::LeftButton) {
            const QPoint p = e->position().toPoint();
            pressTaken_ = DispatchResult<bool>(
                [&] { return owner_.MouseDown(owner_, p.x(), p.y()); }, false);
            if (pressTaken_)
                return;
        }
        QPlainTextEdit::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (!pressTaken_)
            QPlainTextEdit::mouseMoveEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (pressTaken_) {
            pressTaken_ = false;
            return;
        }
        QPlainTextEdit::mouseReleaseEvent(e);
    }
    void insertFromMimeData(const QMimeData* source) override
    {
        if (!source || isReadOnly() || !source->hasText())
            return;
        ReplaceSelection(source->text());
        ensureCursorVisible();
    }
    bool canInsertFromMimeData(const QMimeData* source) const override
    {
        return source && source->hasText();
    }
    void dragEnterEvent(QDragEnterEvent* e) override
    {
        if (IsFileDrop(*e->mimeData())) {
            e->acceptProposedAction();
            return;
        }
        QPlainTextEdit::dragEnterEvent(e);
    }
    void dragMoveEvent(QDragMoveEvent* e) override
    {
        if (IsFileDrop(*e->mimeData())) {
            e->acceptProposedAction();
            return;
        }
        QPlainTextEdit::dragMoveEvent(e);
    }
    void dropEvent(QDropEvent* e) override
    {
        if (IsFileDrop(*e->mimeData())) {
            e->acceptProposedAction();
            DragItem item = DragItem::FromMimeData(*e->mimeData());
            const qint64 action = static_cast<qint64>(e->dropAction());
            Dispatch([&] { owner_.DropObject(owner_, item, action); });
            return;
        }
        QPlainTextEdit::dropEvent(e);
    }

private:
    bool IsFileDrop(const QMimeData& data) const
    {
        return owner_.DropObject && DragItem::FromMimeData(data).FolderItemAvailable();
    }

    TextArea& owner_;
    bool pressTaken_ = false;
};

} // namespace

TextArea::TextArea() : Control(nullptr)
{
    auto* view = new PlainTextView(*this);
    view_ = view;
    SetWidget(view);
    Mark(view, this);
}

TextArea::~TextArea() = default;

QString TextArea::Text() const { return view_->Text(); }
void TextArea::SetText(const QString& text) { view_->SetText(text); }
void TextArea::SetTextLatin1(const QByteArray& text) { view_->SetLatin1(text); }
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

void TextArea::SetInputMethodEnabled(bool enabled) { view_->SetInputMethodEnabled(enabled); }
bool TextArea::InputMethodEnabled() const { return view_->InputMethodEnabled(); }
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
