// TextArea: line breaks, selection, one-step text, key and mouse events before the
// area, file drops, read-only, background and input method.
#include "framework/dragitem.h"
#include "framework/exceptions.h"
#include "framework/textarea.h"
#include "framework/window.h"
#include "helpers.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QScrollBar>
#include <QTemporaryFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QWidget* Input(TextArea& t)
{
    // Keys go to the area's widget; mouse and drops to what it scrolls.
    return t.Widget();
}

QWidget* Viewport(TextArea& t)
{
    auto* area = qobject_cast<QAbstractScrollArea*>(t.Widget());
    return area ? area->viewport() : t.Widget();
}

} // namespace

TEST(TextAreaText, EveryLineBreakReadsBackAsCR)
{
    TextArea t;
    for (const char* in : {"a\rb\r", "a\nb\n", "a\r\nb\r\n"}) {
        t.SetText(QString::fromLatin1(in));
        EXPECT_EQ(t.Text(), QStringLiteral("a\rb\r")) << in;
    }
}

TEST(TextAreaText, PastedLfOrCrlfBecomesOneBreak)
{
    TextArea t;
    t.SetText(QStringLiteral("x"));
    t.SetSelStart(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("1\r\n2\n3\r4"));
    t.Paste();
    EXPECT_EQ(t.Text(), QStringLiteral("x1\r2\r3\r4"));
    EXPECT_EQ(t.SelStart(), t.Length());
}

TEST(TextAreaText, Latin1SetterKeepsEveryByteAsItsCharacter)
{
    TextArea t;
    QByteArray bytes;
    for (int b = 32; b < 256; ++b)
        if (b != 127)
            bytes.append(char(b));
    bytes.append('\r');
    t.SetTextLatin1(bytes);
    EXPECT_EQ(t.Text(), QString::fromLatin1(bytes));
}

TEST(TextAreaText, SettingTextIsOneStepThatUndoDoesNotTakeApart)
{
    TextArea t;
    QString big;
    for (int i = 0; i < 2000; ++i)
        big += QStringLiteral("00 11 22 33\r");
    t.SetText(big);
    t.Undo();
    EXPECT_EQ(t.Text(), big);
}

TEST(TextAreaSelection, OffsetsPastTheEndClampToTheEnd)
{
    TextArea t;
    t.SetText(QStringLiteral("abc\rdef"));
    t.SetSelStart(4);
    t.SetSelLength(100);
    EXPECT_EQ(t.SelStart(), 4);
    EXPECT_EQ(t.SelLength(), 3);
    EXPECT_EQ(t.SelText(), QStringLiteral("def"));
    t.SetSelStart(50);
    EXPECT_EQ(t.SelStart(), 7);
    EXPECT_EQ(t.SelLength(), 0);
    t.SetSelLength(5);
    EXPECT_EQ(t.SelText(), QString());
    t.SetSelStart(-3);
    EXPECT_EQ(t.SelStart(), 0);
}

TEST(TextAreaSelection, SelTextCountsBreaksAsOneCharacterAndReadsThemAsCR)
{
    TextArea t;
    t.SetText(QStringLiteral("ab\rcd\r"));
    t.SetSelStart(1);
    t.SetSelLength(3);
    EXPECT_EQ(t.SelText(), QStringLiteral("b\rc"));
}

TEST(TextAreaSelection, AssigningSelTextReplacesTheSelectionAndPutsTheCaretAfterIt)
{
    TextArea t;
    t.SetText(QStringLiteral("0123456789"));
    t.SetSelStart(2);
    t.SetSelLength(3);
    t.SetSelText(QStringLiteral("90 3C 55\r"));
    EXPECT_EQ(t.Text(), QStringLiteral("0190 3C 55\r56789"));
    EXPECT_EQ(t.SelStart(), 11);
    EXPECT_EQ(t.SelLength(), 0);
}

TEST(TextAreaSelection, ReadOnlyAreaStillTakesTheProgramsText)
{
    TextArea t;
    t.SetReadOnly(true);
    t.SetText(QStringLiteral("ab"));
    t.SetSelStart(2);
    t.SetSelText(QStringLiteral("c"));
    EXPECT_EQ(t.Text(), QStringLiteral("abc"));
    QTest::keyClick(Input(t), Qt::Key_D);
    EXPECT_EQ(t.Text(), QStringLiteral("abc"));
}

TEST(TextAreaSelection, HighlightedSelectionIsScrolledIntoView)
{
    Window w;
    auto& t = w.Add<TextArea>(QStringLiteral("T"));
    t.SetBounds(0, 0, 200, 100);
    w.SetVisible(true);
    QString text;
    for (int i = 0; i < 500; ++i)
        text += QStringLiteral("line\r");
    t.SetText(text);
    auto* area = qobject_cast<QAbstractScrollArea*>(t.Widget());
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
    t.SetSelStart(5 * 400);
    t.SetSelLength(5);
    EXPECT_GT(area->verticalScrollBar()->value(), 300);
}

TEST(TextAreaKeys, KeyDownSeesTheKeyFirstAndTrueSwallowsIt)
{
    TextArea t;
    QStringList seen;
    t.KeyDown = [&](TextArea&, const QString& key) {
        seen << key;
        return key == QStringLiteral("g");
    };
    QTest::keyClicks(Input(t), QStringLiteral("agb"));
    EXPECT_EQ(seen, (QStringList{"a", "g", "b"}));
    EXPECT_EQ(t.Text(), QStringLiteral("ab"));
}

TEST(TextAreaKeys, ReturnAndBackspaceArriveAsControlCharactersAndActWhenPassed)
{
    TextArea t;
    QStringList seen;
    t.KeyDown = [&](TextArea&, const QString& key) {
        seen << key;
        return false;
    };
    QTest::keyClicks(Input(t), QStringLiteral("ab"));
    QTest::keyClick(Input(t), Qt::Key_Return);
    QTest::keyClick(Input(t), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(Input(t), Qt::Key_C);
    QTest::keyClick(Input(t), Qt::Key_Backspace);
    EXPECT_EQ(seen.mid(2), (QStringList{QString(QChar(13)), QString(QChar(13)), "c", QString(QChar(8))}));
    EXPECT_EQ(t.Text(), QStringLiteral("ab\r\r"));
}

TEST(TextAreaKeys, TabReachesKeyDownEvenInAReadOnlyArea)
{
    TextArea t;
    t.SetReadOnly(true);
    QString last;
    t.KeyDown = [&](TextArea&, const QString& key) {
        last = key;
        return true;
    };
    QTest::keyClick(Input(t), Qt::Key_Tab);
    EXPECT_EQ(last, QString(QChar(9)));
}

TEST(TextAreaKeys, HandlerThatRaisesIsReportedAndTheKeyIsSwallowed)
{
    ReportCollector c;
    TextArea t;
    t.KeyDown = [](TextArea&, const QString&) -> bool { throw NilObjectException(); };
    QTest::keyClick(Input(t), Qt::Key_A);
    EXPECT_EQ(c.reports.size(), 1);
    EXPECT_EQ(t.Text(), QString());
}

struct KeyCase {
    int key;
    QString text;
    QString expected;
};

class KeyTextTable : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyTextTable, GivesTheFrameworksKeyText)
{
    EXPECT_EQ(KeyText(GetParam().key, GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTextTable,
    ::testing::Values(KeyCase{Qt::Key_A, "a", "a"}, KeyCase{Qt::Key_A, "A", "A"},
                      KeyCase{Qt::Key_Space, " ", " "}, KeyCase{Qt::Key_Return, "\r", QString(QChar(13))},
                      KeyCase{Qt::Key_Enter, "\r", QString(QChar(13))},
                      KeyCase{Qt::Key_Backspace, "\b", QString(QChar(8))},
                      KeyCase{Qt::Key_Tab, "\t", QString(QChar(9))},
                      KeyCase{Qt::Key_Escape, "\x1b", QString(QChar(27))},
                      KeyCase{Qt::Key_Left, "", QString(QChar(28))},
                      KeyCase{Qt::Key_Right, "", QString(QChar(29))},
                      KeyCase{Qt::Key_Up, "", QString(QChar(30))},
                      KeyCase{Qt::Key_Down, "", QString(QChar(31))},
                      KeyCase{Qt::Key_Delete, "", QString(QChar(127))},
                      KeyCase{Qt::Key_Home, "", QString(QChar(1))}, KeyCase{Qt::Key_End, "", QString(QChar(4))},
                      KeyCase{Qt::Key_PageUp, "", QString(QChar(11))},
                      KeyCase{Qt::Key_PageDown, "", QString(QChar(12))}, KeyCase{Qt::Key_Shift, "", ""},
                      KeyCase{Qt::Key_A, QString::fromUtf8("あ"), QString::fromUtf8("あ")}));

TEST(TextAreaMouse, FalsePassesTheClickOnAndTrueKeepsIt)
{
    Window w;
    auto& t = w.Add<TextArea>(QStringLiteral("T"));
    t.SetBounds(0, 0, 300, 200);
    w.SetVisible(true);
    t.SetText(QStringLiteral("abcdef\rghijkl\r"));
    t.SetSelStart(10);
    bool take = true;
    QPoint at;
    t.MouseDown = [&](TextArea&, qint64 x, qint64 y) {
        at = QPoint(int(x), int(y));
        return take;
    };
    QTest::mouseClick(Viewport(t), Qt::LeftButton, {}, QPoint(2, 4));
    EXPECT_EQ(at, QPoint(2, 4));
    EXPECT_EQ(t.SelStart(), 10);
    take = false;
    QTest::mouseClick(Viewport(t), Qt::LeftButton, {}, QPoint(2, 4));
    EXPECT_EQ(t.SelStart(), 0);
}

TEST(TextAreaDrops, DroppedFileReachesDropObjectAndIsNotInsertedAsText)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    TextArea t;
    FolderItemPtr got;
    t.DropObject = [&](TextArea&, DragItem& item, qint64) { got = item.FolderItem(); };
    EXPECT_TRUE(DropOn(Viewport(t), FileMime(file.fileName())));
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->NativePath(), file.fileName());
    EXPECT_EQ(t.Text(), QString());
}

TEST(TextAreaLook, BackgroundCanBeSwitchedOffSoTheWindowShowsThrough)
{
    Window w;
    auto back = std::make_shared<Picture>(800, 600);
    back->Image().fill(QColor(200, 20, 20));
    w.SetBackdrop(back);
    auto& t = w.Add<TextArea>(QStringLiteral("T"));
    t.SetBounds(10, 10, 200, 100);
    t.SetBackgroundColor(RGB(234, 234, 234));
    w.SetVisible(true);
    const QPoint inside(100, 60);
    EXPECT_EQ(w.ContentWidget()->grab().toImage().pixelColor(inside), QColor(234, 234, 234));
    t.SetDrawsBackground(false);
    EXPECT_FALSE(t.DrawsBackground());
    EXPECT_EQ(w.ContentWidget()->grab().toImage().pixelColor(inside), QColor(200, 20, 20));
}

TEST(TextAreaLook, InputMethodCanBeSwitchedOffForPlainAsciiKeys)
{
    TextArea t;
    t.SetInputMethodEnabled(false);
    EXPECT_FALSE(t.InputMethodEnabled());
    EXPECT_FALSE(t.Widget()->testAttribute(Qt::WA_InputMethodEnabled));
    t.SetInputMethodEnabled(true);
    EXPECT_TRUE(t.InputMethodEnabled());
}
