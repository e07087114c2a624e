// Each hex-view column's key filter, through its own column with real key events.
// A key the filter lets through does something there: the hex column types it,
// deletes or moves its caret; a read-only column scrolls, moves the focus on or,
// having no use for the key, passes it on to the window. A swallowed key does none
// of these, so a column wired to another column's filter shows.
#include "fixture.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace {

// Counts the key presses that reach a widget.
struct KeySpy : QObject {
    int presses = 0;
    bool eventFilter(QObject*, QEvent* e) override { return presses += e->type() == QEvent::KeyPress, false; }
};

// Everything a key can change in or around a column: the text, the selection's
// start and length, the scroll bars across and down, the focus, and the presses
// that reached the window.
using Seen = std::tuple<QString, qint64, qint64, int, int, QWidget*, int>;

// The keys tried, as typed characters and as keys without one.
const QString kHexKeys = QStringLiteral("0123456789abcdefABCDEF ");
const QString kTyped = kHexKeys + QStringLiteral("gGzZ!,.é");
const Qt::Key kKeys[] = {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Tab,    Qt::Key_Escape, Qt::Key_Delete,
                         Qt::Key_Left,   Qt::Key_Right,     Qt::Key_Up,     Qt::Key_Down,   Qt::Key_Home,
                         Qt::Key_End,    Qt::Key_PageUp,    Qt::Key_PageDown};

// What each column lets through: the hex digits of either case, the blank and
// Return, and in the hex column Backspace too.
bool Passes(const QString& column, const QString& typed, Qt::Key key)
{
    return typed.isEmpty() ? key == Qt::Key_Return || (key == Qt::Key_Backspace && column == "BinaryTa")
                           : kHexKeys.contains(typed);
}

class KeyFilterTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        w().QtWindow()->installEventFilter(&spy_);
        Activate();
    }

    static QAbstractScrollArea* View(TextArea& a) { return qobject_cast<QAbstractScrollArea*>(a.Widget()); }
    Seen Look(TextArea& a)
    {
        return {a.Text(), a.SelStart(), a.SelLength(), View(a)->horizontalScrollBar()->value(),
                View(a)->verticalScrollBar()->value(), QApplication::focusWidget(), spy_.presses};
    }

    // The column focused, holding many long lines, its caret and its view both in
    // the middle, so that any key the column acts on changes something.
    void Prepare(TextArea& a)
    {
        QString text;
        for (int line = 0; line < 60; ++line)
            text += QString("%1 ").arg(line, 2, 16, QChar('0')).toUpper().repeated(50) + CR;
        a.SetText(text);
        a.SetSelStart(30 * 151 + 60);
        for (QScrollBar* bar : {View(a)->verticalScrollBar(), View(a)->horizontalScrollBar()})
            bar->setValue(bar->maximum() / 2);
        a.Widget()->setFocus();
    }

    KeySpy spy_;
};

}  // namespace

TEST_F(KeyFilterTest, EachColumnActsOnlyOnTheKeysItsFilterLetsThrough)
{
    for (TextArea* a : {&w().BinaryTa(), &w().HedderTa(), &w().FutterTa()}) {
        Prepare(*a);
        ASSERT_GT(std::min(View(*a)->verticalScrollBar()->value(), View(*a)->horizontalScrollBar()->value()), 0)
            << a->Name().toStdString() << " must scroll both ways";
        ASSERT_TRUE(a->Widget()->hasFocus()) << a->Name().toStdString();
        auto tryKey = [&](const QString& typed, Qt::Key key) {
            const QString name = typed.isEmpty() ? QKeySequence(key).toString() : typed;
            SCOPED_TRACE((a->Name() + " " + name).toStdString());
            Prepare(*a);
            const Seen before = Look(*a);
            QTest::sendKeyEvent(QTest::Click, a->Widget(), key, typed, Qt::NoModifier);
            const bool acted = Look(*a) != before;
            EXPECT_EQ(acted, Passes(a->Name(), typed, key)) << (acted ? "acted on it" : "swallowed it");
        };
        for (QChar c : kTyped)
            tryKey(c, Qt::Key(c.toUpper().unicode()));
        for (Qt::Key k : kKeys)
            tryKey(QString(), k);
    }
}

TEST_F(KeyFilterTest, TheHexColumnTypesWhatPassesAsTypedAndOnlyItsOwnTextChanges)
{
    TextArea& ta = w().BinaryTa();
    w().HedderTa().SetText("00000000:" + CR);
    w().FutterTa().SetText("A ");
    ta.Widget()->setFocus();
    QTest::keyClicks(ta.Widget(), "9a F0 gxz!.,G");
    QTest::keyClick(ta.Widget(), Qt::Key_Return);
    QTest::keyClicks(ta.Widget(), "e1");
    QTest::keyClick(ta.Widget(), Qt::Key_Backspace);
    EXPECT_EQ(Columns(), QStringList({"00000000:|", "9a F0 |e", "A "}));
}
