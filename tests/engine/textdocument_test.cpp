// The editable document without a window: surrogate pairs, undo after a new
// text, and a randomised comparison against a QString with its own history.
#include "framework/engine/textdocument.h"

#include <gtest/gtest.h>

#include <random>

namespace {

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
