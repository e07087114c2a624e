// The editable document without a window: surrogate pairs, undo after a new text
// and of a typed or Backspace run; its randomised comparison with a QString runs
// on computed and empty texts.
#include "framework/engine/textdocument.h"

#include <gtest/gtest.h>

#include <tuple>

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
