// The text engine view's own key bindings, word and shift-click selection, focus,
// signals, scroll ranges and painting, driven through real events. What the
// program relies on through TextArea (clicks, drags, typing, hooks, drops,
// read-only) is tested once, on TextArea.
#include "framework/engine/textengineview.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

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
    void key(int k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(view.get(), Qt::Key(k), mods); }

    std::unique_ptr<TextEngineView> view;
};

const QString kTrack = QStringLiteral("90 3C 55 83 18 \r90 3C 00 48 \r90 01 00 83 18 90 01 00 48\r");

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
}

}  // namespace
