// The line index of the chunked text: per-chunk measures, prefix sums over the
// chunks, and the lookups between offsets, lines and cells built on them.
#include "framework/engine/textbuffer.h"

#include "framework/engine/charcells.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace {

constexpr char CR = '\r';

const char* findBreak(const char* p, const char* end)
{
    return static_cast<const char*>(std::memchr(p, CR, size_t(end - p)));
}

// CRs in a byte run, eight bytes at a time: a byte equal to CR becomes zero
// after the xor, and the usual zero-byte test marks each such byte exactly.
qsizetype countBreaks(const char* p, qsizetype n)
{
    constexpr quint64 ones = 0x0101010101010101ULL;
    constexpr quint64 low7 = 0x7F7F7F7F7F7F7F7FULL;
    qsizetype count = 0;
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 w;
        std::memcpy(&w, p + i, 8);
        const quint64 x = w ^ (ones * quint64(CR));
        // One bit a match at the top of its byte; the multiply sums them into the
        // top byte, with no popcount instruction assumed.
        const quint64 marks = ~(((x & low7) + low7) | x | low7) >> 7;
        count += qsizetype((marks * ones) >> 56);
    }
    for (; i < n; ++i)
        count += p[i] == CR;
    return count;
}

qsizetype countBreaks(const QChar* p, qsizetype n)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < n; ++i)
        count += p[i].unicode() == u'\r';
    return count;
}

}  // namespace

void measureChunk(TextChunk& c)
{
    int lines = 0, head = 0, tail = 0, inner = 0;
    if (c.rows) {
        // Every line of a computed text is as long as the next: no scan.
        const textfn::RowText& t = *c.rows;
        const qsizetype before = t.breaksBefore(c.off);
        lines = int(t.breaksBefore(c.off + c.len) - before);
        if (lines == 0) {
            head = c.len;
        } else {
            head = int(t.breakAt(before) - c.off);
            tail = int(c.off + c.len - t.breakAt(before + lines - 1) - 1);
            inner = lines > 1 ? int(t.lineLength() - 1) : 0;
        }
    } else if (!c.wide) {
        const char* begin = c.bytes();
        const char* end = begin + c.len;
        const char* last = nullptr;  // the previous CR
        for (const char* p = findBreak(begin, end); p; p = findBreak(p + 1, end)) {
            if (!last)
                head = int(p - begin);
            else
                inner = qMax(inner, int(p - last - 1));
            last = p;
            ++lines;
        }
        if (!last)
            head = c.len;
        else
            tail = int(end - last - 1);
    } else {
        const QChar* p = c.units();
        int cells = 0;
        for (int i = 0; i < c.len; ++i) {
            if (p[i].unicode() == u'\r') {
                if (lines == 0)
                    head = cells;
                else
                    inner = qMax(inner, cells);
                ++lines;
                cells = 0;
            } else {
                cells += cellsOfUnit(p[i].unicode());
            }
        }
        if (lines == 0)
            head = cells;
        else
            tail = cells;
    }
    c.lines = lines;
    c.headCells = head;
    c.tailCells = tail;
    c.innerCells = inner;
}

void TextBuffer::touched(size_t chunk)
{
    m_dirtyFrom = std::min(m_dirtyFrom, chunk);
    m_widestDirty = true;
    m_lineCache.valid = false;
}

void TextBuffer::ensureIndex() const
{
    const size_t n = m_chunks.size();
    if (m_charStart.size() != n) {
        m_charStart.resize(n);
        m_breakStart.resize(n);
    }
    for (size_t i = m_dirtyFrom; i < n; ++i) {
        if (i == 0) {
            m_charStart[0] = 0;
            m_breakStart[0] = 0;
        } else {
            m_charStart[i] = m_charStart[i - 1] + m_chunks[i - 1].len;
            m_breakStart[i] = m_breakStart[i - 1] + m_chunks[i - 1].lines;
        }
    }
    m_dirtyFrom = n;
}

// The chunk holding pos, and pos's offset in it. A position on a boundary
// belongs to the later chunk; the end of the text to the last chunk.
TextBuffer::Located TextBuffer::locate(qsizetype pos) const
{
    ensureIndex();
    auto it = std::upper_bound(m_charStart.begin(), m_charStart.end(), pos);
    size_t i = size_t(it - m_charStart.begin()) - 1;
    return {i, int(pos - m_charStart[i])};
}

qsizetype TextBuffer::lineCount() const
{
    if (m_chunks.empty())
        return 1;
    ensureIndex();
    return m_breakStart.back() + m_chunks.back().lines + 1;
}

// Offset in the chunk of its count-th CR after offset `from` (count from 1).
int TextBuffer::nthBreak(const Chunk& c, int from, qsizetype count) const
{
    if (c.rows)
        return int(c.rows->breakAt(c.rows->breaksBefore(c.off + from) + count - 1) - c.off);
    if (!c.wide) {
        const char* begin = c.bytes();
        const char* end = begin + c.len;
        const char* p = begin + from;
        for (;; ++p) {
            p = findBreak(p, end);
            if (--count == 0)
                return int(p - begin);
        }
    }
    const QChar* p = c.units();
    for (int i = from;; ++i)
        if (p[i].unicode() == u'\r' && --count == 0)
            return i;
}

int TextBuffer::breaksBefore(const Chunk& c, int offset) const
{
    if (c.rows)
        return int(c.rows->breaksBefore(c.off + offset) - c.rows->breaksBefore(c.off));
    return int(c.wide ? countBreaks(c.units(), offset) : countBreaks(c.bytes(), offset));
}

qsizetype TextBuffer::lineStart(qsizetype line) const
{
    line = qBound<qsizetype>(0, line, lineCount() - 1);
    if (line == 0)
        return 0;
    ensureIndex();
    // The chunk that holds the line-th CR: the last one with fewer CRs before it.
    auto it = std::upper_bound(m_breakStart.begin(), m_breakStart.end(), line - 1);
    const size_t i = size_t(it - m_breakStart.begin()) - 1;
    const qsizetype wanted = line - m_breakStart[i];  // which CR of the chunk, from 1
    int offset;
    auto& cache = m_lineCache;
    if (cache.valid && cache.chunk == i && cache.breaks <= wanted)
        offset = cache.breaks == wanted ? cache.offset
                                        : nthBreak(m_chunks[i], cache.offset + 1, wanted - cache.breaks);
    else
        offset = nthBreak(m_chunks[i], 0, wanted);
    cache = {true, i, wanted, offset};
    return m_charStart[i] + offset + 1;
}

qsizetype TextBuffer::lineEnd(qsizetype line) const
{
    if (line >= lineCount() - 1)
        return m_length;
    return lineStart(line + 1) - 1;
}

qsizetype TextBuffer::lineOf(qsizetype pos) const
{
    pos = qBound<qsizetype>(0, pos, m_length);
    if (m_chunks.empty())
        return 0;
    const Located at = pos == m_length ? Located{m_chunks.size() - 1, m_chunks.back().len} : locate(pos);
    ensureIndex();
    return m_breakStart[at.chunk] + breaksBefore(m_chunks[at.chunk], at.offset);
}

qsizetype TextBuffer::widestLineCells() const
{
    if (!m_widestDirty)
        return m_widest;
    // A line may run across chunks: carry the open line's cells from chunk to chunk.
    qsizetype best = 0, open = 0;
    for (const Chunk& c : m_chunks) {
        if (c.lines == 0) {
            open += c.headCells;
        } else {
            best = std::max({best, open + c.headCells, qsizetype(c.innerCells)});
            open = c.tailCells;
        }
    }
    m_widest = std::max(best, open);
    m_widestDirty = false;
    return m_widest;
}

qsizetype TextBuffer::cellsBetween(qsizetype from, qsizetype to) const
{
    qsizetype cells = 0;
    forEachPiece(from, to - from, [&cells](auto* p, qsizetype k) {
        if constexpr (std::is_same_v<decltype(p), const char*>)
            cells += k;
        else
            cells += cellsOf(p, k);
    });
    return cells;
}

qsizetype TextBuffer::positionAtCells(qsizetype from, qsizetype to, qsizetype cells) const
{
    qsizetype pos = from, left = qMax<qsizetype>(0, cells);
    bool stop = left == 0;
    forEachPiece(from, to - from, [&](auto* p, qsizetype k) {
        if (stop)
            return;
        if constexpr (std::is_same_v<decltype(p), const char*>) {
            const qsizetype take = qMin(left, k);
            pos += take;
            left -= take;
            stop = left == 0;  // a Latin-1 piece never ends inside a surrogate pair
        } else {
            for (qsizetype i = 0; i < k; ++i) {
                const int w = cellsOfUnit(p[i].unicode());
                if (w == 0) {  // the low half of a pair goes with its high half
                    ++pos;
                    continue;
                }
                if (left == 0 || (w > left && 2 * left < w)) {
                    stop = true;
                    return;
                }
                left = qMax<qsizetype>(0, left - w);  // past the middle of a wide one: after it
                ++pos;
            }
        }
    });
    return qMin(pos, to);
}

bool TextBuffer::isLatin1Range(qsizetype pos, qsizetype n) const
{
    bool narrow = true;
    forEachPiece(pos, n, [&narrow](auto* p, qsizetype) {
        if constexpr (!std::is_same_v<decltype(p), const char*>)
            narrow = false;
    });
    return narrow;
}
