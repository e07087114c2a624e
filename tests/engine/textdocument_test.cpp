// The editable document without a window: surrogate pairs, undo after a new text
// and of a typed or Backspace run; its randomised comparison with a QString runs
// on computed and empty texts.
#include "framework/engine/textdocument.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace {

TEST(TextDocumentEdits, BackspaceAndDeleteTakeWholeSurrogatePairs)
{
    // Each row: the caret, Backspace or Delete, whether it acts and the text after.
    const std::tuple<qsizetype, bool, bool, QString> rows[] = {
        {3, true, true, QStringLiteral("ab")}, {1, false, true, QStringLiteral("ab")},
        {0, true, false, QStringLiteral("a\U0001F600b")}, {4, false, false, QStringLiteral("a\U0001F600b")}};
    for (const auto& [caret, back, acts, after] : rows) {
        TextDocument d;
        d.setText(QStringLiteral("a\U0001F600b"));
        d.setSelection(caret, 0);
        const bool acted = back ? d.backspace() : d.deleteForward();
        EXPECT_EQ(std::pair(acted, d.text()), std::pair(acts, after)) << caret;
    }
}

TEST(TextDocumentEdits, SettingTheWholeTextClearsUndoAndPutsTheCaretAtTheStart)
{
    TextDocument d;
    d.replaceSelection(QStringLiteral("abc"));
    ASSERT_TRUE(d.canUndo());
    d.setText(QStringLiteral("xyz"));
    EXPECT_FALSE(d.undo());
    EXPECT_EQ(std::tuple(d.canUndo(), d.caret(), d.text()), std::tuple(false, 0, QStringLiteral("xyz")));
}

// A run of typed keys, or of Backspace, is taken back by one undo, not one per
// key; moving the caret ends the run.
TEST(TextDocumentUndo, TypedKeysFoldIntoOneStepUntilTheCaretMoves)
{
    TextDocument d;
    d.setText(QStringLiteral("00\r"));
    d.setSelection(2, 0);
    for (QChar c : QStringLiteral(" 7F"))
        d.replaceSelection(QString(c), EditKind::Typing);
    d.moveCaret(0, false);
    d.moveCaret(5, false);
    d.replaceSelection(QStringLiteral("0"), EditKind::Typing);
    ASSERT_EQ(d.text(), QStringLiteral("00 7F0\r"));
    ASSERT_TRUE(d.undo());
    EXPECT_EQ(d.text(), QStringLiteral("00 7F\r"));
    ASSERT_TRUE(d.undo());
    EXPECT_EQ(d.text(), QStringLiteral("00\r"));
    EXPECT_FALSE(d.canUndo());
    d.setText(QStringLiteral("00 7F 3C\r"));
    d.setSelection(8, 0);
    for (int i = 0; i < 4; ++i)
        d.backspace();
    ASSERT_EQ(d.text(), QStringLiteral("00 7\r"));
    ASSERT_TRUE(d.undo());
    EXPECT_EQ(d.text(), QStringLiteral("00 7F 3C\r"));
    EXPECT_FALSE(d.canUndo());
}

}  // namespace
