// The editable document without a window: selection clamping, edits, undo and
// redo, and a randomised comparison against a QString with its own history.
#include "framework/engine/textdocument.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct SelectionCase {
    qsizetype start, length;
    qsizetype wantStart, wantLength;
};

class SelectionClamping : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionClamping, OffsetsPastTheEndEndAtTheEnd)
{
    const SelectionCase c = GetParam();
    TextDocument d(4);
    d.setText(QStringLiteral("0123456789"));
    d.setSelection(c.start, c.length);
    EXPECT_EQ(d.selectionStart(), c.wantStart);
    EXPECT_EQ(d.selectionLength(), c.wantLength);
    EXPECT_EQ(d.selectedText(), QStringLiteral("0123456789").mid(c.wantStart, c.wantLength));
}

INSTANTIATE_TEST_SUITE_P(Table, SelectionClamping,
                         ::testing::Values(SelectionCase{2, 3, 2, 3}, SelectionCase{0, 10, 0, 10},
                                           SelectionCase{8, 5, 8, 2}, SelectionCase{10, 1, 10, 0},
                                           SelectionCase{15, 2, 10, 0}, SelectionCase{3, 0, 3, 0},
                                           SelectionCase{-4, 2, 0, 2}, SelectionCase{4, -3, 4, 0},
                                           SelectionCase{5, 1LL << 40, 5, 5}));

TEST(TextDocumentEdits, ReplacingTheSelectionLeavesTheCaretAfterTheNewText)
{
    TextDocument d;
    d.setText(QStringLiteral("90 3C 55\r"));
    d.setSelection(3, 2);
    d.replaceSelection(QStringLiteral("40"));
    EXPECT_EQ(d.text(), QStringLiteral("90 40 55\r"));
    EXPECT_EQ(d.caret(), 5);
    EXPECT_FALSE(d.hasSelection());

    d.setSelection(9, 0);
    d.replaceSelection(QStringLiteral("90 01 00 83 18\n"));  // an LF becomes the CR of the text
    EXPECT_EQ(d.text(), QStringLiteral("90 40 55\r90 01 00 83 18\r"));
    EXPECT_EQ(d.caret(), d.length());
}

TEST(TextDocumentEdits, BackspaceAndDeleteTakeWholeSurrogatePairs)
{
    TextDocument d;
    d.setText(QStringLiteral("a\U0001F600b"));
    d.setSelection(3, 0);
    EXPECT_TRUE(d.backspace());
    EXPECT_EQ(d.text(), QStringLiteral("ab"));
    d.setText(QStringLiteral("a\U0001F600b"));
    d.setSelection(1, 0);
    EXPECT_TRUE(d.deleteForward());
    EXPECT_EQ(d.text(), QStringLiteral("ab"));
    d.setSelection(0, 0);
    EXPECT_FALSE(d.backspace());
    d.setSelection(2, 0);
    EXPECT_FALSE(d.deleteForward());
    EXPECT_EQ(d.text(), QStringLiteral("ab"));
}

TEST(TextDocumentEdits, SettingTheWholeTextClearsUndoAndPutsTheCaretAtTheStart)
{
    TextDocument d;
    d.replaceSelection(QStringLiteral("abc"));
    ASSERT_TRUE(d.canUndo());
    d.setText(QStringLiteral("xyz"));
    EXPECT_FALSE(d.canUndo());
    EXPECT_FALSE(d.undo());
    EXPECT_EQ(d.caret(), 0);
    EXPECT_EQ(d.text(), QStringLiteral("xyz"));
}

TEST(TextDocumentUndo, TypedKeysFoldIntoOneStepUntilTheCaretMoves)
{
    TextDocument d;
    d.setText(QStringLiteral("00\r"));
    d.setSelection(2, 0);
    for (QChar c : QStringLiteral(" 7F"))
        d.replaceSelection(QString(c), EditKind::Typing);
    d.moveCaret(0, false);
    d.replaceSelection(QStringLiteral("1"), EditKind::Typing);
    EXPECT_EQ(d.text(), QStringLiteral("100 7F\r"));

    ASSERT_TRUE(d.undo());
    EXPECT_EQ(d.text(), QStringLiteral("00 7F\r"));
    ASSERT_TRUE(d.undo());
    EXPECT_EQ(d.text(), QStringLiteral("00\r"));
    EXPECT_EQ(d.caret(), 2);
    EXPECT_FALSE(d.undo());

    ASSERT_TRUE(d.redo());
    EXPECT_EQ(d.text(), QStringLiteral("00 7F\r"));
    EXPECT_EQ(d.caret(), 5);
    ASSERT_TRUE(d.redo());
    EXPECT_EQ(d.text(), QStringLiteral("100 7F\r"));
    EXPECT_FALSE(d.redo());
}

TEST(TextDocumentUndo, BackspaceAndDeleteRunsFoldIntoOneStep)
{
    TextDocument d;
    d.setText(QStringLiteral("abcdefgh"));
    d.setSelection(5, 0);
    d.backspace();
    d.backspace();
    d.backspace();
    EXPECT_EQ(d.text(), QStringLiteral("abfgh"));
    d.deleteForward();
    d.deleteForward();
    EXPECT_EQ(d.text(), QStringLiteral("abh"));
    d.undo();
    EXPECT_EQ(d.text(), QStringLiteral("abfgh"));
    d.undo();
    EXPECT_EQ(d.text(), QStringLiteral("abcdefgh"));
    EXPECT_EQ(d.caret(), 5);
}

TEST(TextDocumentUndo, UndoOfAReplacedSelectionSelectsItAgain)
{
    TextDocument d;
    d.setText(QStringLiteral("90 3C 55"));
    d.setSelection(3, 2);
    d.replaceSelection(QStringLiteral("40 41"));
    d.undo();
    EXPECT_EQ(d.text(), QStringLiteral("90 3C 55"));
    EXPECT_EQ(d.selectionStart(), 3);
    EXPECT_EQ(d.selectionLength(), 2);
}

TEST(TextDocumentWords, WordStepsStopAtWordStartsAndLineBreaks)
{
    TextDocument d;
    d.setText(QStringLiteral("90 3C 55\r83 18"));
    EXPECT_EQ(d.nextWordPosition(0), 3);
    EXPECT_EQ(d.nextWordPosition(3), 6);
    EXPECT_EQ(d.nextWordPosition(6), 8);
    EXPECT_EQ(d.nextWordPosition(8), 9);
    EXPECT_EQ(d.previousWordPosition(9), 8);
    EXPECT_EQ(d.previousWordPosition(8), 6);
    EXPECT_EQ(d.previousWordPosition(5), 3);
    EXPECT_EQ(d.wordAt(4), std::make_pair(qsizetype(3), qsizetype(5)));
    EXPECT_EQ(d.wordAt(2), std::make_pair(qsizetype(2), qsizetype(3)));
}

// Random selections, typing, pastes, deletions, undo and redo, against a QString
// and a list of its earlier states.
TEST(TextDocumentRandom, MatchesAPlainStringWithItsOwnHistory)
{
    std::mt19937 rng(99);
    auto rand = [&](qsizetype n) { return n <= 0 ? qsizetype(0) : qsizetype(rng() % quint64(n)); };
    const QString alphabet = QStringLiteral("0123456789ABCDEF \r\u3042");
    TextDocument d(6);
    QString ref;
    std::vector<QString> undoStates, redoStates;
    for (int op = 0; op < 5000; ++op) {
        const int kind = int(rng() % 8);
        const QString before = ref;
        bool edited = false;
        if (kind == 0) {
            const qsizetype start = rand(ref.size() + 3);
            const qsizetype len = rand(20);
            d.setSelection(start, len);
            const qsizetype s = qMin(start, ref.size());
            ASSERT_EQ(d.selectionStart(), s);
            ASSERT_EQ(d.selectedText(), ref.mid(s, len));
        } else if (kind <= 2) {
            QString s;
            for (qsizetype i = rand(15) + 1; i > 0; --i)
                s += alphabet[rand(alphabet.size())];
            const qsizetype at = d.selectionStart();
            ref.replace(at, d.selectionLength(), s);
            d.replaceSelection(s);  // a separate step each time: no folding
            ASSERT_EQ(d.caret(), at + s.size());
            edited = true;
        } else if (kind == 3) {
            const qsizetype at = d.selectionStart(), n = d.selectionLength();
            edited = n > 0;
            if (edited)
                ref.remove(at, n);
            ASSERT_EQ(d.deleteSelection(), edited);
        } else if (kind == 4 && !undoStates.empty()) {
            ASSERT_TRUE(d.undo());
            redoStates.push_back(ref);
            ref = undoStates.back();
            undoStates.pop_back();
        } else if (kind == 5 && !redoStates.empty()) {
            ASSERT_TRUE(d.redo());
            undoStates.push_back(ref);
            ref = redoStates.back();
            redoStates.pop_back();
        } else if (kind == 6) {
            d.moveCaret(rand(ref.size() + 1), rng() % 2);
        }
        if (edited) {
            undoStates.push_back(before);
            redoStates.clear();
        }
        ASSERT_EQ(d.canUndo(), !undoStates.empty()) << "op " << op;
        ASSERT_EQ(d.canRedo(), !redoStates.empty()) << "op " << op;
        ASSERT_EQ(d.length(), ref.size()) << "op " << op;
        if (op % 25 == 0) {
            ASSERT_EQ(d.text(), ref) << "op " << op;
        }
    }
    EXPECT_EQ(d.text(), ref);
}

}  // namespace
