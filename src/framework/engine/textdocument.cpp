// Selection, edits and undo over the chunked text.
#include "framework/engine/textdocument.h"

TextDocument::TextDocument(int chunkSize) : m_buffer(chunkSize) {}

void TextDocument::setText(const QString& text)
{
    m_buffer.setText(text);
    m_history.clear();
    m_anchor = m_caret = 0;
    ++m_revision;
}

void TextDocument::setLatin1(const QByteArray& text)
{
    m_buffer.setLatin1(text);
    m_history.clear();
    m_anchor = m_caret = 0;
    ++m_revision;
}

void TextDocument::setRows(std::shared_ptr<const textfn::RowText> text)
{
    m_buffer.setRows(std::move(text));
    m_history.clear();
    m_anchor = m_caret = 0;
    ++m_revision;
}

void TextDocument::setSelection(qsizetype start, qsizetype length)
{
    m_anchor = clamp(start);
    m_caret = clamp(m_anchor + qMax<qsizetype>(0, qMin(length, m_buffer.length())));
    m_history.breakRun();
}

void TextDocument::moveCaret(qsizetype pos, bool keepAnchor)
{
    m_caret = clamp(pos);
    if (!keepAnchor)
        m_anchor = m_caret;
    m_history.breakRun();
}

void TextDocument::selectAll()
{
    m_anchor = 0;
    m_caret = m_buffer.length();
    m_history.breakRun();
}

// What the edit removes is kept as slices of the storage it leaves.
void TextDocument::edit(qsizetype pos, qsizetype removeLength, TextSlices text, EditKind kind)
{
    if (removeLength == 0 && text.isEmpty())
        return;
    EditStep step;
    step.pos = pos;
    step.removed = m_buffer.slices(pos, removeLength);
    step.anchorBefore = m_anchor;
    step.caretBefore = m_caret;
    step.kind = kind;
    m_buffer.remove(pos, removeLength);
    m_buffer.insert(pos, text);
    step.inserted = std::move(text);
    m_anchor = m_caret = pos + step.inserted.size();
    ++m_revision;
    m_history.record(std::move(step));
}

void TextDocument::replaceSelection(const QString& text, EditKind kind)
{
    replaceSelection(CompactText::fromString(text), kind);
}

void TextDocument::replaceSelection(const CompactText& text, EditKind kind)
{
    edit(selectionStart(), selectionLength(), m_buffer.slicesOf(text), kind);
}

void TextDocument::replaceSelection(const TextSlices& text)
{
    edit(selectionStart(), selectionLength(), text, EditKind::Other);
}

bool TextDocument::deleteSelection()
{
    if (!hasSelection())
        return false;
    edit(selectionStart(), selectionLength(), TextSlices(), EditKind::Other);
    return true;
}

bool TextDocument::backspace()
{
    if (hasSelection())
        return deleteSelection();
    if (m_caret == 0)
        return false;
    const qsizetype from = previousCharPosition(m_caret);
    edit(from, m_caret - from, TextSlices(), EditKind::Backspace);
    return true;
}

bool TextDocument::deleteForward()
{
    if (hasSelection())
        return deleteSelection();
    if (m_caret == m_buffer.length())
        return false;
    edit(m_caret, nextCharPosition(m_caret) - m_caret, TextSlices(), EditKind::DeleteForward);
    return true;
}

bool TextDocument::undo()
{
    if (!m_history.canUndo())
        return false;
    const EditStep& step = m_history.undo();
    m_buffer.remove(step.pos, step.inserted.size());
    m_buffer.insert(step.pos, step.removed);
    m_anchor = clamp(step.anchorBefore);
    m_caret = clamp(step.caretBefore);
    ++m_revision;
    return true;
}

bool TextDocument::redo()
{
    if (!m_history.canRedo())
        return false;
    const EditStep& step = m_history.redo();
    m_buffer.remove(step.pos, step.removed.size());
    m_buffer.insert(step.pos, step.inserted);
    m_anchor = m_caret = step.pos + step.inserted.size();
    ++m_revision;
    return true;
}

qsizetype TextDocument::storageBytes() const
{
    std::unordered_set<const void*> seen;
    return m_buffer.newStorageBytes(seen) + m_history.newStorageBytes(seen);
}

qsizetype TextDocument::previousCharPosition(qsizetype pos) const
{
    pos = clamp(pos);
    if (pos == 0)
        return 0;
    if (pos >= 2 && m_buffer.at(pos - 1).isLowSurrogate() && m_buffer.at(pos - 2).isHighSurrogate())
        return pos - 2;
    return pos - 1;
}

qsizetype TextDocument::nextCharPosition(qsizetype pos) const
{
    pos = clamp(pos);
    if (pos == m_buffer.length())
        return pos;
    if (m_buffer.at(pos).isHighSurrogate() && m_buffer.at(pos + 1).isLowSurrogate())
        return pos + 2;
    return pos + 1;
}

bool TextDocument::isWordChar(qsizetype pos) const
{
    const QChar c = m_buffer.at(pos);
    return c.isLetterOrNumber() || c == u'_' || c.isSurrogate();
}

qsizetype TextDocument::previousWordPosition(qsizetype pos) const
{
    pos = clamp(pos);
    if (pos > 0 && m_buffer.at(pos - 1) == u'\r')
        return pos - 1;  // from a line's start to the end of the line before
    while (pos > 0 && !isWordChar(pos - 1) && m_buffer.at(pos - 1) != u'\r')
        --pos;
    while (pos > 0 && isWordChar(pos - 1))
        --pos;
    return pos;
}

qsizetype TextDocument::nextWordPosition(qsizetype pos) const
{
    pos = clamp(pos);
    const qsizetype end = m_buffer.length();
    if (pos < end && m_buffer.at(pos) == u'\r')
        return pos + 1;
    while (pos < end && isWordChar(pos))
        ++pos;
    while (pos < end && !isWordChar(pos) && m_buffer.at(pos) != u'\r')
        ++pos;
    return pos;
}

std::pair<qsizetype, qsizetype> TextDocument::wordAt(qsizetype pos) const
{
    pos = clamp(pos);
    if (!isWordChar(pos))
        return {pos, nextCharPosition(pos)};
    qsizetype start = pos, end = pos;
    while (start > 0 && isWordChar(start - 1))
        --start;
    while (end < m_buffer.length() && isWordChar(end))
        ++end;
    return {start, end};
}

qsizetype TextDocument::cellOf(qsizetype pos) const
{
    pos = clamp(pos);
    return m_buffer.cellsBetween(m_buffer.lineStart(m_buffer.lineOf(pos)), pos);
}

qsizetype TextDocument::positionInLine(qsizetype line, qsizetype cell) const
{
    return m_buffer.positionAtCells(m_buffer.lineStart(line), m_buffer.lineEnd(line), cell);
}
