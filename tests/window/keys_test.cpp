// The hex view's key filters with real key events, pasting through the Edit menu,
// the input source at a click, and the binary-to-hex converter.
#include "fixture.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMainWindow>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

namespace {

constexpr QChar CR(13);

QWidget* W(Control& c) { return c.Widget(); }

}  // namespace

TEST_F(WindowTest, HexColumnTakesHexDigitsBlankReturnAndBackspaceOnly)
{
    TextArea& ta = w().BinaryTa();
    ta.Widget()->setFocus();
    QTest::keyClicks(W(ta), "9a F0 gxz!.,G");
    EXPECT_EQ(ta.Text(), "9a F0 ");
    QTest::keyClick(W(ta), Qt::Key_Return);
    QTest::keyClick(W(ta), Qt::Key_Tab);
    QTest::keyClick(W(ta), Qt::Key_Escape);
    QTest::keyClicks(W(ta), "1");
    EXPECT_EQ(ta.Text(), QString("9a F0 ") + CR + "1");
    QTest::keyClick(W(ta), Qt::Key_Backspace);
    QTest::keyClick(W(ta), Qt::Key_Backspace);
    EXPECT_EQ(ta.Text(), "9a F0 ");
}

TEST_F(WindowTest, ArrowKeysAndForwardDeleteAreSwallowedEverywhere)
{
    for (TextArea* a : {&w().HedderTa(), &w().BinaryTa(), &w().FutterTa()}) {
        SCOPED_TRACE(a->Name().toStdString());
        a->SetText("AB CD");
        a->SetSelStart(2);
        for (Qt::Key k : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Delete, Qt::Key_Home})
            QTest::keyClick(W(*a), k);
        EXPECT_EQ(a->SelStart(), 2);
        EXPECT_EQ(a->Text(), "AB CD");
    }
}

TEST_F(WindowTest, AddressAndCharacterColumnsSwallowBackspace)
{
    for (TextArea* a : {&w().HedderTa(), &w().FutterTa()}) {
        a->SetText("AB");
        a->SetSelStart(2);
        QTest::keyClick(W(*a), Qt::Key_Backspace);
        QTest::keyClicks(W(*a), "1f ");
        EXPECT_EQ(a->Text(), "AB") << a->Name().toStdString() << ": read-only, keys of the set change nothing";
    }
    EXPECT_TRUE(w().HedderTa_KeyDown(w().HedderTa(), QString(QChar(8))));
    EXPECT_FALSE(w().BinaryTa_KeyDown(w().BinaryTa(), QString(QChar(8))));
    EXPECT_FALSE(w().FutterTa_KeyDown(w().FutterTa(), "e"));
}

TEST_F(WindowTest, EditPastePutsUnfilteredTextIn)
{
    TextArea& ta = w().BinaryTa();
    QApplication::setActiveWindow(w().QtWindow());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w().QtWindow()));
    ta.Widget()->setFocus();
    QGuiApplication::clipboard()->setText("zz\nqq");
    w().EditPaste().Choose();
    EXPECT_EQ(ta.Text(), QString("zz") + CR + "qq");
    w().EditSelectAll().Choose();
    EXPECT_EQ(ta.SelLength(), 5);
    w().EditClear().Choose();
    EXPECT_EQ(ta.Text(), "");
    w().EditUndo().Choose();
    EXPECT_EQ(ta.Text(), QString("zz") + CR + "qq");
}

TEST_F(WindowTest, ClickInTheHexColumnSwitchesCompositionOffAndPlacesTheCaret)
{
    TextArea& ta = w().BinaryTa();
    ta.SetText("00 11 22");
    ta.SetInputMethodEnabled(true);
    QTest::mouseClick(qobject_cast<QAbstractScrollArea*>(W(ta))->viewport(), Qt::LeftButton, {}, QPoint(200, 8));
    EXPECT_FALSE(ta.InputMethodEnabled());
    EXPECT_EQ(ta.SelStart(), 8) << "the click still reaches the area";
}

struct Conversion {
    const char* typed;
    const char* shown;  // TField2 afterwards; "kept" leaves "KEEP"
};

TEST_F(WindowTest, ConverterShowsFourHexDigitsOrKeepsItsText)
{
    // Typed digits, an empty field and a refused text; every input is the
    // converter's own table.
    const Conversion cases[] = {{"0000 0011 0001 1000", "0318"}, {"10000000000000000", "0000"}, {"", "0000"},
                                {"10a", "KEEP"}};
    for (const Conversion& c : cases) {
        SCOPED_TRACE(c.typed);
        w().TField2().SetText("KEEP");
        w().TField1().SetText(QString());
        QTest::keyClicks(W(w().TField1()), c.typed);
        EXPECT_EQ(w().TField1().Text(), c.typed);
        QTest::mouseClick(W(w().PushButton1()), Qt::LeftButton);
        EXPECT_EQ(w().TField2().Text(), c.shown);
    }
}
