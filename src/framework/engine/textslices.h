// Text storage shared without a copy. A chunk is a slice of a Latin-1 array, of a
// UTF-16 string or of a computed text (textfn::RowText: its characters made on
// demand); TextSlices is a run of such chunks. What an edit removes and what is
// copied are kept this way: holding a slice of a large text costs its
// bookkeeping, not its characters, and puts the same storage back unchanged.
#pragma once

#include "framework/engine/compacttext.h"
#include "framework/text/rowtext.h"

#include <memory>
#include <unordered_set>
#include <vector>

struct TextChunk {
    // Computed text is made in blocks of this many characters at the most.
    static constexpr int RenderBlock = 4096;
    // The most characters one slice of a computed text covers.
    static constexpr int ComputedMost = 1 << 30;

    QByteArray latin1;  // shared storage; the chunk is [off, off + len) of it
    QString utf16;      // the same for a wide chunk
    std::shared_ptr<const textfn::RowText> rows;  // the same for a computed chunk
    qsizetype off = 0;
    int len = 0;
    int lines = 0;       // CRs in the chunk
    int headCells = 0;   // cells before the first CR (all of them when there is none)
    int tailCells = 0;   // cells after the last CR
    int innerCells = 0;  // widest line lying wholly between two CRs of the chunk
    bool wide = false;

    const char* bytes() const { return latin1.constData() + off; }
    const QChar* units() const { return utf16.constData() + off; }
    // [from, from + n) of this chunk, sharing its storage, measured.
    TextChunk slice(int from, int n) const;
    // Bytes of storage it holds that seen has not counted yet; a computed source is not counted.
    qsizetype newStorageBytes(std::unordered_set<const void*>& seen) const;
};

// Sets the chunk's CR count and line widths from its characters.
void measureChunk(TextChunk& c);

// a followed by b, copied into one piece of stored text of its own, measured.
TextChunk joinedCopy(const TextChunk& a, const TextChunk& b);

// Calls f(const char*, qsizetype) for Latin-1 and computed text, f(const QChar*,
// qsizetype) for UTF-16, over [from, from + n) of the chunk.
template <class F>
void forEachChunkPiece(const TextChunk& c, qsizetype from, qsizetype n, F&& f)
{
    if (c.rows) {
        char block[TextChunk::RenderBlock];
        for (qsizetype done = 0; done < n;) {
            const qsizetype k = qMin<qsizetype>(TextChunk::RenderBlock, n - done);
            c.rows->render(c.off + from + done, k, block);
            f(static_cast<const char*>(block), k);
            done += k;
        }
    } else if (c.wide) {
        f(c.units() + from, n);
    } else {
        f(c.bytes() + from, n);
    }
}

class TextSlices {
public:
    qsizetype size() const { return m_length; }
    bool isEmpty() const { return m_length == 0; }

    // Neighbouring slices of the same storage become one; small pieces are joined by copying.
    void append(const TextSlices& other);
    void prepend(const TextSlices& other);

    // Every piece in order, as forEachChunkPiece hands them over.
    template <class F>
    void forEachPiece(F&& f) const
    {
        for (const TextChunk& c : m_chunks)
            forEachChunkPiece(c, 0, c.len, f);
    }
    CompactText toCompact() const;
    qsizetype newStorageBytes(std::unordered_set<const void*>& seen) const;

private:
    friend class TextBuffer;
    void push(TextChunk c);

    std::vector<TextChunk> m_chunks;
    qsizetype m_length = 0;
    // Pieces joined by copying stay below this many characters.
    int m_joinLimit = 16384;
};
