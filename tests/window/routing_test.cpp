// Clicks and keys delivered to the window as the desktop delivers them, at places
// in the content and to the focused control, so that they find their control the
// way a person's do; where the keyboard focus goes, and how the text controls
// show it.
#include "fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QWindow>

namespace {

class RoutingTest : public WindowTest {
protected:
    void SetUp() override { WindowTest::SetUp(), Activate(); }
    QWindow* Desktop() { return w().QtWindow()->windowHandle(); }
    void ClickAt(QPoint content)
    {
        QTest::mouseClick(Desktop(), Qt::LeftButton, {}, w().ContentWidget()->mapTo(w().QtWindow(), content));
    }
    void Type(const char* keys) { for (; *keys; ++keys) QTest::keyClick(Desktop(), *keys); }
    QString Focused()
    {
        for (qint64 i = 0; i < w().ControlCount(); ++i)
            if (w().ControlAt(i)->Widget() && w().ControlAt(i)->Widget() == QApplication::focusWidget())
                return w().ControlAt(i)->Name();
        return "another widget";
    }
};

// Whether the grabbed control shows a colour anywhere, and its outermost pixels,
// where a focus ring is drawn.
std::pair<bool, QList<QRgb>> Look(Control& c, QColor colour)
{
    const QImage image = c.Widget()->grab().toImage();
    std::pair<bool, QList<QRgb>> seen{false, {}};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            seen.first |= image.pixelColor(x, y) == colour;
            if (x < 3 || y < 3 || x >= image.width() - 3 || y >= image.height() - 3)
                seen.second << image.pixel(x, y);
        }
    return seen;
}

}  // namespace

// Clicks find their control inside and outside the panel frame; typed digits keep
// reaching the hex column whatever button the mouse presses, and a blank typed
// while a melody plays does not stop it.
TEST_F(RoutingTest, ClicksReachTheirControlsAndLeaveTheFocusWhereTheUserTypes)
{
    Type("1");
    EXPECT_EQ(Track(), "1");
    w().BinaryTa().SetText(NoteLine("3C") + NoteLine("3E"));
    ClickAt(QPoint(282 + 55, 552 + 10));  // "NotesPlay"
    EXPECT_EQ(w().TM0().Mode(), Timer::ModeMultiple);
    EXPECT_EQ(Focused(), "BinaryTa");
    Type(" ");
    EXPECT_EQ(w().TM0().Mode(), Timer::ModeMultiple);
    ClickAt(QPoint(282 + 55, 552 + 10));
    EXPECT_EQ(w().TM0().Mode(), Timer::ModeOff);

    w().BinaryTa().SetText("");
    dialogs().Cancel();
    dialogs().Cancel();
    for (QPoint p : {QPoint(580 + 60, 447 + 10), QPoint(400 + 55, 552 + 10),  // "BinaryFile Open", "MidiSave"
                     QPoint(152 + 15 * 2 + 7, 527 + 8), QPoint(347 + 7, 509 + 8),  // BBD(2), BBV(13) in the frame
                     QPoint(142 + 160, 450 + 40), QPoint(615 + 27, 525 + 8)}) {  // the key C4, "↓"
        ClickAt(p);
        EXPECT_EQ(Focused(), "BinaryTa") << "after a click at " << p.x() << "," << p.y();
    }
    ASSERT_EQ(dialogs().Requests().size(), 2u);
    EXPECT_TRUE(w().BBD(2).Value() && w().BBV(13).Value());

    // The list opens over the window; a row chosen in it sets the instrument.
    ClickAt(QPoint(424 + 40, 425 + 10));
    auto* list = qobject_cast<QComboBox*>(w().PM1().Widget());
    ASSERT_TRUE(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    EXPECT_EQ(w().NPlayer().Instrument(), 2);
    EXPECT_EQ(Focused(), "BinaryTa");
    Type("ab");
    EXPECT_EQ(Track(), "90 3C 6E 86 30 90 3C 00 81 10 |ab");
    ClickAt(QPoint(481 + 15, 509 + 10));  // "AC"
    EXPECT_EQ(Track(), "");

    // A click in a text field does take the focus.
    ClickAt(QPoint(567 + 20, 499 + 12));
    EXPECT_EQ(Focused(), "TField1");
    Type("10");
    EXPECT_EQ(w().TField1().Text(), "10");
}

// The frame's own controls take the frame's place in the window's order. The hex
// view swallows Tab, so the order is walked from the other controls.
TEST_F(RoutingTest, TheHexColumnHasTheFocusAtStartAndTabAndShiftTabWalkTheStoredOrder)
{
    const QStringList order = {"BinaryTa", "FileOpenButton", "FutterTa", "HedderTa", "FilesaveButton", "PM1",
                               "NotePlayButton", "MidiSaveButton", "TField1", "TField2", "PushButton1"};
    const auto n = order.size();
    EXPECT_EQ(Focused(), "BinaryTa") << "at start";
    for (qsizetype i = 0; i < n; ++i) {
        if (order[i].endsWith("Ta"))
            continue;
        SCOPED_TRACE(order[i].toStdString());
        QWidget* from = w().ControlByName(order[i])->Widget();
        from->setFocus();
        QTest::keyClick(Desktop(), Qt::Key_Tab);
        EXPECT_EQ(Focused(), order[(i + 1) % n]);
        from->setFocus();
        QTest::keyClick(Desktop(), Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(Focused(), order[(i + n - 1) % n]);
    }
    w().BinaryTa().Widget()->setFocus();
    QTest::keyClick(Desktop(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), "BinaryTa");
}

// Of the hex view, only the hex column shows a focus ring and only the address
// column keeps its selection drawn while another control has the focus.
TEST_F(RoutingTest, FocusRingsAndSelectionsShowAsEachTextControlIsSetTo)
{
    const struct { Control& control; bool ring, keepsSelection; } rows[] = {{w().BinaryTa(), true, false},  {w().FutterTa(), false, false}, {w().HedderTa(), false, true},
                {w().TField1(), true, false},   {w().TField2(), true, false}};
    const QColor highlight = w().BinaryTa().Widget()->palette().color(QPalette::Active, QPalette::Highlight);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.control.Name().toStdString());
        auto* area = dynamic_cast<TextArea*>(&r.control);
        if (area) {
            area->SetText("00 11 22 33" + CR + "44 55" + CR);
            Select(*area, 3, 5);
        }
        r.control.Widget()->setFocus();
        ASSERT_EQ(Focused(), r.control.Name());
        const auto focused = Look(r.control, highlight);
        w().FileOpenButton().Widget()->setFocus();
        const auto unfocused = Look(r.control, highlight);
        EXPECT_EQ(unfocused.second != focused.second, r.ring);
        if (area) {
            EXPECT_TRUE(focused.first) << "the selection while focused";
            EXPECT_EQ(unfocused.first, r.keepsSelection) << "the selection without the focus";
        }
    }
}
