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

class TextAreaView : public QPlainTextEdit {
public:
    explicit TextAreaView(TextArea& owner) : owner_(owner)
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

    // --- the seam ---
    QString Text() const
    {
        QString raw = document()->toRawText();
        raw.replace(QChar::ParagraphSeparator, QLatin1Char('\r'));
        raw.replace(QChar::LineSeparator, QLatin1Char('\r'));
        return raw;
    }
    void SetText(const QString& text) { setPlainText(NormalizeBreaks(text)); }
    qint64 Length() const { return qMax(0, document()->characterCount() - 1); }
    qint64 SelStart() const { return textCursor().selectionStart(); }
    qint64 SelLength() const
    {
        const QTextCursor c = textCursor();
        return c.selectionEnd() - c.selectionStart();
    }
    void Select(qint64 start, qint64 length)
    {
        const qint64 len = Length();
        start = qBound<qint64>(0, start, len);
        const qint64 end = qBound<qint64>(start, start + qMax<qint64>(0, length), len);
        QTextCursor c(document());
        c.setPosition(int(start));
        c.setPosition(int(end), QTextCursor::KeepAnchor);
        setTextCursor(c);
    }
    QString SelText() const
    {
        QString s = textCursor().selectedText();
        s.replace(QChar::ParagraphSeparator, QLatin1Char('\r'));
        s.replace(QChar::LineSeparator, QLatin1Char('\r'));
        return s;
    }
    void ReplaceSelection(const QString& text)
    {
        QTextCursor c = textCursor();
        c.insertText(NormalizeBreaks(text));
        setTextCursor(c);
    }
    void SetBackground(Color colour, bool draws)
    {
        QPalette pal = palette();
        pal.setColor(QPalette::Base, draws ? colour.ToQColor() : QColor(Qt::transparent));
        setPalette(pal);
        viewport()->setAutoFillBackground(draws && !colour.IsFullyTransparent());
        setAutoFillBackground(false);
        viewport()->update();
    }
    void DeleteSelectionIfEditable()
    {
        if (!isReadOnly())
            textCursor().removeSelectedText();
    }

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

TextArea::TextArea() : Control(nullptr), view_(new TextAreaView(*this))
{
    SetWidget(view_);
    Mark(view_, this);
}

TextArea::~TextArea() = default;

QString TextArea::Text() const { return view_->Text(); }
void TextArea::SetText(const QString& text) { view_->SetText(text); }
void TextArea::SetTextLatin1(const QByteArray& text) { view_->SetText(QString::fromLatin1(text)); }
qint64 TextArea::Length() const { return view_->Length(); }

qint64 TextArea::SelStart() const { return view_->SelStart(); }
void TextArea::SetSelStart(qint64 start) { view_->Select(start, 0); }
qint64 TextArea::SelLength() const { return view_->SelLength(); }
void TextArea::SetSelLength(qint64 length) { view_->Select(view_->SelStart(), length); }
QString TextArea::SelText() const { return view_->SelText(); }
void TextArea::SetSelText(const QString& text) { view_->ReplaceSelection(text); }

bool TextArea::ReadOnly() const { return view_->isReadOnly(); }
void TextArea::SetReadOnly(bool readOnly) { view_->setReadOnly(readOnly); }

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

void TextArea::SetInputMethodEnabled(bool enabled)
{
    view_->setAttribute(Qt::WA_InputMethodEnabled, enabled);
    view_->viewport()->setAttribute(Qt::WA_InputMethodEnabled, enabled);
}

bool TextArea::InputMethodEnabled() const { return view_->testAttribute(Qt::WA_InputMethodEnabled); }

void TextArea::ScrollToSelection() { view_->ensureCursorVisible(); }

void TextArea::FireOpen()
{
    if (Open)
        Dispatch([this] { Open(*this); });
}

void TextArea::Undo() { view_->undo(); }
void TextArea::Cut() { view_->cut(); }
void TextArea::Copy() { view_->copy(); }
void TextArea::Paste() { view_->paste(); }
void TextArea::DeleteSelection() { view_->DeleteSelectionIfEditable(); }
void TextArea::SelectAll() { view_->selectAll(); }
