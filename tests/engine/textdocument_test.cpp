// The editable document without a window: surrogate pairs and undo after a new
// text; its randomised comparison with a QString runs on computed and empty texts.
#include "framework/engine/textdocument.h"

#include <gtest/gtest.h>

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

}  // namespace
