// The text engine view: its public operations, how it reports changes, the
// clipboard and scrolling into view. Input is in textengineinput.cpp, painting
// and metrics in textenginepaint.cpp.
#include "framework/engine/textengineview.h"

#include "framework/engine/slicesmimedata.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScrollBar>
#include <algorithm>

TextEngineView::TextEngineView(QWidget* parent, int chunkSize) : QAbstractScrollArea(parent), m_doc(chunkSize)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    updateMetrics();
    updateScrollBars();
}

TextEngineView::~TextEngineView() = default;

TextEngineView::State TextEngineView::state() const
{
    return {m_doc.revision(), m_doc.anchor(), m_doc.caret(), m_doc.canUndo(), m_doc.canRedo()};
}

// Brings the view up to date after any change and tells the owner, in the
// order an owner expects: text first, then caret, then selection.
void TextEngineView::finishChange(const State& before, Reveal reveal)
{
    const State after = state();
    const bool textChanged = after.revision != before.revision;
    if (textChanged) {
        updateScrollBars();
        m_preferredCell = -1;
    }
    if (reveal == Reveal::Caret)
        ensureVisible(after.caret);
    restartBlink();
    viewport()->update();

    const bool hadSelection = before.anchor != before.caret;
    const bool hasSelection = after.anchor != after.caret;
    const bool selectionMoved = qMin(before.anchor, before.caret) != qMin(after.anchor, after.caret)
        || qMax(before.anchor, before.caret) != qMax(after.anchor, after.caret);
    if (textChanged)
        emit this->textChanged();
    if (after.caret != before.caret || textChanged)
        emit cursorPositionChanged();
    if ((hadSelection || hasSelection) && (selectionMoved || textChanged))
        emit selectionChanged();
    if (hadSelection != hasSelection)
        emit copyAvailable(hasSelection);
    if (before.canUndo != after.canUndo)
        emit undoAvailable(after.canUndo);
    if (before.canRedo != after.canRedo)
        emit redoAvailable(after.canRedo);
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImSurroundingText | Qt::ImCursorPosition);
}

void TextEngineView::userEdit(const std::function<void()>& edit)
{
    const State before = state();
    edit();
    finishChange(before, Reveal::Caret);
}

void TextEngineView::replaceText(const std::function<void()>& load)
{
    const State before = state();
    load();
    m_preedit.clear();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    finishChange(before, Reveal::Nothing);
}

void TextEngineView::setText(const QString& text)
{
    replaceText([&] { m_doc.setText(text); });
}

void TextEngineView::setTextLatin1(const QByteArray& text)
{
    replaceText([&] { m_doc.setLatin1(text); });
}

void TextEngineView::setTextRows(std::shared_ptr<const textfn::RowText> text)
{
    replaceText([&] { m_doc.setRows(std::move(text)); });
}

void TextEngineView::setSelection(qsizetype start, qsizetype length)
{
    const State before = state();
    m_doc.setSelection(start, length);
    m_preferredCell = -1;
    finishChange(before, Reveal::Nothing);
    ensureVisible(m_doc.selectionStart(), m_doc.selectionLength());
}

void TextEngineView::replaceSelection(const QString& text)
{
    userEdit([&] { m_doc.replaceSelection(text); });
}

void TextEngineView::setReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    updateInputMethodAttribute();
    restartBlink();
    viewport()->update();
}

void TextEngineView::setDrawsBackground(bool draws)
{
    m_drawsBackground = draws;
    viewport()->setAutoFillBackground(draws);
    viewport()->update();
}

void TextEngineView::setInputMethodEnabled(bool enabled)
{
    m_inputMethodEnabled = enabled;
    updateInputMethodAttribute();
}

void TextEngineView::updateInputMethodAttribute()
{
    setAttribute(Qt::WA_InputMethodEnabled, m_inputMethodEnabled && !m_readOnly);
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

void TextEngineView::undo()
{
    if (!m_readOnly)
        userEdit([&] { m_doc.undo(); });
}

void TextEngineView::redo()
{
    if (!m_readOnly)
        userEdit([&] { m_doc.redo(); });
}

// The clipboard holds the selection's slices; its string is made when asked for.
void TextEngineView::copy()
{
    if (m_doc.hasSelection())
        QGuiApplication::clipboard()->setMimeData(new SlicesMimeData(m_doc.selectedSlices()));
}

void TextEngineView::cut()
{
    if (m_readOnly || !m_doc.hasSelection())
        return;
    copy();
    userEdit([&] { m_doc.deleteSelection(); });
}

void TextEngineView::paste()
{
    if (m_readOnly)
        return;
    // Our own copy goes back in as the slices it holds, never as a string.
    if (const auto* own = dynamic_cast<const SlicesMimeData*>(QGuiApplication::clipboard()->mimeData())) {
        if (!own->slices().isEmpty())
            userEdit([&] { m_doc.replaceSelection(own->slices()); });
        return;
    }
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty())
        userEdit([&] { m_doc.replaceSelection(text); });
}

void TextEngineView::selectAll()
{
    // Like other editors, selecting everything leaves the view where it is.
    const State before = state();
    m_doc.selectAll();
    finishChange(before, Reveal::Nothing);
}

void TextEngineView::deleteSelection()
{
    if (!m_readOnly)
        userEdit([&] { m_doc.deleteSelection(); });
}

void TextEngineView::moveCaretTo(qsizetype pos, bool keepAnchor, bool keepPreferredCell)
{
    const State before = state();
    m_doc.moveCaret(pos, keepAnchor);
    if (!keepPreferredCell)
        m_preferredCell = -1;
    finishChange(before, Reveal::Caret);
}

void TextEngineView::ensureVisible(qsizetype pos, qsizetype length)
{
    // Before the view is laid out its size means nothing: reveal once it is.
    if (!isVisible()) {
        m_pendingReveal = {pos, length};
        return;
    }
    m_pendingReveal.reset();
    const TextBuffer& b = m_doc.buffer();
    const qsizetype firstLine = b.lineOf(pos);
    const qsizetype lastLine = b.lineOf(pos + qMax<qsizetype>(0, length));
    const qsizetype visible = visibleLineCount();
    qsizetype top = firstVisibleLine();
    if (lastLine - firstLine + 1 > visible || firstLine < top)
        top = firstLine;
    else if (lastLine >= top + visible)
        top = lastLine - visible + 1;
    verticalScrollBar()->setValue(int(std::min<qsizetype>(top, INT_MAX)));

    const qsizetype cell = m_doc.cellOf(pos + qMax<qsizetype>(0, length));
    const qsizetype columns = visibleCellCount();
    qsizetype left = firstVisibleCell();
    if (cell < left)
        left = qMax<qsizetype>(0, cell - columns / 4);
    else if (cell >= left + columns)
        left = cell - columns + columns / 4;
    horizontalScrollBar()->setValue(int(std::min<qsizetype>(left, INT_MAX)));
}

qsizetype TextEngineView::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

qsizetype TextEngineView::firstVisibleCell() const
{
    return horizontalScrollBar()->value();
}

void TextEngineView::showEvent(QShowEvent* e)
{
    QAbstractScrollArea::showEvent(e);
    updateScrollBars();
    if (m_pendingReveal)
        ensureVisible(m_pendingReveal->first, m_pendingReveal->second);
}
