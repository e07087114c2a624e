// Line-break normalisation and compact text pieces.
#include "framework/engine/compacttext.h"

#include <gtest/gtest.h>

namespace {

struct BreakCase {
    const char* in;
    const char* out;
};

const BreakCase breakCases[] = {
    {"", ""},
    {"abc", "abc"},
    {"a\rb", "a\rb"},
    {"a\nb", "a\rb"},
    {"a\r\nb", "a\rb"},
    {"\n", "\r"},
    {"\r\n", "\r"},
    {"\r\n\n", "\r\r"},
    {"\n\r", "\r\r"},
    {"\r\r\n", "\r\r"},
    {"a\n\nb\r\n", "a\r\rb\r"},
};

TEST(LineBreaks, LfAndCrlfBecomeOneCrInStringsAndBytes)
{
    for (const BreakCase& c : breakCases) {
        EXPECT_EQ(normalizeLineBreaks(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
        EXPECT_EQ(normalizeLineBreaks(QByteArray(c.in)), QByteArray(c.out)) << c.in;
        EXPECT_EQ(normalizeLineBreaks(CompactText::fromLatin1(c.in)).toString(), QString::fromLatin1(c.out));
    }
}

TEST(LineBreaks, TextWithoutLfIsSharedNotCopied)
{
    const QByteArray bytes("00 01 02\r03");
    EXPECT_TRUE(normalizeLineBreaks(bytes).isSharedWith(bytes));
    const QString text = QString::fromLatin1("00 01\r");
    EXPECT_TRUE(normalizeLineBreaks(text).isSharedWith(text));
}

TEST(CompactTextPiece, StaysOneBytePerCharacterUntilAWideCharacterArrives)
{
    CompactText t = CompactText::fromString(QStringLiteral("ab\u00e9"));
    EXPECT_FALSE(t.isWide());
    EXPECT_EQ(t.latin1(), QByteArray("ab\xe9"));

    const QString wide = QStringLiteral("\u3042");
    t.append(wide.constData(), wide.size());
    EXPECT_TRUE(t.isWide());
    EXPECT_EQ(t.toString(), QStringLiteral("ab\u00e9\u3042"));

    t.prepend(CompactText::fromLatin1("x"));
    EXPECT_EQ(t.toString(), QStringLiteral("xab\u00e9\u3042"));
    EXPECT_EQ(t.size(), 5);
}

}  // namespace
