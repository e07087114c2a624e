// Compact text pieces and line-break normalisation.
#include "framework/engine/compacttext.h"

#include <algorithm>
#include <cstring>

bool isLatin1(const QChar* text, qsizetype n)
{
    const char16_t* p = reinterpret_cast<const char16_t*>(text);
    // Or-ing the units lets the compiler vectorise the test; one pass, no branch per unit.
    char16_t bits = 0;
    for (qsizetype i = 0; i < n; ++i)
        bits |= p[i];
    return bits < 0x100;
}

CompactText CompactText::fromString(const QString& text)
{
    CompactText t;
    if (isLatin1(text.constData(), text.size())) {
        t.m_latin1 = text.toLatin1();
    } else {
        t.m_utf16 = text;
        t.m_wide = true;
    }
    return t;
}

CompactText CompactText::fromLatin1(const QByteArray& bytes)
{
    CompactText t;
    t.m_latin1 = bytes;
    return t;
}

QString CompactText::toString() const
{
    return m_wide ? m_utf16 : QString::fromLatin1(m_latin1);
}

void CompactText::widen()
{
    if (m_wide)
        return;
    m_utf16 = QString::fromLatin1(m_latin1);
    m_latin1.clear();
    m_wide = true;
}

void CompactText::append(const char* latin1, qsizetype n)
{
    if (m_wide)
        m_utf16.append(QLatin1StringView(latin1, n));
    else
        m_latin1.append(latin1, n);
}

void CompactText::append(const QChar* utf16, qsizetype n)
{
    if (!m_wide && isLatin1(utf16, n)) {
        const qsizetype at = m_latin1.size();
        m_latin1.resize(at + n);
        char* out = m_latin1.data() + at;
        for (qsizetype i = 0; i < n; ++i)
            out[i] = char(utf16[i].unicode());
        return;
    }
    widen();
    m_utf16.append(utf16, n);
}

void CompactText::append(const CompactText& other)
{
    if (other.m_wide)
        append(other.m_utf16.constData(), other.m_utf16.size());
    else
        append(other.m_latin1.constData(), other.m_latin1.size());
}

void CompactText::prepend(const CompactText& other)
{
    CompactText joined = other;
    joined.append(*this);
    *this = std::move(joined);
}

namespace {

template <class Str, class Ch>
Str normalized(const Str& text, Ch cr, Ch lf)
{
    Str out;
    out.resize(text.size());
    auto* dst = out.data();
    const auto* src = text.constData();
    const qsizetype n = text.size();
    qsizetype w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (src[i] == lf) {
            if (i > 0 && src[i - 1] == cr)
                continue;  // the CR of a CRLF already stands
            dst[w++] = cr;
        } else {
            dst[w++] = src[i];
        }
    }
    out.resize(w);
    return out;
}

}  // namespace

QString normalizeLineBreaks(const QString& text)
{
    if (!text.contains(QChar(u'\n')))
        return text;
    return normalized(text, QChar(u'\r'), QChar(u'\n'));
}

QByteArray normalizeLineBreaks(const QByteArray& text)
{
    if (!std::memchr(text.constData(), '\n', size_t(text.size())))
        return text;
    return normalized(text, '\r', '\n');
}

CompactText normalizeLineBreaks(const CompactText& text)
{
    if (text.isWide()) {
        const QString s = normalizeLineBreaks(text.utf16());
        return s.constData() == text.utf16().constData() ? text : CompactText::fromString(s);
    }
    const QByteArray b = normalizeLineBreaks(text.latin1());
    return b.constData() == text.latin1().constData() ? text : CompactText::fromLatin1(b);
}
