// A computed text held by the engine: every query at every kind of split point,
// and random edits, undo and redo, against the same text built as a plain string.
#include "framework/engine/charcells.h"
#include "framework/engine/textbuffer.h"
#include "framework/engine/textdocument.h"
#include "framework/text/rowtext.h"
#include "reference.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// Lines of letters (and one character above 0x7F now and then), each ended by a
// CR, then a tail without one: a character is a function of its line and column.
class StripeRows final : public textfn::RowText {
public:
    StripeRows(qsizetype lineLength, qsizetype rows, qsizetype tail) : RowText(lineLength, rows, tail) {}
    void render(qsizetype pos, qsizetype n, char* out) const override
    {
        made += n;
        for (qsizetype i = 0; i < n; ++i)
            out[i] = charAt(pos + i);
    }
    mutable qsizetype made = 0;  // characters rendered so far

private:
    char charAt(qsizetype p) const
    {
        const qsizetype k = p / lineLength(), col = p % lineLength();
        if (k < rows() && col == lineLength() - 1)
            return '\r';
        const qsizetype v = (k * 7 + col * 3) % 29;
        return v == 28 ? char(0xE9) : char('a' + v % 26);
    }
};

auto stripes(qsizetype lineLength, qsizetype rows, qsizetype tail) { return std::make_shared<const StripeRows>(lineLength, rows, tail); }

QString builtText(const textfn::RowText& t) { return QString::fromLatin1(t.toLatin1()); }

// A piece as the buffer hands it over: Latin-1 (or computed) bytes, or UTF-16.
template <class C>
QString pieceText(const C* p, qsizetype n)
{
    if constexpr (std::is_same_v<C, char>)
        return QLatin1StringView(p, n).toString();
    else
        return QStringView(p, n).toString();
}

// Every query of the buffer against the reference string.
void expectSameText(const TextBuffer& b, const QString& ref, const std::string& where)
{
    ASSERT_EQ(b.length(), ref.size()) << where;
    ASSERT_EQ(b.text(), ref) << where;
    const std::vector<qsizetype> starts = referenceLineStarts(ref);
    ASSERT_EQ(b.lineCount(), qsizetype(starts.size())) << where;
    for (size_t i = 0; i < starts.size(); ++i) {
        ASSERT_EQ(b.lineStart(qsizetype(i)), starts[i]) << where << " line " << i;
        ASSERT_EQ(b.lineEnd(qsizetype(i)), i + 1 < starts.size() ? starts[i + 1] - 1 : ref.size()) << where;
    }
    for (qsizetype p = 0; p <= ref.size(); ++p) {
        ASSERT_EQ(b.lineOf(p), ref.left(p).count(QChar(u'\r'))) << where << " at " << p;
        ASSERT_EQ(b.at(p), p < ref.size() ? ref[p] : QChar()) << where << " at " << p;
    }
    ASSERT_EQ(b.widestLineCells(), referenceWidest(ref)) << where;
}

struct Shape { qsizetype lineLength, rows, tail; };

// Lengths around the line's length; no rows, one, several; no tail, a short one, an almost full one.
const Shape kShapes[] = {{3, 0, 0}, {3, 0, 2}, {3, 1, 0}, {3, 5, 2}, {10, 1, 9}, {10, 6, 0},
                         {49, 3, 21}, {49, 4, 0}, {33, 2, 32}, {1, 8, 0}};

TEST(ComputedText, QueriesMatchTheBuiltTextUntouchedAndAfterAnInsertOrARemoveAtEveryOffset)
{
    for (const Shape& s : kShapes) {
        const auto rows = stripes(s.lineLength, s.rows, s.tail);
        const QString built = builtText(*rows);
        const std::string shape = std::to_string(s.lineLength) + "x" + std::to_string(s.rows) + "+"
            + std::to_string(s.tail);
        // Small chunks: a computed slice longer than a chunk is cut, never copied.
        auto fresh = [&] {
            auto b = std::make_unique<TextBuffer>(4);
            b->setRows(rows);
            return b;
        };
        const auto whole = fresh();
        expectSameText(*whole, built, shape);
        EXPECT_EQ(whole->storageBytes(), 0) << "nothing of a computed text is stored";
        for (qsizetype at = 0; at <= built.size(); ++at) {
            const auto b = fresh();
            b->insert(at, QStringLiteral("X\rY"));
            expectSameText(*b, QString(built).insert(at, QStringLiteral("X\rY")), shape + " insert at " + std::to_string(at));
            for (qsizetype n : {1, 2, 5}) {
                const auto r = fresh();
                r->remove(at, n);
                expectSameText(*r, built.left(at) + built.mid(at + n), shape + " remove at " + std::to_string(at));
            }
        }
    }
}

// Deleting the whole computed text, or typing over it, keeps what went as slices
// of the same source: nothing is made, nothing stored, and Undo and Redo put the
// very same slices back.
TEST(ComputedText, UndoOfAWholeTextDeleteOrTypingOverItMakesAndStoresNothing)
{
    for (const bool typing : {false, true}) {
        SCOPED_TRACE(typing ? "typing over" : "backspace");
        const auto rows = stripes(49, 45000000, 21);  // over 2^31 characters, in three slices
        TextDocument d;
        d.setRows(rows);
        d.selectAll();
        ASSERT_TRUE(typing ? (d.replaceSelection(QStringLiteral("7"), EditKind::Typing), true) : d.backspace());
        ASSERT_TRUE(d.undo());
        ASSERT_TRUE(d.redo());
        ASSERT_TRUE(d.undo());
        EXPECT_EQ(std::tuple(rows->made, d.buffer().storageBytes(), d.length(), d.buffer().chunkCount()),
                  std::tuple(qsizetype(0), qsizetype(0), rows->size(), qsizetype(3)));
        EXPECT_LT(d.storageBytes(), 64) << "the history holds no more than the typed key";
        for (const qsizetype at : {qsizetype(0), (qsizetype(1) << 30) - 20, (qsizetype(1) << 31) + 7, rows->size() - 40}) {
            QByteArray made(40, Qt::Uninitialized);
            rows->render(at, 40, made.data());
            EXPECT_EQ(d.buffer().mid(at, 40), QString::fromLatin1(made)) << at;
        }
        EXPECT_EQ(std::pair(d.selectionStart(), d.selectionLength()), std::pair(qsizetype(0), rows->size()));
    }
    // A stored text typed over is held once, by the history, not copied into it.
    const QByteArray stored(1 << 20, 'a');
    TextDocument d;
    d.setLatin1(stored);
    d.selectAll();
    d.replaceSelection(QStringLiteral("7"), EditKind::Typing);
    for (const bool undone : {false, true}) {
        ASSERT_TRUE(!undone || d.undo());
        EXPECT_EQ(d.buffer().storageBytes() == stored.size(), undone);
        EXPECT_GE(d.storageBytes(), stored.size()) << undone;
        EXPECT_LT(d.storageBytes(), stored.size() + 64) << undone;
    }
    EXPECT_TRUE(d.text() == QString::fromLatin1(stored));
}

TEST(ComputedText, ReadingInPiecesGivesTheTextInOrder)
{
    const auto rows = stripes(49, 200, 30);  // longer than one render block
    TextBuffer b(64);
    b.setRows(rows);
    b.insert(4000, QStringLiteral("\u3042"));  // a wide piece among computed ones
    QString ref = builtText(*rows);
    ref.insert(4000, QStringLiteral("\u3042"));
    EXPECT_EQ(b.text(), ref);  // read piece by piece

    // By spans, the computed stretches come unbuilt, as where they lie in the text.
    QString spans;
    qsizetype unbuilt = 0;
    b.forEachSpan(
        1, b.length() - 2,
        [&](auto* p, qsizetype n) { spans += pieceText(p, n); },
        [&](const std::shared_ptr<const textfn::RowText>& from, qsizetype at, qsizetype n) {
            EXPECT_EQ(from, rows);
            spans += QLatin1StringView(from->toLatin1().mid(at, n));
            unbuilt += n;
        });
    EXPECT_EQ(spans, ref.mid(1, ref.size() - 2));
    EXPECT_EQ(unbuilt, ref.size() - 3);
    EXPECT_EQ(b.mid(4090, 20), ref.mid(4090, 20));
    // Backwards from any point the same pieces come last first, and stopping ends the reading.
    for (const qsizetype end : {qsizetype(0), qsizetype(1), qsizetype(4000), qsizetype(4001), qsizetype(9000), b.length()}) {
        QString back;
        b.forEachPieceBackward(end, [&](auto* p, qsizetype n) {
            back.prepend(pieceText(p, n));
            return true;
        });
        EXPECT_EQ(back, ref.left(end)) << end;
    }
    rows->made = 0;
    qsizetype pieces = 0;
    b.forEachPieceBackward(b.length(), [&](auto*, qsizetype) { return ++pieces < 2; });
    EXPECT_EQ(pieces, 2);
    EXPECT_LE(rows->made, 2 * TextBuffer::RenderBlock) << "only the pieces read are made";
    EXPECT_FALSE(b.isLatin1Range(3990, 20));
    EXPECT_TRUE(b.isLatin1Range(5000, 2000));
}

// Random selections, typing, pastes, deletions, undo and redo on a computed text
// (and on an empty one, where every piece is typed), against a QString with its
// own history.
class ComputedTextRandom : public ::testing::TestWithParam<int> {};

TEST_P(ComputedTextRandom, EditsAndUndoMatchAPlainString)
{
    const int chunk = GetParam();
    std::mt19937 rng(7 + chunk);
    auto rand = [&](qsizetype n) { return n <= 0 ? qsizetype(0) : qsizetype(rng() % quint64(n)); };
    const QString alphabet = QStringLiteral("0123456789ABCDEF \r\u3042\u00e9");
    for (const Shape& s : {Shape{3, 0, 0}, Shape{49, 40, 21}, Shape{10, 100, 0}, Shape{33, 30, 32}}) {
        const auto rows = stripes(s.lineLength, s.rows, s.tail);
        TextDocument d(chunk);
        d.setRows(rows);
        QString ref = builtText(*rows);
        const QString original = ref;
        std::vector<QString> undoStates, redoStates;
        TextSlices copied;  // the last selection, pasted back as it is stored
        QString copiedText;
        for (int op = 0; op < 1500; ++op) {
            const int kind = int(rng() % 9);
            const QString before = ref;
            bool edited = false;
            if (kind <= 1) {
                const qsizetype start = rand(ref.size() + 3), len = rand(kind == 0 ? 5 : 120);
                d.setSelection(start, len);
                ASSERT_EQ(d.selectedText(), ref.mid(qMin(start, ref.size()), len)) << "op " << op;
                copied = d.selectedSlices();
                copiedText = d.selectedText();
            } else if (kind <= 3) {
                QString t;
                for (qsizetype i = rand(8) + 1; i > 0; --i)
                    t += alphabet[rand(alphabet.size())];
                if (kind == 3 && !copied.isEmpty())
                    t = copiedText;
                const qsizetype at = d.selectionStart();
                ref.replace(at, d.selectionLength(), t);
                // A separate step each time: no folding.
                if (kind == 3 && !copied.isEmpty())
                    d.replaceSelection(copied);
                else
                    d.replaceSelection(t);
                ASSERT_EQ(d.caret(), at + t.size());
                edited = true;
            } else if (kind == 4) {
                edited = d.selectionLength() > 0;
                ref.remove(d.selectionStart(), d.selectionLength());
                ASSERT_EQ(d.deleteSelection(), edited);
            } else if ((kind == 5 && !undoStates.empty()) || (kind == 6 && !redoStates.empty())) {
                auto [from, to] = kind == 5 ? std::tie(undoStates, redoStates) : std::tie(redoStates, undoStates);
                ASSERT_TRUE(kind == 5 ? d.undo() : d.redo());
                to.push_back(std::exchange(ref, from.back()));
                from.pop_back();
            } else if (kind == 7) {
                // Nothing is selected: only a caret at the start has nothing to take.
                const qsizetype at = rand(ref.size() + 1);
                d.moveCaret(at, false);
                edited = at > 0;
                ASSERT_EQ(d.backspace(), edited) << "op " << op;
                if (edited)
                    ref.remove(at - 1, 1);
                ASSERT_EQ(d.caret(), at - edited) << "op " << op;
            } else {
                d.moveCaret(rand(ref.size() + 1), true);
            }
            if (edited) {
                undoStates.push_back(before);
                redoStates.clear();
            }
            const TextBuffer& b = d.buffer();
            const qsizetype probe = rand(ref.size() + 1);
            ASSERT_EQ(std::tuple(d.canUndo(), d.canRedo(), b.length(), b.mid(probe, 60), b.lineOf(probe), b.widestLineCells()),
                      std::tuple(!undoStates.empty(), !redoStates.empty(), ref.size(), ref.mid(probe, 60),
                                 ref.left(probe).count(QChar(u'\r')), referenceWidest(ref))) << "op " << op;
            if (op % 100 == 0)
                expectSameText(b, ref, "op " + std::to_string(op));
        }
        while (d.undo()) {
        }
        EXPECT_EQ(d.text(), original) << "every edit undone gives the computed text back";
    }
}

INSTANTIATE_TEST_SUITE_P(ChunkSizes, ComputedTextRandom, ::testing::Values(4, 16, 64, TextBuffer::DefaultChunkSize));

}  // namespace
