// The hex view's key filters with real key events, the input source at a click,
// and the binary-to-hex converter.
#include "fixture.h"

#include <QAbstractScrollArea>

TEST_F(WindowTest, HexColumnTakesHexDigitsBlankReturnAndBackspaceOnlyAndAClickSwitchesCompositionOff)
{
    TextArea& ta = w().BinaryTa();
    ta.Widget()->setFocus();
    QTest::keyClicks(ta.Widget(), "9a F0 gxz!.,G");
    EXPECT_EQ(ta.Text(), "9a F0 ");
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape})
        QTest::keyClick(ta.Widget(), k);
    QTest::keyClicks(ta.Widget(), "1");
    EXPECT_EQ(ta.Text(), "9a F0 " + CR + "1");
    QTest::keyClick(ta.Widget(), Qt::Key_Backspace);
    QTest::keyClick(ta.Widget(), Qt::Key_Backspace);
    EXPECT_EQ(ta.Text(), "9a F0 ");
    for (TextArea* a : {&w().HedderTa(), &w().BinaryTa(), &w().FutterTa()}) {
        SCOPED_TRACE(a->Name().toStdString());
        a->SetText("AB CD");
        a->SetSelStart(2);
        for (Qt::Key k : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Delete, Qt::Key_Home})
            QTest::keyClick(a->Widget(), k);
        if (a != &w().BinaryTa()) {
            QTest::keyClick(a->Widget(), Qt::Key_Backspace);
            QTest::keyClicks(a->Widget(), "1f ");
        }
        EXPECT_EQ(a->SelStart(), 2);
        EXPECT_EQ(a->Text(), "AB CD");
    }
    // A click switches composition off and still places the caret.
    ta.SetText("00 11 22");
    ta.SetInputMethodEnabled(true);
    QTest::mouseClick(qobject_cast<QAbstractScrollArea*>(ta.Widget())->viewport(), Qt::LeftButton, {}, QPoint(200, 8));
    EXPECT_FALSE(ta.InputMethodEnabled());
    EXPECT_EQ(ta.SelStart(), 8);
}

TEST_F(WindowTest, ConverterShowsFourHexDigitsOrKeepsItsText)
{
    // Typed digits and a refused text; every input is the converter's own table.
    for (auto [typed, shown] : {std::pair{"0000 0011 0001 1000", "0318"}, {"10a", "KEEP"}}) {
        SCOPED_TRACE(typed);
        w().TField2().SetText("KEEP");
        w().TField1().SetText(QString());
        QTest::keyClicks(w().TField1().Widget(), typed);
        EXPECT_EQ(w().TField1().Text(), typed);
        Click(w().PushButton1());
        EXPECT_EQ(w().TField2().Text(), shown);
    }
}
