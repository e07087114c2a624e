// Chunked text storage: setting, reading and editing the text in place.
#include "framework/engine/textbuffer.h"

#include <algorithm>
#include <type_traits>
#include <unordered_set>

TextBuffer::TextBuffer(int chunkSize) : m_chunkSize(qMax(4, chunkSize)) {}

void TextBuffer::clear()
{
    m_chunks.clear();
    m_length = 0;
    touched(0);
}

void TextBuffer::setLatin1(const QByteArray& text)
{
    clear();
    const CompactText t = CompactText::fromLatin1(normalizeLineBreaks(text));
    makeChunks(t, m_chunks);
    m_length = t.size();
    touched(0);
}

void TextBuffer::setRows(std::shared_ptr<const textfn::RowText> text)
{
    clear();
    const qsizetype total = text ? text->size() : 0;
    for (qsizetype at = 0; at < total; at += ComputedChunkSize) {
        Chunk c;
        c.rows = text;
        c.off = at;
        c.len = int(qMin<qsizetype>(ComputedChunkSize, total - at));
        measure(c);
        m_chunks.push_back(std::move(c));
    }
    m_length = total;
    touched(0);
}

size_t TextBuffer::split(size_t i, int offset)
{
    Chunk second = m_chunks[i].slice(offset, m_chunks[i].len - offset);
    m_chunks[i] = m_chunks[i].slice(0, offset);
    m_chunks.insert(m_chunks.begin() + qsizetype(i) + 1, std::move(second));
    touched(i);
    return i + 1;
}

void TextBuffer::setText(const QString& text)
{
    const QString s = normalizeLineBreaks(text);
    if (isLatin1(s.constData(), s.size())) {
        setLatin1(s.toLatin1());
        return;
    }
    clear();
    const CompactText t = CompactText::fromString(s);
    makeChunks(t, m_chunks);
    m_length = t.size();
    touched(0);
}

// Splits text into chunks of equal size at most m_chunkSize. Latin-1 chunks
// share the text's array; a UTF-16 piece that is all Latin-1 is narrowed, the
// rest get their own copies so that one wide piece never pins a whole large text.
void TextBuffer::makeChunks(const CompactText& text, std::vector<Chunk>& out) const
{
    const qsizetype total = text.size();
    if (total == 0)
        return;
    const qsizetype pieces = (total + m_chunkSize - 1) / m_chunkSize;
    const qsizetype size = (total + pieces - 1) / pieces;
    out.reserve(out.size() + size_t(pieces));
    for (qsizetype at = 0; at < total; at += size) {
        Chunk c;
        c.len = int(qMin(size, total - at));
        if (!text.isWide()) {
            c.latin1 = text.latin1();
            c.off = at;
        } else {
            const QChar* p = text.utf16().constData() + at;
            if (isLatin1(p, c.len)) {
                c.latin1 = QStringView(p, c.len).toLatin1();
            } else {
                c.utf16 = QString(p, c.len);
                c.wide = true;
            }
        }
        measure(c);
        out.push_back(std::move(c));
    }
}

QString TextBuffer::mid(qsizetype pos, qsizetype n) const
{
    QString out;
    if (!clampRange(pos, n))
        return out;
    out.reserve(n);
    forEachPiece(pos, n, [&out](auto* p, qsizetype k) {
        if constexpr (std::is_same_v<decltype(p), const char*>)
            out.append(QLatin1StringView(p, k));
        else
            out.append(p, k);
    });
    return out;
}

QChar TextBuffer::at(qsizetype pos) const
{
    if (pos < 0 || pos >= m_length)
        return QChar();
    const Located at = locate(pos);
    const Chunk& c = m_chunks[at.chunk];
    if (c.rows) {
        char ch;
        c.rows->render(c.off + at.offset, 1, &ch);
        return QChar(uchar(ch));
    }
    return c.wide ? c.units()[at.offset] : QChar(uchar(c.bytes()[at.offset]));
}

qsizetype TextBuffer::insert(qsizetype pos, const QString& text)
{
    return insert(pos, CompactText::fromString(text));
}

bool TextBuffer::roomFor(qsizetype pos, qsizetype n, Located& at) const
{
    if (m_chunks.empty())
        return false;
    at = pos == m_length ? Located{m_chunks.size() - 1, m_chunks.back().len} : locate(pos);
    // On a boundary, the earlier chunk may have room where the later has none.
    if (at.offset == 0 && at.chunk > 0 && m_chunks[at.chunk - 1].len + n <= m_chunkSize)
        at = {at.chunk - 1, m_chunks[at.chunk - 1].len};
    return m_chunks[at.chunk].len + n <= m_chunkSize;
}

qsizetype TextBuffer::insert(qsizetype pos, const CompactText& raw)
{
    const CompactText text = normalizeLineBreaks(raw);
    const qsizetype n = text.size();
    if (n == 0)
        return 0;
    pos = qBound<qsizetype>(0, pos, m_length);
    Located at;
    if (!roomFor(pos, n, at))
        return insert(pos, slicesOf(text));
    Chunk& c = m_chunks[at.chunk];
    insertInto(c, at.offset, text);
    measure(c);
    m_length += n;
    touched(at.chunk);
    return n;
}

qsizetype TextBuffer::insert(qsizetype pos, const TextSlices& text)
{
    const qsizetype n = text.size();
    if (n == 0)
        return 0;
    pos = qBound<qsizetype>(0, pos, m_length);
    Located room;
    if (n <= m_chunkSize && roomFor(pos, n, room))
        return insert(pos, text.toCompact());  // a few characters go into the chunk itself
    // Split where the text goes, then lay the slices in between, none longer than
    // a chunk here: storage is shared, a computed text stays computed.
    size_t at = m_chunks.size();
    if (pos < m_length) {
        const Located l = locate(pos);
        at = l.offset == 0 ? l.chunk : split(l.chunk, l.offset);
    }
    std::vector<Chunk> pieces;
    pieces.reserve(text.m_chunks.size());
    for (const Chunk& c : text.m_chunks) {
        const int most = c.rows ? ComputedChunkSize : m_chunkSize;
        if (c.len <= most)
            pieces.push_back(c);
        else
            for (qsizetype from = 0; from < c.len; from += most)
                pieces.push_back(c.slice(int(from), int(qMin<qsizetype>(most, c.len - from))));
    }
    m_chunks.insert(m_chunks.begin() + qsizetype(at), std::make_move_iterator(pieces.begin()),
                    std::make_move_iterator(pieces.end()));
    m_length += n;
    touched(at);
    // Small pieces at the seams join their neighbours, the later seam first so
    // that the earlier indexes stay.
    const size_t last = at + pieces.size() - 1;
    mergeSmall(last + 1);
    mergeSmall(last);
    if (at != last)
        mergeSmall(at);
    if (at > 0)
        mergeSmall(at - 1);
    return n;
}

TextSlices TextBuffer::slices(qsizetype pos, qsizetype n) const
{
    TextSlices out;
    out.m_joinLimit = m_chunkSize;
    forEachChunkIn(pos, n, [&out](const Chunk& c, int from, qsizetype take) {
        out.push(from == 0 && take == c.len ? c : c.slice(from, int(take)));
    });
    return out;
}

TextSlices TextBuffer::slicesOf(const CompactText& raw) const
{
    TextSlices out;
    out.m_joinLimit = m_chunkSize;
    makeChunks(normalizeLineBreaks(raw), out.m_chunks);
    for (const Chunk& c : out.m_chunks)
        out.m_length += c.len;
    return out;
}

// Gives the chunk storage of its own holding exactly its text, so that it can
// be edited in place without touching a shared array. A computed chunk becomes
// Latin-1 (only small ones are edited in place).
void TextBuffer::ownStorage(Chunk& c)
{
    if (c.rows) {
        c.latin1 = QByteArray(c.len, Qt::Uninitialized);
        c.rows->render(c.off, c.len, c.latin1.data());
        c.rows.reset();
        c.off = 0;
    } else if (c.wide) {
        if (!(c.utf16.isDetached() && c.off == 0 && c.utf16.size() == c.len)) {
            c.utf16 = QString(c.units(), c.len);
            c.off = 0;
        }
    } else if (!(c.latin1.isDetached() && c.off == 0 && c.latin1.size() == c.len)) {
        c.latin1 = QByteArray(c.bytes(), c.len);
        c.off = 0;
    }
}

void TextBuffer::insertInto(Chunk& c, int offset, const CompactText& text)
{
    if (c.rows)
        ownStorage(c);
    if (!c.wide && text.isWide()) {
        c.utf16 = QString::fromLatin1(c.bytes(), c.len);
        c.latin1.clear();
        c.off = 0;
        c.wide = true;
    }
    ownStorage(c);
    if (c.wide) {
        if (text.isWide())
            c.utf16.insert(offset, text.utf16());
        else
            c.utf16.insert(offset, QLatin1StringView(text.latin1()));
    } else {
        c.latin1.insert(offset, text.latin1());
    }
    c.len += int(text.size());
}

void TextBuffer::removeFrom(Chunk& c, int offset, int n)
{
    if (offset == 0) {
        c.off += n;  // the head goes: narrow the slice, copy nothing
    } else if (offset + n < c.len) {
        ownStorage(c);
        if (c.wide)
            c.utf16.remove(offset, n);
        else
            c.latin1.remove(offset, n);
    }
    c.len -= n;
}

void TextBuffer::remove(qsizetype pos, qsizetype n)
{
    if (!clampRange(pos, n))
        return;
    Located first = locate(pos);
    // Computed text is only ever cut from the head of a chunk: split off what stays.
    if (m_chunks[first.chunk].rows && first.offset > 0)
        first = {split(first.chunk, first.offset), 0};
    qsizetype left = n;
    size_t i = first.chunk;
    for (int offset = first.offset; left > 0; ++i, offset = 0) {
        Chunk& c = m_chunks[i];
        const int take = int(qMin<qsizetype>(left, c.len - offset));
        removeFrom(c, offset, take);
        if (c.len > 0)
            measure(c);
        left -= take;
    }
    auto begin = m_chunks.begin() + qsizetype(first.chunk);
    m_chunks.erase(std::remove_if(begin, m_chunks.begin() + qsizetype(i), [](const Chunk& c) { return c.len == 0; }),
                   m_chunks.begin() + qsizetype(i));
    m_length -= n;
    touched(first.chunk);
    // Many small deletions must not leave the text in many tiny chunks.
    if (first.chunk < m_chunks.size())
        mergeSmall(first.chunk);
    if (first.chunk > 0)
        mergeSmall(first.chunk - 1);
}

void TextBuffer::mergeSmall(size_t i)
{
    if (i >= m_chunks.size() || m_chunks[i].len >= m_chunkSize / 4)
        return;
    size_t a = i;
    if (i + 1 < m_chunks.size() && m_chunks[i].len + m_chunks[i + 1].len <= m_chunkSize)
        a = i;
    else if (i > 0 && m_chunks[i - 1].len + m_chunks[i].len <= m_chunkSize)
        a = i - 1;
    else
        return;
    m_chunks[a] = joinedCopy(m_chunks[a], m_chunks[a + 1]);
    m_chunks.erase(m_chunks.begin() + qsizetype(a) + 1);
    touched(a);
}

qsizetype TextBuffer::storageBytes() const
{
    std::unordered_set<const void*> seen;
    return newStorageBytes(seen);
}

qsizetype TextBuffer::newStorageBytes(std::unordered_set<const void*>& seen) const
{
    qsizetype bytes = 0;
    for (const Chunk& c : m_chunks)
        bytes += c.newStorageBytes(seen);
    return bytes;
}
