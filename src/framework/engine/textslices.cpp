// Shared slices of text storage, and how runs of them join.
#include "framework/engine/textslices.h"

#include <algorithm>

TextChunk TextChunk::slice(int from, int n) const
{
    TextChunk part = *this;
    part.off += from;
    part.len = n;
    measureChunk(part);
    return part;
}

qsizetype TextChunk::newStorageBytes(std::unordered_set<const void*>& seen) const
{
    if (rows)
        return 0;
    if (wide)
        return seen.insert(utf16.constData()).second ? utf16.capacity() * qsizetype(sizeof(QChar)) : 0;
    return seen.insert(latin1.constData()).second ? latin1.capacity() : 0;
}

namespace {

// The measures of a followed by b, from theirs: no character is read again.
void measureJoined(TextChunk& a, const TextChunk& b)
{
    if (b.lines == 0) {
        (a.lines == 0 ? a.headCells : a.tailCells) += b.headCells;
    } else {
        if (a.lines == 0)
            a.headCells += b.headCells;
        else
            a.innerCells = std::max({a.innerCells, b.innerCells, a.tailCells + b.headCells});
        if (a.lines == 0)
            a.innerCells = b.innerCells;
        a.tailCells = b.tailCells;
    }
    a.lines += b.lines;
}

// b as the continuation of a, when both are slices of the same storage that meet
// and together hold no more than most characters.
bool extendSlice(TextChunk& a, const TextChunk& b, qsizetype most)
{
    if (a.wide != b.wide || bool(a.rows) != bool(b.rows) || a.off + a.len != b.off || qsizetype(a.len) + b.len > most)
        return false;
    const bool same = a.rows ? a.rows == b.rows
        : a.wide             ? a.utf16.constData() == b.utf16.constData()
                             : a.latin1.constData() == b.latin1.constData();
    if (!same)
        return false;
    measureJoined(a, b);
    a.len += b.len;
    return true;
}

}  // namespace

// a and b copied into one piece of storage of its own.
TextChunk joinedCopy(const TextChunk& a, const TextChunk& b)
{
    CompactText t;
    auto add = [&t](auto* p, qsizetype k) { t.append(p, k); };
    forEachChunkPiece(a, 0, a.len, add);
    forEachChunkPiece(b, 0, b.len, add);
    TextChunk c;
    c.len = int(t.size());
    c.wide = t.isWide();
    if (c.wide)
        c.utf16 = t.utf16();
    else
        c.latin1 = t.latin1();
    measureChunk(c);
    return c;
}

void TextSlices::push(TextChunk c)
{
    if (c.len == 0)
        return;
    m_length += c.len;
    if (!m_chunks.empty()) {
        TextChunk& last = m_chunks.back();
        if (extendSlice(last, c, last.rows ? TextChunk::ComputedMost : m_joinLimit))
            return;
        if (qsizetype(last.len) + c.len <= m_joinLimit / 4) {
            last = joinedCopy(last, c);
            return;
        }
    }
    m_chunks.push_back(std::move(c));
}

void TextSlices::append(const TextSlices& other)
{
    m_joinLimit = qMin(m_joinLimit, other.m_joinLimit);
    m_chunks.reserve(m_chunks.size() + other.m_chunks.size());
    for (const TextChunk& c : other.m_chunks)
        push(c);
}

void TextSlices::prepend(const TextSlices& other)
{
    TextSlices joined = other;
    joined.append(*this);
    *this = std::move(joined);
}

CompactText TextSlices::toCompact() const
{
    CompactText t;
    forEachPiece([&t](auto* p, qsizetype k) { t.append(p, k); });
    return t;
}

qsizetype TextSlices::newStorageBytes(std::unordered_set<const void*>& seen) const
{
    qsizetype bytes = 0;
    for (const TextChunk& c : m_chunks)
        bytes += c.newStorageBytes(seen);
    return bytes;
}
