// TextArea: line breaks, Latin-1 text, key and mouse events before the area,
// file drops, read-only, background and input method; the caret and
// selections by mouse, typing, undo, select all, the clipboard, the scroll bar and
// the text margin through real events; and random edits against a plain string.
#include "framework/dragitem.h"
#include "framework/exceptions.h"
#include "framework/textarea.h"
#include "framework/window.h"
#include "helpers.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QMainWindow>
#include <QScrollBar>
#include <QTemporaryFile>
#include <QTest>
#include <QtMath>
#include <gtest/gtest.h>
#include <random>

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

TEST(TextAreaText, EveryLineBreakSetOrPastedReadsBackAsCR)
{
    TextArea t;
    for (const char* in : {"a\rb\r", "a\nb\n", "a\r\nb\r\n"}) {
        t.SetText(QString::fromLatin1(in));
        EXPECT_EQ(t.Text(), QStringLiteral("a\rb\r")) << in;
    }
    t.SetText(QStringLiteral("x"));
    t.SetSelStart(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("1\r\n2\n3\r4"));
    t.Paste();
    EXPECT_EQ(t.Text(), QStringLiteral("x1\r2\r3\r4"));
    EXPECT_EQ(t.SelStart(), t.Length());
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

TEST(TextAreaLook, InputMethodCommitsAreTypedAndCompositionCanBeSwitchedOff)
{
    TextArea t;
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("\u3042"));
    QApplication::sendEvent(t.Widget(), &commit);
    EXPECT_EQ(t.Text(), QStringLiteral("\u3042"));
    t.SetInputMethodEnabled(false);
    EXPECT_FALSE(t.InputMethodEnabled());
    EXPECT_FALSE(t.Widget()->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_FALSE(t.Widget()->inputMethodQuery(Qt::ImEnabled).toBool());
    t.SetInputMethodEnabled(true);
    EXPECT_TRUE(t.InputMethodEnabled());
}

namespace {

// An area in a shown window, in a fixed-pitch font, so that a test can point at
// a character by its line and column.
class ShownArea : public ::testing::Test {
protected:
    void SetUp() override
    {
        area = &window.Add<TextArea>(QStringLiteral("T"));
        area->SetBounds(0, 0, 300, 200);
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPixelSize(14);
        area->Widget()->setFont(fixed);
        window.SetVisible(true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.QtWindow()));
        area->Widget()->setFocus();
    }

    int LineHeight() const { return qCeil(QFontMetricsF(area->Widget()->font()).lineSpacing()); }
    // The middle of the left edge of a character cell, counted from the top line shown.
    QPoint At(int line, int column) const
    {
        const QFontMetricsF fm(area->Widget()->font());
        const int m = area->TextMargin();
        return QPoint(qRound(m + column * fm.horizontalAdvance(QLatin1Char('0'))), m + line * LineHeight() + LineHeight() / 2);
    }
    void Click(int line, int column) { QTest::mouseClick(Viewport(*area), Qt::LeftButton, {}, At(line, column)); }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(Viewport(*area), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, Viewport(*area)->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(Viewport(*area), &move);
        QTest::mouseRelease(Viewport(*area), Qt::LeftButton, {}, to);
    }
    QScrollBar* Bar() const { return qobject_cast<QAbstractScrollArea*>(area->Widget())->verticalScrollBar(); }

    Window window;
    TextArea* area = nullptr;
};

const QString kRows = QStringLiteral("90 3C 55\r83 18 90\r3C 00 48");

QString Lines(int n)
{
    QString text;
    for (int i = 0; i < n; ++i)
        text += QStringLiteral("%1 0A\r").arg(i, 4, 10, QLatin1Char('0'));
    return text;
}

} // namespace

TEST_F(ShownArea, AClickPutsTheCaretOnTheCharacterUnderTheMouse)
{
    area->SetText(kRows);
    Click(1, 3);
    EXPECT_EQ(area->SelStart(), 9 + 3);
    EXPECT_EQ(area->SelLength(), 0);
    Click(2, 8);
    EXPECT_EQ(area->SelStart(), kRows.size());
    Click(0, 30);  // past the end of a line: its end, before the CR
    EXPECT_EQ(area->SelStart(), 8);
    QTest::mouseClick(Viewport(*area), Qt::LeftButton, {}, QPoint(5, Viewport(*area)->height() - 2));
    EXPECT_EQ(area->SelStart(), 18) << "below the last line: on the last line";
}

TEST_F(ShownArea, MouseDownTrueKeepsThePressAndItsDragAndFalsePassesItOn)
{
    area->SetText(kRows);
    area->SetSelStart(10);
    bool take = true;
    QPoint at;
    area->MouseDown = [&](TextArea&, qint64 x, qint64 y) {
        at = QPoint(int(x), int(y));
        return take;
    };
    QTest::mouseClick(Viewport(*area), Qt::LeftButton, {}, QPoint(2, 4));
    EXPECT_EQ(at, QPoint(2, 4));
    EXPECT_EQ(area->SelStart(), 10);
    Drag(At(0, 0), At(2, 5));
    EXPECT_EQ(area->SelStart(), 10);
    EXPECT_EQ(area->SelLength(), 0);
    take = false;
    QTest::mouseClick(Viewport(*area), Qt::LeftButton, {}, QPoint(2, 4));
    EXPECT_EQ(area->SelStart(), 0);
}

TEST_F(ShownArea, DraggingSelectsAcrossLinesAndSelTextReadsItWithCr)
{
    area->SetText(kRows);
    Drag(At(0, 6), At(2, 2));
    EXPECT_EQ(area->SelStart(), 6);
    EXPECT_EQ(area->SelLength(), 18 + 2 - 6);
    EXPECT_EQ(area->SelText(), QStringLiteral("55\r83 18 90\r3C"));
    // Backwards from the anchor selects the same way.
    Drag(At(1, 5), At(0, 3));
    EXPECT_EQ(area->SelStart(), 3);
    EXPECT_EQ(area->SelText(), QStringLiteral("3C 55\r83 18"));
}

TEST_F(ShownArea, TypingReturnAndBackspaceEditWhereTheMousePutTheCaret)
{
    area->SetText(kRows);
    Click(1, 5);
    QTest::keyClicks(area->Widget(), QStringLiteral(" 7f"));
    QTest::keyClick(area->Widget(), Qt::Key_Return);
    EXPECT_EQ(area->Text(), QStringLiteral("90 3C 55\r83 18 7f\r 90\r3C 00 48"));
    EXPECT_EQ(area->SelStart(), 18);
    // Backspace at the start of a line joins it to the one before.
    QTest::keyClick(area->Widget(), Qt::Key_Backspace);
    QTest::keyClick(area->Widget(), Qt::Key_Backspace);
    EXPECT_EQ(area->Text(), QStringLiteral("90 3C 55\r83 18 7 90\r3C 00 48"));
    // A typed key or Backspace replaces or removes a dragged selection.
    Drag(At(0, 0), At(0, 6));
    QTest::keyClicks(area->Widget(), QStringLiteral("A"));
    EXPECT_EQ(area->Text(), QStringLiteral("A55\r83 18 7 90\r3C 00 48"));
    Drag(At(1, 0), At(2, 0));
    QTest::keyClick(area->Widget(), Qt::Key_Backspace);
    EXPECT_EQ(area->Text(), QStringLiteral("A55\r3C 00 48"));
}

TEST_F(ShownArea, UndoTakesBackTypingAndInsertedLinesStepByStep)
{
    area->SetText(kRows);
    Click(0, 8);
    QTest::keyClicks(area->Widget(), QStringLiteral(" 01 02"));
    area->SetSelText(QStringLiteral("90 3C 55 83 18 90 3C 00 48 \r"));
    area->Undo();
    EXPECT_EQ(area->Text(), QStringLiteral("90 3C 55 01 02\r83 18 90\r3C 00 48"));
    area->Undo();
    EXPECT_EQ(area->Text(), kRows);
    area->Undo();
    EXPECT_EQ(area->Text(), kRows) << "nothing before the text was set";
}

TEST_F(ShownArea, SelectAllSelectsEveryCharacterAndLeavesTheViewInPlace)
{
    area->SetText(Lines(300));
    Bar()->setValue(100);
    area->SelectAll();
    EXPECT_EQ(area->SelStart(), 0);
    EXPECT_EQ(area->SelLength(), area->Length());
    EXPECT_EQ(area->SelText(), Lines(300));
    EXPECT_EQ(Bar()->value(), 100);
    QTest::keyClick(area->Widget(), Qt::Key_B);
    EXPECT_EQ(area->Text(), QStringLiteral("b"));
}

TEST_F(ShownArea, TheScrollBarMovesTheViewAndAClickLandsOnTheLineShown)
{
    area->SetText(Lines(300));
    EXPECT_EQ(Bar()->value(), 0);
    EXPECT_GT(Bar()->maximum(), 250) << "the range covers every line";
    // A click on the bar below its handle pages down.
    QTest::mouseClick(Bar(), Qt::LeftButton, {}, QPoint(Bar()->width() / 2, Bar()->height() - 20));
    const int top = Bar()->value();
    EXPECT_GT(top, 5);
    Click(0, 2);
    EXPECT_EQ(area->SelStart(), top * 8 + 2);
    Bar()->setValue(Bar()->maximum());
    Click(0, 0);
    EXPECT_EQ(area->SelStart(), Bar()->maximum() * 8);
}

TEST_F(ShownArea, TypingAtTheBottomScrollsTheCaretIntoView)
{
    area->SetText(Lines(300));
    area->SetSelStart(area->Length());
    const int atEnd = Bar()->value();
    EXPECT_EQ(atEnd, Bar()->maximum());
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(area->Widget(), Qt::Key_Return);
    EXPECT_EQ(Bar()->value(), atEnd + 5);
    EXPECT_EQ(Bar()->value(), Bar()->maximum());
}

TEST_F(ShownArea, TheTextMarginMovesTheTextAndWhereAClickLands)
{
    area->SetText(kRows);
    EXPECT_EQ(area->TextMargin(), 4);
    area->SetTextMargin(30);
    EXPECT_EQ(area->TextMargin(), 30);
    Click(1, 2);
    EXPECT_EQ(area->SelStart(), 9 + 2);
    QTest::mouseClick(Viewport(*area), Qt::LeftButton, {}, QPoint(10, At(1, 0).y()));
    EXPECT_EQ(area->SelStart(), 9) << "left of the text: the line's start";
}

TEST(TextAreaEdit, CutCopyAndPasteGoThroughTheClipboardWithLfBreaks)
{
    TextArea t;
    t.SetText(QStringLiteral("ab\rcd"));
    t.SetSelStart(1);
    t.SetSelLength(3);
    t.Copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("b\nc"));
    t.Cut();
    EXPECT_EQ(t.Text(), QStringLiteral("ad"));
    t.Paste();
    EXPECT_EQ(t.Text(), QStringLiteral("ab\rcd"));
    t.SelectAll();
    t.DeleteSelection();
    EXPECT_EQ(t.Text(), QString());
}

TEST(TextAreaEdit, AReadOnlyAreaCopiesButRefusesEditsAndStillTakesTheProgramsText)
{
    TextArea t;
    t.SetReadOnly(true);
    t.SetText(QStringLiteral("00 11"));
    t.SelectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    t.Copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("00 11"));
    t.Cut();
    t.DeleteSelection();
    t.Paste();
    QTest::keyClick(t.Widget(), Qt::Key_Backspace);
    QTest::keyClicks(t.Widget(), QStringLiteral("d"));
    QTest::keyClick(t.Widget(), Qt::Key_Return);
    EXPECT_EQ(t.Text(), QStringLiteral("00 11"));
    t.SetSelStart(5);
    t.SetSelText(QStringLiteral("c"));
    EXPECT_EQ(t.Text(), QStringLiteral("00 11c"));
}

TEST(TextAreaDrops, DroppedTextGoesInWhereItFallsAndNotIntoAReadOnlyArea)
{
    TextArea t;
    t.Widget()->resize(200, 100);
    t.SetText(QStringLiteral("11"));
    EXPECT_TRUE(DropOn(Viewport(t), TextMime(QStringLiteral("22\n"))));
    EXPECT_EQ(t.Text(), QStringLiteral("22\r11"));
    t.SetReadOnly(true);
    EXPECT_FALSE(DropOn(Viewport(t), TextMime(QStringLiteral("33"))));
    EXPECT_EQ(t.Text(), QStringLiteral("22\r11"));
}

TEST(TextAreaText, Latin1BytesAreKeptWithoutACopyAndLetGoWhenReplaced)
{
    TextArea t;
    QByteArray dump = QByteArray("00 01 02 ").repeated(50000);
    for (int b = 128; b < 256; ++b)
        dump.append(char(b));
    dump.detach();
    t.SetTextLatin1(dump);
    EXPECT_FALSE(dump.isDetached()) << "the area shares the caller's bytes";
    EXPECT_EQ(t.Text(), QString::fromLatin1(dump));
    t.SetText(QString());
    EXPECT_TRUE(dump.isDetached()) << "a new text lets the old bytes go";
}

// Random selections, edits and keys through the area's own operations, checked
// after each step against a plain QString with a selection of its own.
TEST(TextAreaRandom, MatchesAPlainStringUnderRandomSelectionsEditsAndKeys)
{
    const QString pieces[] = {QStringLiteral("0"), QStringLiteral("A "), QStringLiteral("\r"),
                              QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("90 3C 55 \r"),
                              QString()};
    const char typed[] = "0123456789abcdefABCDEF ";
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        TextArea t;
        QString model;
        qsizetype start = 0, length = 0;
        for (int step = 0; step < 400; ++step) {
            const qsizetype n = model.size();
            switch (pick(7)) {
            case 0: {
                const qsizetype asked = pick(int(n) + 7) - 3;
                start = qBound<qsizetype>(0, asked, n);
                length = 0;
                t.SetSelStart(asked);
                break;
            }
            case 1: {
                const qsizetype asked = pick(int(n) + 6) - 2;
                length = qBound<qsizetype>(0, asked, n - start);
                t.SetSelLength(asked);
                break;
            }
            case 2: {
                QString s;
                for (int k = pick(4); k > 0; --k)
                    s += pieces[pick(7)];
                t.SetSelText(s);
                s.replace(QStringLiteral("\r\n"), QStringLiteral("\r")).replace(QLatin1Char('\n'), QLatin1Char('\r'));
                model.replace(start, length, s);
                start += s.size();
                length = 0;
                break;
            }
            case 3: {
                const char c = typed[pick(int(sizeof typed) - 1)];
                QTest::keyClick(t.Widget(), c);
                model.replace(start, length, QString(QLatin1Char(c)));
                start += 1;
                length = 0;
                break;
            }
            case 4:
                QTest::keyClick(t.Widget(), Qt::Key_Backspace);
                if (length == 0 && start > 0) {
                    --start;
                    length = 1;
                }
                model.remove(start, length);
                length = 0;
                break;
            case 5:
                QTest::keyClick(t.Widget(), Qt::Key_Return);
                model.replace(start, length, QStringLiteral("\r"));
                start += 1;
                length = 0;
                break;
            default:
                t.DeleteSelection();
                model.remove(start, length);
                length = 0;
                break;
            }
            ASSERT_EQ(t.Text(), model) << "seed " << seed << " step " << step;
            ASSERT_EQ(t.SelStart(), start) << "seed " << seed << " step " << step;
            ASSERT_EQ(t.SelLength(), length) << "seed " << seed << " step " << step;
        }
    }
}

// A desktop whose unfocused selections are grey: the area keeps its own in the
// focused colour, so that the line playback highlights stays plain to see.
TEST(TextAreaLook, ASelectionStaysHighlightedWhileAnotherControlHasTheFocus)
{
    const QPalette saved = QApplication::palette();
    QPalette grey = saved;
    grey.setColor(QPalette::Active, QPalette::Highlight, QColor(20, 60, 200));
    grey.setColor(QPalette::Inactive, QPalette::Highlight, QColor(128, 128, 128));
    QApplication::setPalette(grey);
    {
        Window w;
        auto& t = w.Add<TextArea>(QStringLiteral("T"));
        auto& other = w.Add<TextArea>(QStringLiteral("U"));
        t.SetBounds(0, 0, 200, 100);
        other.SetBounds(0, 110, 100, 50);
        w.SetVisible(true);
        QApplication::setActiveWindow(w.QtWindow());
        other.Widget()->setFocus();
        t.SetText(QStringLiteral("90 3C 55\r83 18 90\r"));
        t.SetSelStart(9);
        t.SetSelLength(9);
        ASSERT_FALSE(t.Widget()->hasFocus());
        const QImage shot = Viewport(t)->grab().toImage();
        const int lineHeight = qCeil(QFontMetricsF(t.Widget()->font()).lineSpacing());
        const int m = t.TextMargin();
        EXPECT_EQ(shot.pixelColor(m + 2, m + lineHeight + 1), QColor(20, 60, 200)) << "the selected second line";
        EXPECT_NE(shot.pixelColor(m + 2, m + 1), QColor(20, 60, 200)) << "the first line is not selected";
    }
    QApplication::setPalette(saved);
}
