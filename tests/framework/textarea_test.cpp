// TextArea: selections by mouse through real events, read-only, random edits
// against a plain string, and the selection's colour while unfocused.
#include "framework/controls/textarea.h"
#include "framework/controls/window.h"
#include "framework/text/rowtext.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMainWindow>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QtMath>
#include <gtest/gtest.h>
#include <random>
#include <tuple>

namespace {

QWidget* Viewport(TextArea& t)
{
    auto* area = qobject_cast<QAbstractScrollArea*>(t.Widget());
    return area ? area->viewport() : t.Widget();
}

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

    Window window;
    TextArea* area = nullptr;
};

const QString kRows = QStringLiteral("90 3C 55\r83 18 90\r3C 00 48");

// Rows of hex digits made on demand, each ended by a CR (rows of length 1 are
// nothing but CRs); counts the characters made.
class CountedRows final : public textfn::RowText {
public:
    CountedRows(qsizetype lineLength, qsizetype rows) : RowText(lineLength, rows, 0) {}
    void render(qsizetype pos, qsizetype n, char* out) const override
    {
        made += n;
        for (qsizetype p = pos; p < pos + n; ++p)
            *out++ = p % lineLength() == lineLength() - 1 ? '\r' : "0123456789ABCDEF"[(p * 7 / 3) % 16];
    }
    mutable qsizetype made = 0;
};

} // namespace

TEST_F(ShownArea, DraggingSelectsAcrossLinesAndSelTextReadsItWithCr)
{
    area->SetText(kRows);
    Drag(At(0, 6), At(2, 2));
    EXPECT_EQ(std::tuple(area->SelStart(), area->SelLength(), area->SelText()),
              std::tuple(qint64(6), qint64(18 + 2 - 6), QStringLiteral("55\r83 18 90\r3C")));
    // Backwards from the anchor selects the same way.
    Drag(At(1, 5), At(0, 3));
    EXPECT_EQ(std::pair(area->SelStart(), area->SelText()), std::pair(qint64(3), QStringLiteral("3C 55\r83 18")));
    // A shift-click extends from the caret; a double click selects a word.
    Click(0, 3);
    QTest::mouseClick(Viewport(*area), Qt::LeftButton, Qt::ShiftModifier, At(1, 8));
    EXPECT_EQ(std::pair(area->SelStart(), area->SelLength()), std::pair(qint64(3), qint64(14)));
    QTest::mouseDClick(Viewport(*area), Qt::LeftButton, {}, At(0, 4));
    EXPECT_EQ(area->SelText(), QStringLiteral("3C"));
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
    // Other text on the clipboard, so that a paste that went through would show.
    QGuiApplication::clipboard()->setText(QStringLiteral("7F"));
    t.Paste();  // cutting and deleting are the window's read-only columns' tests
    QTest::keyClick(t.Widget(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(t.Widget(), Qt::Key_Backspace);
    QTest::keyClicks(t.Widget(), QStringLiteral("d"));
    QTest::keyClick(t.Widget(), Qt::Key_Return);
    EXPECT_EQ(t.Text(), QStringLiteral("00 11"));
    t.SetSelStart(5);
    t.SetSelText(QStringLiteral("c"));
    EXPECT_EQ(t.Text(), QStringLiteral("00 11c"));
}

// Random selections, edits and keys through the area's own operations, checked
// after each step against a plain QString with a selection of its own.
TEST(TextAreaRandom, MatchesAPlainStringUnderRandomSelectionsEditsAndKeys)
{
    const QString pieces[] = {QStringLiteral("0"), QStringLiteral("A "), QStringLiteral("\r"),
                              QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("90 3C 55 \r"),
                              QString()};
    const char keys[] = "0123456789abcdefABCDEF ";
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        TextArea t;
        QString model;
        qsizetype start = 0, length = 0;
        // What typing s over the selection does to the model.
        auto type = [&](const QString& s) {
            model.replace(start, length, s);
            start += s.size();
            length = 0;
        };
        for (int step = 0; step < 400; ++step) {
            const qsizetype n = model.size();
            switch (pick(7)) {
            case 0: {
                const qsizetype asked = pick(int(n) + 7) - 3;
                std::tie(start, length) = std::pair(qBound<qsizetype>(0, asked, n), 0);
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
                type(s.replace(QStringLiteral("\r\n"), QStringLiteral("\r")).replace(QLatin1Char('\n'), QLatin1Char('\r')));
                break;
            }
            case 3: {
                const char c = keys[pick(int(sizeof keys) - 1)];
                QTest::keyClick(t.Widget(), c);
                type(QString(QLatin1Char(c)));
                break;
            }
            case 4:
                QTest::keyClick(t.Widget(), Qt::Key_Backspace);
                if (length == 0 && start > 0)
                    std::tie(start, length) = std::pair(start - 1, 1);
                model.remove(start, std::exchange(length, 0));
                break;
            case 5:
                QTest::keyClick(t.Widget(), Qt::Key_Return);
                type(QStringLiteral("\r"));
                break;
            default:
                t.DeleteSelection();
                model.remove(start, std::exchange(length, 0));
                break;
            }
            ASSERT_EQ(t.Text(), model) << "seed " << seed << " step " << step;
            ASSERT_EQ(t.SelStart(), start) << "seed " << seed << " step " << step;
            ASSERT_EQ(t.SelLength(), length) << "seed " << seed << " step " << step;
        }
    }
}

// A desktop whose unfocused selections are grey: an area that keeps its selection
// shows it in the focused colour, so that a highlighted line stays plain to see;
// one that hides it shows none while another control has the focus.
TEST(TextAreaLook, AnUnfocusedAreaShowsItsSelectionInTheFocusedColourOrHidesIt)
{
    const QPalette saved = QApplication::palette();
    QPalette grey = saved;
    grey.setColor(QPalette::Active, QPalette::Highlight, QColor(20, 60, 200));
    grey.setColor(QPalette::Inactive, QPalette::Highlight, QColor(128, 128, 128));
    QApplication::setPalette(grey);
    for (bool hide : {false, true}) {
        SCOPED_TRACE(hide ? "hiding" : "keeping");
        Window w;
        auto& t = w.Add<TextArea>(QStringLiteral("T"));
        auto& other = w.Add<TextArea>(QStringLiteral("U"));
        t.SetBounds(0, 0, 200, 100);
        other.SetBounds(0, 110, 100, 50);
        t.SetHideSelection(hide);
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
        const QColor selected = shot.pixelColor(m + 2, m + lineHeight + 1);
        EXPECT_EQ(selected == QColor(20, 60, 200), !hide) << "the selected second line";
        EXPECT_NE(selected, QColor(128, 128, 128));
        EXPECT_EQ(shot.pixelColor(m + 2, m + 1) == selected, hide) << "the first line is not selected";
    }
    QApplication::setPalette(saved);
}

// A caret beyond 2^32 pixels below the top of the view, where its place no
// longer fits an int: nothing of it is painted, and the input method is not
// pointed into the view.
TEST_F(ShownArea, ACaretFarBelowTheViewIsNeitherPaintedNorPointedAt)
{
    const qsizetype lines = (qsizetype(1) << 32) / LineHeight() + 2;
    area->SetTextRows(std::make_shared<const CountedRows>(1, lines));  // breaks only: the caret alone is drawn
    QApplication::setActiveWindow(window.QtWindow());
    area->Widget()->setFocus();
    ASSERT_TRUE(area->Widget()->hasFocus());
    auto* view = qobject_cast<QAbstractScrollArea*>(area->Widget());
    auto marks = [&] {
        const QImage shot = Viewport(*area)->grab().toImage();
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                n += shot.pixel(x, y) != shot.pixel(shot.width() - 1, shot.height() - 1);
        return n;
    };
    area->SetSelStart(0);
    ASSERT_GT(marks(), 0) << "the caret at the top shows";
    area->SetSelStart(lines);
    view->verticalScrollBar()->setValue(0);
    EXPECT_EQ(marks(), 0);
    EXPECT_TRUE(area->Widget()->inputMethodQuery(Qt::ImCursorRectangle).toRect().isNull()) << "no rectangle at all";
    area->SetSelStart(0);
    EXPECT_TRUE(view->viewport()->geometry().contains(area->Widget()->inputMethodQuery(Qt::ImCursorRectangle).toRect()));
}

// Copy hands the clipboard the selection as it is stored: nothing is made until
// another program asks for the text, which is then the text with LF breaks, as
// copied whatever happens to the area after; a paste back takes the copied
// slices as they are, into the same area or another.
TEST(TextAreaClipboard, ACopyIsMadeOnlyWhenAskedForAndPastesBackAsItIs)
{
    const auto rows = std::make_shared<const CountedRows>(49, 20000);
    const QString built = QString::fromLatin1(rows->toLatin1());
    rows->made = 0;
    TextArea source, target;
    source.SetTextRows(rows);
    target.SetText(QStringLiteral("90 3C"));
    source.SelectAll();
    source.Copy();
    source.SetSelText(QString());
    target.SelectAll();
    target.Paste();
    source.Paste();
    EXPECT_EQ(rows->made, 0) << "neither the copy nor the pastes make a character";
    EXPECT_TRUE(target.Text() == built);
    EXPECT_TRUE(source.Text() == built);
    EXPECT_TRUE(QGuiApplication::clipboard()->text() == QString(built).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    QMimeData plain;
    plain.setText(QStringLiteral("x"));
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(std::pair(copied->formats(), copied->hasText()), std::pair(plain.formats(), true)) << "offered as any copied text is";
    // Another program's text comes in as text, its LF made CR.
    QGuiApplication::clipboard()->setText(QStringLiteral("00\n11"));
    target.SelectAll();
    target.Paste();
    EXPECT_EQ(target.Text(), QStringLiteral("00\r11"));
}
