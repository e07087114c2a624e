// The input source at a click in the hex column, and the binary-to-hex converter.
#include "fixture.h"

#include <QAbstractScrollArea>
#include <QFontMetricsF>

TEST_F(WindowTest, AClickInTheHexColumnSwitchesCompositionOffAndStillPlacesTheCaret)
{
    TextArea& ta = w().BinaryTa();
    ta.SetText("00 11 22");
    ta.SetInputMethodEnabled(true);
    // Two cells right of the first row's end, in the font the column is set in.
    const QFontMetricsF fm(ta.Widget()->font());
    const QPoint pastTheEnd(qRound(ta.TextMargin() + 10 * fm.horizontalAdvance(QLatin1Char('0'))),
                            qRound(ta.TextMargin() + fm.lineSpacing() / 2));
    QTest::mouseClick(qobject_cast<QAbstractScrollArea*>(ta.Widget())->viewport(), Qt::LeftButton, {}, pastTheEnd);
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
