// The text engine view's input: keys and their shortcuts, input methods, the
// mouse, focus and caret blinking.
#include "framework/engine/textengineview.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimerEvent>
#include <algorithm>

namespace {

constexpr int AutoScrollMs = 50;

bool isTypedText(const QKeyEvent* e)
{
    const QString t = e->text();
    if (t.isEmpty())
        return false;
    // Ctrl without Alt makes control characters, not text (Ctrl+Alt is AltGr).
    const Qt::KeyboardModifiers m = e->modifiers();
    if ((m & Qt::ControlModifier) && !(m & Qt::AltModifier))
        return false;
    for (QChar c : t)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

}  // namespace

bool TextEngineView::event(QEvent* e)
{
    // Plain editing keys belong to the text while it is editable, as in other
    // text editors; combinations with Ctrl are left to the menus' shortcuts.
    if (e->type() == QEvent::ShortcutOverride && !m_readOnly) {
        auto* ke = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers m = ke->modifiers() & ~Qt::KeypadModifier;
        if (m == Qt::NoModifier || m == Qt::ShiftModifier) {
            switch (ke->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Delete:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_Backspace:
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Tab:
                e->accept();
                return true;
            default:
                if (ke->key() < Qt::Key_Escape) {
                    e->accept();
                    return true;
                }
            }
        }
    }
    return QAbstractScrollArea::event(e);
}

// Tab is a key like any other while the text is editable, unless told to move the focus.
bool TextEngineView::focusNextPrevChild(bool next)
{
    if (!m_readOnly && !m_tabChangesFocus)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void TextEngineView::keyPressEvent(QKeyEvent* e)
{
    if (m_keyHook && m_keyHook(e)) {
        e->accept();
        return;
    }
    if (handleStandardKey(e) || (m_readOnly ? handleReadOnlyScrollKey(e) : handleNavigationKey(e))
        || (!m_readOnly && handleEditingKey(e))) {
        e->accept();
        return;
    }
    e->ignore();
}

bool TextEngineView::handleStandardKey(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Undo))
        undo();
    else if (e->matches(QKeySequence::Redo))
        redo();
    else if (e->matches(QKeySequence::Cut))
        cut();
    else if (e->matches(QKeySequence::Copy))
        copy();
    else if (e->matches(QKeySequence::Paste))
        paste();
    else if (e->matches(QKeySequence::SelectAll))
        selectAll();
    else
        return false;
    return true;
}

qsizetype TextEngineView::lineMoved(qsizetype lines) const
{
    const TextBuffer& b = m_doc.buffer();
    const qsizetype line = b.lineOf(m_doc.caret());
    const qsizetype target = line + lines;
    if (target < 0)
        return 0;
    if (target >= b.lineCount())
        return b.length();
    const qsizetype cell = m_preferredCell >= 0 ? m_preferredCell : m_doc.cellOf(m_doc.caret());
    return m_doc.positionInLine(target, cell);
}

bool TextEngineView::handleNavigationKey(QKeyEvent* e)
{
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const TextBuffer& b = m_doc.buffer();
    const qsizetype caret = m_doc.caret();
    switch (e->key()) {
    case Qt::Key_Left:
        if (ctrl)
            moveCaretTo(m_doc.previousWordPosition(caret), shift);
        else if (m_doc.hasSelection() && !shift)
            moveCaretTo(m_doc.selectionStart(), false);
        else
            moveCaretTo(m_doc.previousCharPosition(caret), shift);
        return true;
    case Qt::Key_Right:
        if (ctrl)
            moveCaretTo(m_doc.nextWordPosition(caret), shift);
        else if (m_doc.hasSelection() && !shift)
            moveCaretTo(m_doc.selectionEnd(), false);
        else
            moveCaretTo(m_doc.nextCharPosition(caret), shift);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (ctrl)
            return false;
        if (m_preferredCell < 0)
            m_preferredCell = m_doc.cellOf(caret);
        const qsizetype page = qMax(1, visibleLineCount() - 1);
        const int key = e->key();
        const qsizetype lines = key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : key == Qt::Key_PageUp ? -page : page;
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown)
            verticalScrollBar()->setValue(int(std::clamp<qsizetype>(firstVisibleLine() + lines, 0, INT_MAX)));
        moveCaretTo(lineMoved(lines), shift, true);
        return true;
    }
    case Qt::Key_Home:
        moveCaretTo(ctrl ? 0 : b.lineStart(b.lineOf(caret)), shift);
        return true;
    case Qt::Key_End:
        moveCaretTo(ctrl ? b.length() : b.lineEnd(b.lineOf(caret)), shift);
        return true;
    default:
        return false;
    }
}

// A read-only text shows no caret, so the navigation keys move the view instead.
bool TextEngineView::handleReadOnlyScrollKey(QKeyEvent* e)
{
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_Up:
        v->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return true;
    case Qt::Key_Down:
        v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return true;
    case Qt::Key_PageUp:
        v->triggerAction(QAbstractSlider::SliderPageStepSub);
        return true;
    case Qt::Key_PageDown:
        v->triggerAction(QAbstractSlider::SliderPageStepAdd);
        return true;
    case Qt::Key_Left:
        h->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return true;
    case Qt::Key_Right:
        h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return true;
    case Qt::Key_Home:
        (ctrl ? v : h)->triggerAction(QAbstractSlider::SliderToMinimum);
        return true;
    case Qt::Key_End:
        (ctrl ? v : h)->triggerAction(QAbstractSlider::SliderToMaximum);
        return true;
    default:
        return false;
    }
}

bool TextEngineView::handleEditingKey(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Backspace:
        userEdit([&] { m_doc.backspace(); });
        return true;
    case Qt::Key_Delete:
        userEdit([&] { m_doc.deleteForward(); });
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        userEdit([&] { m_doc.replaceSelection(QStringLiteral("\r")); });
        return true;
    case Qt::Key_Tab:
        if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        userEdit([&] { m_doc.replaceSelection(QStringLiteral("\t"), EditKind::Typing); });
        return true;
    default:
        break;
    }
    if (!isTypedText(e))
        return false;
    userEdit([&] { m_doc.replaceSelection(e->text(), EditKind::Typing); });
    return true;
}

void TextEngineView::inputMethodEvent(QInputMethodEvent* e)
{
    if (m_readOnly) {
        e->ignore();
        return;
    }
    if (!e->commitString().isEmpty())
        userEdit([&] { m_doc.replaceSelection(e->commitString(), EditKind::Typing); });
    m_preedit = e->preeditString();
    viewport()->update();
    e->accept();
}

QVariant TextEngineView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const TextBuffer& b = m_doc.buffer();
    const qsizetype lineStart = b.lineStart(b.lineOf(m_doc.caret()));
    switch (query) {
    case Qt::ImEnabled:
        return m_inputMethodEnabled && !m_readOnly;
    case Qt::ImCursorRectangle:
        // Out of view there is no caret for a candidate window to stand by.
        return caretInView() ? caretRect().translated(viewport()->pos()) : QRect();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return int(std::min<qsizetype>(m_doc.caret() - lineStart, INT_MAX));
    case Qt::ImAnchorPosition:
        return int(std::clamp<qsizetype>(m_doc.anchor() - lineStart, 0, INT_MAX));
    case Qt::ImSurroundingText:
        // The caret's line, as much of it as an input method can use.
        return b.mid(lineStart, qMin<qsizetype>(b.lineEnd(b.lineOf(m_doc.caret())) - lineStart, 4096));
    case Qt::ImCurrentSelection:
        return b.mid(m_doc.selectionStart(), qMin<qsizetype>(m_doc.selectionLength(), 4096));
    case Qt::ImHints:
        return int(Qt::ImhMultiLine | (m_inputMethodEnabled ? Qt::ImhNone : Qt::ImhPreferLatin));
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void TextEngineView::mousePressEvent(QMouseEvent* e)
{
    if (m_mouseHook && m_mouseHook(e)) {
        e->accept();
        return;
    }
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    m_dragging = true;
    m_lastDragPoint = e->position().toPoint();
    moveCaretTo(positionAt(m_lastDragPoint), e->modifiers() & Qt::ShiftModifier);
    e->accept();
}

void TextEngineView::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (m_mouseHook && m_mouseHook(e)) {
        e->accept();
        return;
    }
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    const auto [start, end] = m_doc.wordAt(positionAt(e->position().toPoint()));
    const State before = state();
    m_doc.setSelection(start, end - start);
    finishChange(before, Reveal::Caret);
    e->accept();
}

void TextEngineView::dragSelectTo(const QPoint& point)
{
    m_lastDragPoint = point;
    moveCaretTo(positionAt(point), true);
    const bool outside = point.y() < 0 || point.y() >= viewport()->height() || point.x() < 0
        || point.x() >= viewport()->width();
    if (outside && !m_autoScrollTimer.isActive())
        m_autoScrollTimer.start(AutoScrollMs, this);
    else if (!outside)
        m_autoScrollTimer.stop();
}

void TextEngineView::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_dragging || !(e->buttons() & Qt::LeftButton)) {
        e->ignore();
        return;
    }
    dragSelectTo(e->position().toPoint());
    e->accept();
}

void TextEngineView::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        m_dragging = false;
        m_autoScrollTimer.stop();
    }
    e->accept();
}

void TextEngineView::focusInEvent(QFocusEvent* e)
{
    restartBlink();
    viewport()->update();
    QAbstractScrollArea::focusInEvent(e);
}

void TextEngineView::focusOutEvent(QFocusEvent* e)
{
    m_blinkTimer.stop();
    m_dragging = false;
    m_autoScrollTimer.stop();
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(e);
}

void TextEngineView::restartBlink()
{
    m_caretOn = true;
    const int period = QGuiApplication::styleHints()->cursorFlashTime() / 2;
    if (hasFocus() && !m_readOnly && period > 0)
        m_blinkTimer.start(period, this);
    else
        m_blinkTimer.stop();
    updateCaretRect();
}

void TextEngineView::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_blinkTimer.timerId()) {
        m_caretOn = !m_caretOn;
        updateCaretRect();
    } else if (e->timerId() == m_autoScrollTimer.timerId()) {
        // Keep selecting while the mouse is held beyond the edge.
        const QPoint p = m_lastDragPoint;
        if (p.y() < 0)
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else if (p.y() >= viewport()->height())
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        if (p.x() < 0)
            horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else if (p.x() >= viewport()->width())
            horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        dragSelectTo(p);
    } else {
        QAbstractScrollArea::timerEvent(e);
    }
}
