// The text engine view driven through real mouse, key, input-method and drop
// events on small texts, its painting, scrolling and hooks, and a large dump.
#include "framework/engine/textengineview.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

class EngineView : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = std::make_unique<TextEngineView>(nullptr, 8);  // small chunks: edits cross them
        view->resize(360, 200);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        view->activateWindow();
        view->setFocus();
    }

    QPoint pointAt(qsizetype pos) const { return view->pointForPosition(pos) + QPoint(0, view->lineHeight() / 2); }
    void click(qsizetype pos, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, mods, pointAt(pos));
    }
    void moveWithButton(const QPoint& to)
    {
        QMouseEvent move(QEvent::MouseMove, to, view->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
    }
    void key(int k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(view.get(), Qt::Key(k), mods); }

    std::unique_ptr<TextEngineView> view;
};

const QString kTrack = QStringLiteral("90 3C 55 83 18 \r90 3C 00 48 \r90 01 00 83 18 90 01 00 48\r");

TEST_F(EngineView, AClickPlacesTheCaretUnderTheMouse)
{
    view->setText(kTrack);
    for (qsizetype pos : {qsizetype(0), qsizetype(3), qsizetype(16), qsizetype(20), kTrack.size()}) {
        click(pos);
        EXPECT_EQ(view->cursorPosition(), pos);
        EXPECT_EQ(view->selectionLength(), 0);
    }
    // Past the end of a line: its end; below the last line: the last line.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, pointAt(12) + QPoint(300, 0));
    EXPECT_EQ(view->cursorPosition(), 15);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, view->viewport()->height() - 2));
    EXPECT_EQ(view->cursorPosition(), kTrack.size());
}

TEST_F(EngineView, DraggingWithTheMouseSelectsAcrossLines)
{
    view->setText(kTrack);
    QSignalSpy selection(view.get(), &TextEngineView::selectionChanged);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, pointAt(3));
    moveWithButton(pointAt(10));
    moveWithButton(pointAt(19));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, pointAt(19));
    EXPECT_EQ(view->selectionStart(), 3);
    EXPECT_EQ(view->selectionLength(), 16);
    EXPECT_EQ(view->selectedText(), kTrack.mid(3, 16));
    EXPECT_GE(selection.count(), 1);

    // Dragging back above the anchor selects backwards from it.
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, pointAt(20));
    moveWithButton(pointAt(6));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, pointAt(6));
    EXPECT_EQ(view->selectionStart(), 6);
    EXPECT_EQ(view->selectionLength(), 14);
    EXPECT_EQ(view->cursorPosition(), 6);
}

TEST_F(EngineView, ShiftClickExtendsAndDoubleClickSelectsAWord)
{
    view->setText(kTrack);
    click(3);
    click(17, Qt::ShiftModifier);
    EXPECT_EQ(view->selectionStart(), 3);
    EXPECT_EQ(view->selectionLength(), 14);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, pointAt(4));
    EXPECT_EQ(view->selectedText(), QStringLiteral("3C"));
}

TEST_F(EngineView, TypingReturnAndBackspaceEditAtTheCaret)
{
    view->setText(QStringLiteral("90 3C\r"));
    click(5);
    QTest::keyClicks(view.get(), QStringLiteral(" 7f"));
    EXPECT_EQ(view->text(), QStringLiteral("90 3C 7f\r"));
    key(Qt::Key_Return);
    QTest::keyClicks(view.get(), QStringLiteral("AB"));
    EXPECT_EQ(view->text(), QStringLiteral("90 3C 7f\rAB\r"));
    EXPECT_EQ(view->lineCount(), 3);
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace);
    EXPECT_EQ(view->text(), QStringLiteral("90 3C 7f\r"));
    EXPECT_EQ(view->cursorPosition(), 8);
    click(0);
    key(Qt::Key_Delete);
    EXPECT_EQ(view->text(), QStringLiteral("0 3C 7f\r"));
    // A typed key replaces the selection.
    view->setSelection(2, 2);
    QTest::keyClicks(view.get(), QStringLiteral("E"));
    EXPECT_EQ(view->text(), QStringLiteral("0 E 7f\r"));
}

TEST_F(EngineView, ArrowsHomeEndAndTheirShiftVariantsMoveAndSelect)
{
    view->setText(QStringLiteral("0123\r01\r012345"));
    click(3);
    key(Qt::Key_Down);
    EXPECT_EQ(view->cursorPosition(), 7);  // the short line's end
    key(Qt::Key_Down);
    EXPECT_EQ(view->cursorPosition(), 11);  // back in the column it came from
    key(Qt::Key_Up);
    key(Qt::Key_Home);
    EXPECT_EQ(view->cursorPosition(), 5);
    key(Qt::Key_End);
    EXPECT_EQ(view->cursorPosition(), 7);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view->cursorPosition(), 14);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view->cursorPosition(), 0);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(view->selectedText(), QStringLiteral("01"));
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(view->selectedText(), QStringLiteral("0123\r01"));
    key(Qt::Key_Left);
    EXPECT_EQ(view->cursorPosition(), 0);
    EXPECT_EQ(view->selectionLength(), 0);
    key(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(view->selectedText(), QStringLiteral("0123"));
}

TEST_F(EngineView, PageDownAndPageUpMoveTheCaretAndTheViewByAScreen)
{
    QString text;
    for (int i = 0; i < 100; ++i)
        text += QStringLiteral("0123\r");
    view->setText(text);
    click(2);
    const qsizetype page = view->visibleLineCount() - 1;
    key(Qt::Key_PageDown);
    EXPECT_EQ(view->cursorPosition(), page * 5 + 2);
    EXPECT_EQ(view->firstVisibleLine(), page);
    key(Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(view->selectionStart(), page * 5 + 2);
    EXPECT_EQ(view->selectionLength(), page * 5);
    key(Qt::Key_PageUp);
    key(Qt::Key_PageUp);
    EXPECT_EQ(view->cursorPosition(), 2);
    EXPECT_EQ(view->firstVisibleLine(), 0);
}

TEST_F(EngineView, CutCopyPasteUndoAndSelectAllThroughTheirKeys)
{
    view->setText(QStringLiteral("90 3C\r00 48\r"));
    view->setSelection(3, 2);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("3C"));
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(view->text(), QStringLiteral("90 \r00 48\r"));
    click(view->length());
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(view->text(), QStringLiteral("90 \r00 48\r3C"));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view->text(), QStringLiteral("90 \r00 48\r"));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view->text(), QStringLiteral("90 3C\r00 48\r"));
    EXPECT_EQ(view->selectedText(), QStringLiteral("3C"));
    key(Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(view->text(), QStringLiteral("90 \r00 48\r"));
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->selectionStart(), 0);
    EXPECT_EQ(view->selectionLength(), view->length());
    // Copied line breaks leave as LF.
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("90 \n00 48\n"));
}

TEST_F(EngineView, PastedLfAndCrlfBecomeOneCrEach)
{
    view->setText(QString());
    QApplication::clipboard()->setText(QStringLiteral("90 3C\r\n00 48\n90 01"));
    view->paste();
    EXPECT_EQ(view->text(), QStringLiteral("90 3C\r00 48\r90 01"));
    EXPECT_EQ(view->cursorPosition(), view->length());
    EXPECT_EQ(view->lineCount(), 3);
}

TEST_F(EngineView, AReadOnlyAreaRefusesEditsButCopiesAndSelects)
{
    view->setText(QStringLiteral("00000000:\r00000010:\r"));
    view->setReadOnly(true);
    click(3);
    QTest::keyClicks(view.get(), QStringLiteral("12"));
    key(Qt::Key_Return);
    key(Qt::Key_Backspace);
    QApplication::clipboard()->setText(QStringLiteral("zz"));
    view->paste();
    view->setSelection(0, 9);
    view->cut();
    view->deleteSelection();
    EXPECT_EQ(view->text(), QStringLiteral("00000000:\r00000010:\r"));
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("00000000:"));
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->selectionLength(), view->length());
    // The owner may still set the text and replace the selection.
    view->replaceSelection(QStringLiteral("x"));
    EXPECT_EQ(view->text(), QStringLiteral("x"));
}

TEST_F(EngineView, TheKeyHookSeesEveryKeyFirstAndCanSwallowIt)
{
    view->setText(QString());
    QStringList seen;
    view->setKeyHook([&](QKeyEvent* e) {
        seen << e->text();
        return e->key() == Qt::Key_G || e->key() == Qt::Key_Left;
    });
    QTest::keyClicks(view.get(), QStringLiteral("afg"));
    key(Qt::Key_Left);
    key(Qt::Key_Return);
    key(Qt::Key_Backspace);
    EXPECT_EQ(view->text(), QStringLiteral("af"));
    EXPECT_EQ(view->cursorPosition(), 2);
    EXPECT_EQ(seen, (QStringList{"a", "f", "g", "", "\r", "\b"}));
}

TEST_F(EngineView, TheMouseHookSeesPressesFirstAndCanSwallowThem)
{
    view->setText(kTrack);
    click(2);
    int presses = 0;
    bool swallow = true;
    view->setMousePressHook([&](QMouseEvent*) {
        ++presses;
        return swallow;
    });
    click(10);
    EXPECT_EQ(view->cursorPosition(), 2);
    swallow = false;
    click(10);
    EXPECT_EQ(view->cursorPosition(), 10);
    EXPECT_EQ(presses, 2);
}

TEST_F(EngineView, FileDropsGoToTheDropHookAndTextDropsInsertText)
{
    view->setText(QStringLiteral("90 3C\r"));
    QList<QUrl> dropped;
    view->setDropHook([&](const QMimeData* data, qsizetype) {
        if (!data->hasUrls())
            return false;
        dropped = data->urls();
        return true;
    });
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a.mid"), QUrl::fromLocalFile("/tmp/b.mid")});
    QDragEnterEvent enter(pointAt(0), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent fileDrop(QPointF(pointAt(0)), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &fileDrop);
    EXPECT_EQ(dropped.size(), 2);
    EXPECT_EQ(view->text(), QStringLiteral("90 3C\r"));

    QMimeData text;
    text.setText(QStringLiteral("7F "));
    QDragEnterEvent textEnter(pointAt(3), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &textEnter);
    EXPECT_TRUE(textEnter.isAccepted());
    QDropEvent textDrop(QPointF(pointAt(3)), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &textDrop);
    EXPECT_EQ(view->text(), QStringLiteral("90 7F 3C\r"));

    view->setReadOnly(true);
    QDragEnterEvent refused(pointAt(0), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(EngineView, InputMethodCommitsAreTypedAndCompositionCanBeSwitchedOff)
{
    view->setText(QString());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("\u3042"));
    QApplication::sendEvent(view.get(), &commit);
    EXPECT_EQ(view->text(), QStringLiteral("\u3042"));
    EXPECT_TRUE(view->inputMethodQuery(Qt::ImEnabled).toBool());
    view->setInputMethodEnabled(false);
    EXPECT_FALSE(view->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_FALSE(view->inputMethodQuery(Qt::ImEnabled).toBool());
}

TEST(EngineViewFocus, TabReachesTheTextWhileEditableAndMovesTheFocusWhenAsked)
{
    QWidget window;
    auto* view = new TextEngineView(&window);
    auto* next = new TextEngineView(&window);
    view->setGeometry(0, 0, 100, 100);
    next->setGeometry(100, 0, 100, 100);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    view->setFocus();
    int hooked = 0;
    view->setKeyHook([&](QKeyEvent* e) { return e->key() == Qt::Key_Tab && ++hooked > 1; });
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_EQ(view->text(), QStringLiteral("\t"));
    QTest::keyClick(view, Qt::Key_Tab);  // seen and swallowed by the hook
    EXPECT_EQ(view->text(), QStringLiteral("\t"));
    EXPECT_EQ(hooked, 2);
    EXPECT_TRUE(view->hasFocus());

    view->setTabChangesFocus(true);
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(view->text(), QStringLiteral("\t"));
}

TEST_F(EngineView, SelectAllKeepsTheViewWhereItIs)
{
    QString text;
    for (int i = 0; i < 500; ++i)
        text += QStringLiteral("00 11\r");
    view->setText(text);
    view->selectAll();
    EXPECT_EQ(view->firstVisibleLine(), 0);
    EXPECT_EQ(view->selectedText(), text);
}

TEST_F(EngineView, SignalsReportTextCaretAndSelectionChanges)
{
    view->setText(QStringLiteral("abc"));
    QSignalSpy text(view.get(), &TextEngineView::textChanged);
    QSignalSpy caret(view.get(), &TextEngineView::cursorPositionChanged);
    QSignalSpy selection(view.get(), &TextEngineView::selectionChanged);
    QSignalSpy undo(view.get(), &TextEngineView::undoAvailable);
    view->setSelection(1, 1);
    EXPECT_EQ(text.count(), 0);
    EXPECT_EQ(caret.count(), 1);
    EXPECT_EQ(selection.count(), 1);
    QTest::keyClicks(view.get(), QStringLiteral("x"));
    EXPECT_EQ(text.count(), 1);
    EXPECT_EQ(selection.count(), 2);  // the selection went with the typed key
    ASSERT_EQ(undo.count(), 1);
    EXPECT_TRUE(undo.at(0).at(0).toBool());
}

TEST_F(EngineView, ScrollBarsFollowTheLineCountAndTheWidestLine)
{
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("00 11 22 33\r");
    view->setText(text);
    QScrollBar* v = view->verticalScrollBar();
    QScrollBar* h = view->horizontalScrollBar();
    EXPECT_EQ(v->maximum(), 301 - view->visibleLineCount());
    EXPECT_EQ(h->maximum(), 0);

    view->setSelection(12 * 150, 0);
    QTest::keyClicks(view.get(), QString(200, QChar(u'A')));
    EXPECT_EQ(h->maximum(), 11 + 200 + 1 - view->visibleCellCount());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(h->maximum(), 0);
}

TEST_F(EngineView, ASelectionSetFromOutsideIsScrolledIntoView)
{
    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("90 3C 55 83 18 90 3C 00 48\r");
    view->setText(text);
    const qsizetype line = 700;
    view->setSelection(line * 27, 27);
    EXPECT_LE(view->firstVisibleLine(), line);
    EXPECT_GT(view->firstVisibleLine() + view->visibleLineCount(), line + 1);
    view->setSelection(0, 0);
    EXPECT_EQ(view->firstVisibleLine(), 0);
    view->ensureVisible(text.size());
    EXPECT_EQ(view->firstVisibleLine(), 1001 - view->visibleLineCount());
}

TEST(EngineViewHidden, ASelectionSetBeforeTheViewShowsIsRevealedWhenItDoes)
{
    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("90 3C 55\r");
    TextEngineView view;
    view.resize(300, 200);
    view.setText(text);
    view.setSelection(800 * 9, 9);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_LE(view.firstVisibleLine(), 800);
    EXPECT_GT(view.firstVisibleLine() + view.visibleLineCount(), 801);
}

TEST_F(EngineView, TextAndSelectionArePaintedOnTheGrid)
{
    view->setText(QStringLiteral("MMMM\r"));
    view->setSelection(0, 2);
    const QImage img = view->viewport()->grab().toImage();
    const QPalette::ColorGroup group = view->hasFocus() ? QPalette::Active : QPalette::Inactive;
    const QColor highlight = view->palette().color(group, QPalette::Highlight);
    const QColor base = view->palette().color(QPalette::Base);
    const int top = view->pointForPosition(0).y();
    const int mid = top + view->lineHeight() / 2;
    // The selection's top row, above the letters' ink, is highlight; beyond it, base.
    EXPECT_EQ(img.pixelColor(view->pointForPosition(1).x(), top + 1), highlight);
    EXPECT_EQ(img.pixelColor(view->pointForPosition(3).x() + 1, top + 1), base);
    // Ink in the unselected cells, none past the end of the line.
    auto inkIn = [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            for (int y = top; y < top + view->lineHeight(); ++y)
                if (img.pixelColor(x, y) != base)
                    return true;
        return false;
    };
    EXPECT_TRUE(inkIn(view->pointForPosition(2).x(), view->pointForPosition(4).x()));
    EXPECT_FALSE(inkIn(view->pointForPosition(4).x() + 2, view->pointForPosition(4).x() + 40));
    (void)mid;
}

TEST(EngineViewBackground, SwitchedOffItLetsWhatIsBehindShowThrough)
{
    QWidget parent;
    parent.resize(200, 100);
    QPalette red;
    red.setColor(QPalette::Window, Qt::red);
    parent.setPalette(red);
    parent.setAutoFillBackground(true);
    auto* view = new TextEngineView(&parent);
    view->setGeometry(0, 0, 200, 100);
    view->setFrameShape(QFrame::NoFrame);
    view->setText(QStringLiteral("00"));
    const QPoint empty(150, 60);

    view->setDrawsBackground(false);
    EXPECT_EQ(parent.grab().toImage().pixelColor(empty), QColor(Qt::red));
    view->setDrawsBackground(true);
    EXPECT_EQ(parent.grab().toImage().pixelColor(empty), view->palette().color(QPalette::Base));
}

// A dump-shaped text of a 1 MiB random file set as bytes: every line in place,
// and the view paints and places the caret at its far end.
TEST(EngineViewLarge, ADumpOfAMebibyteIsInPlaceLineByLine)
{
    std::mt19937 rng(5);
    constexpr int rows = 65536;
    QByteArray hex;
    hex.reserve(rows * 49);
    const char* digits = "0123456789ABCDEF";
    for (int r = 0; r < rows; ++r) {
        for (int i = 0; i < 16; ++i) {
            const quint8 byte = quint8(rng());
            hex.append(digits[byte >> 4]).append(digits[byte & 15]).append(' ');
        }
        hex.append('\r');
    }
    TextEngineView view;
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setTextLatin1(hex);
    const TextBuffer& b = view.document().buffer();
    ASSERT_EQ(view.length(), hex.size());
    ASSERT_EQ(view.lineCount(), rows + 1);
    for (qsizetype line = 0; line < rows; ++line) {
        ASSERT_EQ(b.lineStart(line), line * 49);
        ASSERT_EQ(b.lineEnd(line), line * 49 + 48);
    }
    for (qsizetype line = 0; line < rows; line += 4093)
        ASSERT_EQ(b.mid(line * 49, 49), QString::fromLatin1(hex.mid(line * 49, 49)));
    EXPECT_EQ(b.widestLineCells(), 48);

    view.setSelection(hex.size() - 49, 49);
    const QImage img = view.viewport()->grab().toImage();
    EXPECT_FALSE(img.isNull());
    const QPoint p = view.pointForPosition(hex.size() - 49);
    EXPECT_GE(p.y(), 0);
    EXPECT_LT(p.y(), view.viewport()->height());
    EXPECT_EQ(view.positionAt(p + QPoint(0, view.lineHeight() / 2)), hex.size() - 49);
}

}  // namespace
