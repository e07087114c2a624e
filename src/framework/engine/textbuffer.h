// The text engine's storage: the text as a sequence of chunks, each either
// Latin-1 (one byte per character, possibly a slice of a larger shared array, so
// that a text handed over as bytes is kept without a copy), UTF-16, or a slice of
// a computed text (textfn::RowText: its characters made on demand, its lines
// found by arithmetic; edits split such a slice and never copy it). Each chunk
// knows its length, its CR count and the widths of the lines in it; prefix sums
// over the chunks give offset <-> line lookups in O(log chunks + chunk size).
// An edit touches one or a few chunks; the prefix sums are brought up to date
// lazily, from the first chunk that changed. Any span can be taken out as
// TextSlices sharing the chunks' storage, and put back the same way.
#pragma once

#include "framework/engine/textslices.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class TextBuffer {
public:
    static constexpr int DefaultChunkSize = 16384;
    static constexpr int RenderBlock = TextChunk::RenderBlock;
    // The most characters one slice of a computed text covers.
    static constexpr int ComputedChunkSize = TextChunk::ComputedMost;

    // chunkSize: the most characters one chunk holds (small values are for tests).
    explicit TextBuffer(int chunkSize = DefaultChunkSize);

    // Both replace the whole text; LF and CRLF become CR.
    void setText(const QString& text);
    void setLatin1(const QByteArray& text);
    // The computed text, held as it is: nothing of it is built.
    void setRows(std::shared_ptr<const textfn::RowText> text);
    void clear();

    qsizetype length() const { return m_length; }
    bool isEmpty() const { return m_length == 0; }
    QString text() const { return mid(0, m_length); }
    // Out-of-range parts of the span are cut off.
    QString mid(qsizetype pos, qsizetype n) const;
    // [pos, pos + n) as slices of the storage, nothing copied or made.
    TextSlices slices(qsizetype pos, qsizetype n) const;
    // Text as slices to insert here: line breaks made CR, in chunks of this buffer's size.
    TextSlices slicesOf(const CompactText& text) const;
    QChar at(qsizetype pos) const;  // QChar() outside the text

    // Insert at pos (clamped to the text); returns the characters inserted,
    // which is fewer than given when CRLF pairs fold into CR.
    qsizetype insert(qsizetype pos, const QString& text);
    qsizetype insert(qsizetype pos, const CompactText& text);
    // Slices go in as they are, sharing their storage.
    qsizetype insert(qsizetype pos, const TextSlices& text);
    void remove(qsizetype pos, qsizetype n);

    // Lines are separated by CR; a text ending in CR has an empty last line.
    qsizetype lineCount() const;
    qsizetype lineStart(qsizetype line) const;  // line clamped to the text
    qsizetype lineEnd(qsizetype line) const;    // offset of its CR, or the length
    qsizetype lineOf(qsizetype pos) const;
    // Cells of the widest line: its length for Latin-1 text, wide characters count two.
    qsizetype widestLineCells() const;

    // Cells taken by the text in [from, to).
    qsizetype cellsBetween(qsizetype from, qsizetype to) const;
    // The offset in [from, to] that lies `cells` cells after `from`, rounded to the
    // nearer edge of a wide character; never the middle of a surrogate pair.
    qsizetype positionAtCells(qsizetype from, qsizetype to, qsizetype cells) const;
    // True when [pos, pos + n) lies in Latin-1 chunks only.
    bool isLatin1Range(qsizetype pos, qsizetype n) const;

    // Bytes of character storage held, each shared array counted once; a computed
    // text's source is not counted.
    qsizetype storageBytes() const;
    // The same, leaving out and adding to what seen has counted.
    qsizetype newStorageBytes(std::unordered_set<const void*>& seen) const;

    int chunkSize() const { return m_chunkSize; }
    qsizetype chunkCount() const { return qsizetype(m_chunks.size()); }

    // Calls f(const char*, qsizetype) for each Latin-1 piece and
    // f(const QChar*, qsizetype) for each UTF-16 piece of [pos, pos + n), in order.
    // Computed text comes in blocks of at most RenderBlock characters, made afresh.
    template <class F>
    void forEachPiece(qsizetype pos, qsizetype n, F&& f) const;
    // The same, but each stretch of a computed text comes as it is held, unbuilt:
    // rows(const std::shared_ptr<const textfn::RowText>&, qsizetype from, qsizetype n)
    // for its characters [from, from + n), so that a reader that knows where such a
    // text comes from can take its source instead.
    template <class F, class R>
    void forEachSpan(qsizetype pos, qsizetype n, F&& f, R&& rows) const;
    // The same from the end of [0, end) back to its start, the last piece first,
    // while f returns true.
    template <class F>
    void forEachPieceBackward(qsizetype end, F&& f) const;

private:
    using Chunk = TextChunk;
    struct Located {
        size_t chunk;
        int offset;
    };

    // Cuts [pos, pos + n) to the text; false when nothing of it is left.
    bool clampRange(qsizetype& pos, qsizetype& n) const
    {
        if (pos < 0) {
            n += pos;
            pos = 0;
        }
        n = qMin(n, m_length - pos);
        return n > 0;
    }
    // Calls g(chunk, from, take) for each chunk's part of [pos, pos + n), in order.
    template <class G>
    void forEachChunkIn(qsizetype pos, qsizetype n, G&& g) const;
    void ensureIndex() const;
    Located locate(qsizetype pos) const;
    void touched(size_t chunk);
    void measure(Chunk& c) const { measureChunk(c); }
    int nthBreak(const Chunk& c, int from, qsizetype count) const;
    int breaksBefore(const Chunk& c, int offset) const;
    void makeChunks(const CompactText& text, std::vector<Chunk>& out) const;
    void insertInto(Chunk& c, int offset, const CompactText& text);
    void removeFrom(Chunk& c, int offset, int n);
    void mergeSmall(size_t chunk);
    static void ownStorage(Chunk& c);
    // Splits a chunk in two at offset (inside it), both sharing its storage; the index of the second.
    size_t split(size_t chunk, int offset);
    // Where n characters inserted at pos fit into a chunk as it stands, if they do.
    bool roomFor(qsizetype pos, qsizetype n, Located& at) const;

    int m_chunkSize;
    qsizetype m_length = 0;
    std::vector<Chunk> m_chunks;

    // Prefix sums: characters and CRs before each chunk, valid below m_dirtyFrom.
    mutable std::vector<qsizetype> m_charStart;
    mutable std::vector<qsizetype> m_breakStart;
    mutable size_t m_dirtyFrom = 0;
    mutable qsizetype m_widest = 0;
    mutable bool m_widestDirty = false;
    // The last CR found by lineStart, so that walking the lines in order scans
    // each chunk once rather than once per line.
    mutable struct {
        bool valid = false;
        size_t chunk = 0;
        qsizetype breaks = 0;  // CRs of the chunk up to and including the one at offset
        int offset = 0;
    } m_lineCache;
};

template <class G>
void TextBuffer::forEachChunkIn(qsizetype pos, qsizetype n, G&& g) const
{
    if (!clampRange(pos, n))
        return;
    Located at = locate(pos);
    for (size_t i = at.chunk; n > 0 && i < m_chunks.size(); ++i) {
        const Chunk& c = m_chunks[i];
        const int from = i == at.chunk ? at.offset : 0;
        const qsizetype take = qMin<qsizetype>(n, c.len - from);
        g(c, from, take);
        n -= take;
    }
}

template <class F>
void TextBuffer::forEachPiece(qsizetype pos, qsizetype n, F&& f) const
{
    forEachChunkIn(pos, n, [&](const Chunk& c, int from, qsizetype take) { forEachChunkPiece(c, from, take, f); });
}

template <class F, class R>
void TextBuffer::forEachSpan(qsizetype pos, qsizetype n, F&& f, R&& rows) const
{
    forEachChunkIn(pos, n, [&](const Chunk& c, int from, qsizetype take) {
        if (c.rows)
            rows(c.rows, c.off + from, take);
        else if (c.wide)
            f(c.units() + from, take);
        else
            f(c.bytes() + from, take);
    });
}

template <class F>
void TextBuffer::forEachPieceBackward(qsizetype end, F&& f) const
{
    end = qMin(end, m_length);
    if (end <= 0)
        return;
    const Located at = locate(end - 1);
    bool more = true;
    for (size_t i = at.chunk + 1; more && i-- > 0;) {
        const Chunk& c = m_chunks[i];
        const qsizetype upTo = i == at.chunk ? at.offset + 1 : c.len;
        if (!c.rows) {
            more = c.wide ? f(c.units(), upTo) : f(c.bytes(), upTo);
            continue;
        }
        char block[RenderBlock];
        for (qsizetype to = upTo; more && to > 0;) {
            const qsizetype k = qMin<qsizetype>(RenderBlock, to);
            to -= k;
            c.rows->render(c.off + to, k, block);
            more = f(static_cast<const char*>(block), k);
        }
    }
}
