// The chunked text storage: line breaks, cell widths, a randomised comparison
// against a plain QString, and a large text.
#include "framework/engine/charcells.h"
#include "framework/engine/compacttext.h"
#include "framework/engine/textbuffer.h"
#include "reference.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

namespace {

// The reference rules, written the plain way.
QString referenceBreaks(QString s) { return s.replace(u"\r\n"_qs, u"\r"_qs).replace(QChar(u'\n'), QChar(u'\r')); }

struct BreakCase { const char *in, *out; };

TEST(LineBreaks, LfAndCrlfBecomeOneCrInStringsBytesAndPieces)
{
    const BreakCase cases[] = {
        {"", ""}, {"a\rb", "a\rb"}, {"a\nb", "a\rb"}, {"a\r\nb", "a\rb"},
        {"\r\n\n", "\r\r"}, {"\n\r", "\r\r"}, {"\r\r\n", "\r\r"},
    };
    for (const BreakCase& c : cases) {
        EXPECT_EQ(normalizeLineBreaks(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
        EXPECT_EQ(normalizeLineBreaks(QByteArray(c.in)), QByteArray(c.out)) << c.in;
        EXPECT_EQ(normalizeLineBreaks(CompactText::fromLatin1(c.in)).toString(), QString::fromLatin1(c.out));
    }
}

struct CellCase { QString text; qsizetype cells; };

TEST(CharCells, WideCharactersTakeTwoCellsAndPairsCountOnce)
{
    const CellCase cases[] = {
        {QStringLiteral("AB 09"), 5},
        {QStringLiteral("\u00e9\u00ff"), 2},
        {QStringLiteral("\u3042\u3044"), 4},            // hiragana
        {QStringLiteral("\uff21"), 2},                  // fullwidth A
        {QStringLiteral("\U0001F600"), 2},              // emoji: one pair, two cells
        {QStringLiteral("\U00010348"), 1},              // Gothic letter: narrow pair
    };
    for (const CellCase& c : cases)
        EXPECT_EQ(cellsOf(c.text.constData(), c.text.size()), c.cells) << c.text.toStdString();
}

// Random inserts and deletes of Latin-1, wide and surrogate text, with LF and
// CRLF among them, against a QString. Small chunks, so edits cross chunk
// boundaries, split chunks and merge them all the time.
class TextBufferRandom : public ::testing::TestWithParam<int> {};

TEST_P(TextBufferRandom, MatchesAPlainStringUnderRandomEdits)
{
    const int chunk = GetParam();
    std::mt19937 rng(1234 + chunk);
    auto rand = [&](qsizetype n) { return n <= 0 ? qsizetype(0) : qsizetype(rng() % quint64(n)); };
    const QString pieces[] = {QStringLiteral("a"), QStringLiteral("0F "), QStringLiteral("\r"),
                              QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("\u3042"),
                              QStringLiteral("\U0001F600"), QStringLiteral("\u00e9"), QStringLiteral("xyz")};
    auto randomText = [&](qsizetype maxParts) {
        QString s;
        for (qsizetype i = 1 + rand(maxParts); i > 0; --i)
            s += pieces[rand(std::size(pieces))];
        return s;
    };
    TextBuffer b(chunk);
    QString ref;
    for (int op = 0; op < 4000; ++op) {
        const int kind = int(rng() % 10);
        if (op % 500 == 499) {
            // The whole text replaced: every other time by what it already holds
            // (chunks rebuilt from scratch), else by fresh text.
            if (op % 1000 == 999) {
                const QString s = randomText(20 * chunk);
                ref = referenceBreaks(s);
                b.setText(s);
            } else {
                b.setText(ref);
            }
        } else if (kind < 6) {
            const QString s = randomText(3 * chunk / 2);
            const qsizetype pos = rand(ref.size() + 1);
            const QString norm = referenceBreaks(s);
            ASSERT_EQ(b.insert(pos, s), norm.size());
            ref.insert(pos, norm);
        } else if (kind < 9) {
            const qsizetype pos = rand(ref.size() + 1);
            const qsizetype n = rand(3 * chunk);
            b.remove(pos, n);
            ref.remove(pos, n);
        }
        const qsizetype probe = rand(ref.size() + 1);
        ASSERT_EQ(std::tuple(b.length(), b.at(probe), b.mid(probe, 7), b.lineOf(probe)),
                  std::tuple(ref.size(), probe < ref.size() ? ref[probe] : QChar(), ref.mid(probe, 7),
                             ref.left(probe).count(QChar(u'\r')))) << "op " << op;
        if (op % 40 == 0) {
            ASSERT_EQ(b.text(), ref) << "op " << op;
            const std::vector<qsizetype> starts = referenceLineStarts(ref);
            ASSERT_EQ(b.lineCount(), qsizetype(starts.size()));
            for (size_t i = 0; i < starts.size(); ++i)
                ASSERT_EQ(b.lineStart(qsizetype(i)), starts[i]) << "op " << op << " line " << i;
            ASSERT_EQ(b.widestLineCells(), referenceWidest(ref)) << "op " << op;
            ASSERT_EQ(b.mid(probe, 50), ref.mid(probe, 50));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ChunkSizes, TextBufferRandom, ::testing::Values(4, 7, 32, 256));

// Two million address lines of varying width: every line where it belongs.
TEST(TextBufferLarge, EveryLineOfTwoMillionIsInPlace)
{
    constexpr qsizetype lines = 2'000'000;
    QByteArray text;
    text.reserve(lines * 14);
    std::vector<qsizetype> starts;
    starts.reserve(lines + 1);
    for (qsizetype i = 0; i < lines; ++i) {
        starts.push_back(text.size());
        text.append(QByteArray::number(i, 16).rightJustified(8, '0'));
        text.append(':');
        text.append(QByteArray(int(i % 5), '.'));
        text.append('\r');
    }
    starts.push_back(text.size());

    TextBuffer b;
    b.setLatin1(text);
    ASSERT_EQ(b.lineCount(), lines + 1);
    EXPECT_EQ(b.widestLineCells(), 13);
    for (qsizetype i = 0; i <= lines; ++i)
        ASSERT_EQ(b.lineStart(i), starts[size_t(i)]) << "line " << i;
    for (qsizetype i = 0; i < lines; i += 997) {
        ASSERT_EQ(b.lineEnd(i), starts[size_t(i) + 1] - 1);
        ASSERT_EQ(b.lineOf(starts[size_t(i)]), i);
        ASSERT_EQ(b.lineOf(starts[size_t(i) + 1] - 1), i);
        ASSERT_EQ(b.mid(starts[size_t(i)], 9), QString::number(i, 16).rightJustified(8, u'0') + u':');
    }
    // An edit near the top moves every later line by what it inserted.
    b.insert(20, QStringLiteral("AB\rCD "));
    ASSERT_EQ(b.lineCount(), lines + 2);
    EXPECT_EQ(b.lineStart(lines), starts[size_t(lines) - 1] + 6);
    EXPECT_EQ(b.mid(b.lineStart(lines), 9), QString::number(lines - 1, 16).rightJustified(8, u'0') + u':');
}

}  // namespace
