// The editable text of one text engine, without a window: the stored text, the
// selection (an anchor and a caret), the edits a user makes and their undo.
// Every offset counts UTF-16 characters from 0 and is clamped to the text.
#pragma once

#include "framework/engine/textbuffer.h"
#include "framework/engine/undohistory.h"

class TextDocument {
public:
    explicit TextDocument(int chunkSize = TextBuffer::DefaultChunkSize);

    const TextBuffer& buffer() const { return m_buffer; }
    qsizetype length() const { return m_buffer.length(); }
    QString text() const { return m_buffer.text(); }

    // Replace the whole text: the caret goes to the start and the undo history is emptied.
    void setText(const QString& text);
    void setLatin1(const QByteArray& text);
    void setRows(std::shared_ptr<const textfn::RowText> text);

    qsizetype anchor() const { return m_anchor; }
    qsizetype caret() const { return m_caret; }
    qsizetype selectionStart() const { return qMin(m_anchor, m_caret); }
    qsizetype selectionEnd() const { return qMax(m_anchor, m_caret); }
    qsizetype selectionLength() const { return selectionEnd() - selectionStart(); }
    bool hasSelection() const { return m_anchor != m_caret; }
    QString selectedText() const { return m_buffer.mid(selectionStart(), selectionLength()); }
    TextSlices selectedSlices() const { return m_buffer.slices(selectionStart(), selectionLength()); }

    // Anchor at start, caret at start + length; both end at the end of the text at the most.
    void setSelection(qsizetype start, qsizetype length);
    // Moves the caret; keepAnchor extends the selection instead of dropping it.
    void moveCaret(qsizetype pos, bool keepAnchor);
    void selectAll();

    // Undoable edits. Each leaves the caret right after what it inserted.
    void replaceSelection(const QString& text, EditKind kind = EditKind::Other);
    void replaceSelection(const CompactText& text, EditKind kind = EditKind::Other);
    void replaceSelection(const TextSlices& text);
    bool deleteSelection();
    bool backspace();      // the selection, else the character before the caret
    bool deleteForward();  // the selection, else the character after the caret

    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    bool undo();
    bool redo();

    // Counts every change of the text; equal revisions mean the same text.
    quint64 revision() const { return m_revision; }
    // Bytes of character storage held by the text and its undo history, each
    // shared array counted once; a computed text's source is not counted.
    qsizetype storageBytes() const;

    // Steps that never split a surrogate pair.
    qsizetype previousCharPosition(qsizetype pos) const;
    qsizetype nextCharPosition(qsizetype pos) const;
    // Start of the word before pos, and start of the word after pos.
    qsizetype previousWordPosition(qsizetype pos) const;
    qsizetype nextWordPosition(qsizetype pos) const;
    // The word around pos as [start, end); a lone other character when pos is on none.
    std::pair<qsizetype, qsizetype> wordAt(qsizetype pos) const;

    // Cells from the start of pos's line to pos, and the offset in a line nearest a cell.
    qsizetype cellOf(qsizetype pos) const;
    qsizetype positionInLine(qsizetype line, qsizetype cell) const;

private:
    void edit(qsizetype pos, qsizetype removeLength, TextSlices text, EditKind kind);
    qsizetype clamp(qsizetype pos) const { return qBound<qsizetype>(0, pos, m_buffer.length()); }
    bool isWordChar(qsizetype pos) const;

    TextBuffer m_buffer;
    UndoHistory m_history;
    qsizetype m_anchor = 0;
    qsizetype m_caret = 0;
    quint64 m_revision = 0;
};
