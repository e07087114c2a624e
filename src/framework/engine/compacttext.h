// A piece of text kept at one byte per character while it is all Latin-1, and
// as UTF-16 once it holds anything else; plus the line-break rule of the text
// engine: CR alone ends a line, so LF and CRLF coming in become one CR.
#pragma once

#include <QByteArray>
#include <QString>

class CompactText {
public:
    CompactText() = default;
    static CompactText fromString(const QString& text);
    static CompactText fromLatin1(const QByteArray& bytes);

    qsizetype size() const { return m_wide ? m_utf16.size() : m_latin1.size(); }
    bool isEmpty() const { return size() == 0; }
    bool isWide() const { return m_wide; }
    const QByteArray& latin1() const { return m_latin1; }
    const QString& utf16() const { return m_utf16; }
    QString toString() const;

    void append(const char* latin1, qsizetype n);
    void append(const QChar* utf16, qsizetype n);
    void append(const CompactText& other);
    void prepend(const CompactText& other);

private:
    void widen();

    QByteArray m_latin1;
    QString m_utf16;
    bool m_wide = false;
};

// True when every character fits in one Latin-1 byte.
bool isLatin1(const QChar* text, qsizetype n);

// CRLF and lone LF become CR; text without LF comes back shared, uncopied.
QString normalizeLineBreaks(const QString& text);
QByteArray normalizeLineBreaks(const QByteArray& text);
CompactText normalizeLineBreaks(const CompactText& text);
