// The hex view's look, judged on the rendered window: one fixed-pitch font in
// which full rows fit every column, the column captions over the pairs and the
// characters, no caption clipped.
#include "fixture.h"

#include <QAbstractScrollArea>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <vector>

namespace {

QImage Render(MW& w) { return w.ContentWidget()->grab().toImage(); }

bool Ink(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 110; }

// The x where each run of ink starts within r, runs being apart by 3 or more
// blank columns (a blank character; not the bearings inside a pair).
std::vector<int> InkRuns(const QImage& img, QRect r)
{
    std::vector<int> starts;
    int blank = 3;
    for (int x = r.left(); x <= r.right(); ++x) {
        bool ink = false;
        for (int y = r.top(); y <= r.bottom() && !ink; ++y)
            ink = Ink(img, x, y);
        if (ink && blank >= 3)
            starts.push_back(x);
        blank = ink ? 0 : blank + 1;
    }
    return starts;
}

int LastInk(const QImage& img, QRect r)
{
    for (int x = r.right(); x >= r.left(); --x)
        for (int y = r.top(); y <= r.bottom(); ++y)
            if (Ink(img, x, y))
                return x;
    return -1;
}

// The band of the area's first text line, inside its frame and scroll bar.
QRect FirstLine(TextArea& a)
{
    auto* view = qobject_cast<QAbstractScrollArea*>(a.Widget());
    const QPoint origin = view->viewport()->mapTo(view->window(), QPoint(0, 0));
    const int line = QFontMetrics(a.Widget()->font()).lineSpacing();
    const int top = int(a.Top()) + (origin.y() - view->mapTo(view->window(), QPoint(0, 0)).y());
    return QRect(int(a.Left()) + 1, top + 2, view->viewport()->width() - 1, line + 2);
}

// The area's text region: inside the frame, left of the scroll bar.
QRect Inside(TextArea& a)
{
    auto* view = qobject_cast<QAbstractScrollArea*>(a.Widget());
    return QRect(int(a.Left()) + 2, int(a.Top()) + 2, view->viewport()->width() - 2, int(a.Height()) - 4);
}

// How many bands of rows with ink lie in r, bands being apart by 2 blank rows.
int InkBands(const QImage& img, QRect r)
{
    int bands = 0, blank = 2;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        bool ink = false;
        for (int x = r.left(); x <= r.right() && !ink; ++x)
            ink = Ink(img, x, y);
        if (ink && blank >= 2)
            ++bands;
        blank = ink ? 0 : blank + 1;
    }
    return bands;
}

QRect Band(Control& c) { return QRect(int(c.Left()), int(c.Top()), int(c.Width()), int(c.Height())); }

void ExpectSameRuns(const std::vector<int>& caption, const std::vector<int>& text)
{
    ASSERT_EQ(caption.size(), text.size());
    for (size_t i = 0; i < caption.size(); ++i)
        EXPECT_NEAR(caption[i], text[i], 1) << "token " << i;
}

}  // namespace

TEST_F(WindowTest, HexViewUsesOneFixedPitchFont)
{
    const QFont font = w().BinaryTa().Widget()->font();
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
    EXPECT_GE(font.pixelSize(), 8);
    EXPECT_EQ(w().HedderTa().Widget()->font(), font);
    EXPECT_EQ(w().FutterTa().Widget()->font(), font);
    EXPECT_EQ(w().La(1).Widget()->font(), font);
    EXPECT_EQ(w().La(2).Widget()->font(), font);
}

TEST_F(WindowTest, FullRowsFitEveryColumnWithoutWrapping)
{
    w().HedderTa().SetText(QString("FFFFFFF0:") + QChar(13));
    w().BinaryTa().SetText(QString("FF ").repeated(15) + "FF" + QChar(13));
    w().FutterTa().SetText(QString("W ").repeated(15) + "W" + QChar(13));
    const QImage img = Render(w());
    for (TextArea* a : {&w().HedderTa(), &w().BinaryTa(), &w().FutterTa()}) {
        SCOPED_TRACE(a->Name().toStdString());
        const QRect line = FirstLine(*a);
        const std::vector<int> runs = InkRuns(img, line);
        EXPECT_EQ(runs.size(), a == &w().HedderTa() ? 1u : 16u) << "every entry of the row on its first line";
        EXPECT_LT(LastInk(img, line), line.right() - 1);
        EXPECT_EQ(InkBands(img, Inside(*a)), 1) << "nothing wrapped onto a second line";
    }
    // One size larger would not fit the narrowest column: the size is the largest.
    QFont larger = w().FutterTa().Widget()->font();
    larger.setPixelSize(larger.pixelSize() + 1);
    EXPECT_GT(QFontMetricsF(larger).horizontalAdvance(QString("W ").repeated(16)), FirstLine(w().FutterTa()).width() - 8);
}

TEST_F(WindowTest, ColumnCaptionsStandOverThePairsAndTheCharacters)
{
    // The same tokens set in the columns, "+1" one pair in and "0" at the start:
    // aligned captions put their ink exactly where the columns put theirs.
    w().BinaryTa().SetText("   " + w().La(1).Text());
    w().FutterTa().SetText(w().La(2).Text());
    const QImage img = Render(w());
    ExpectSameRuns(InkRuns(img, Band(w().La(1))), InkRuns(img, FirstLine(w().BinaryTa())));
    ExpectSameRuns(InkRuns(img, Band(w().La(2))), InkRuns(img, FirstLine(w().FutterTa())));
    EXPECT_EQ(InkRuns(img, Band(w().La(1))).size(), 15u);
    EXPECT_EQ(InkRuns(img, Band(w().La(2))).size(), 16u);
}

TEST_F(WindowTest, CaptionsAreNotClipped)
{
    const QImage img = Render(w());
    for (Label* l : {&w().La(0), &w().La(1), &w().La(2), &w().Label1()}) {
        SCOPED_TRACE(l->Text().toStdString());
        auto* label = qobject_cast<QLabel*>(l->Widget());
        const qreal used = label->indent() + QFontMetricsF(label->font()).horizontalAdvance(l->Text());
        EXPECT_LE(used, l->Width());
        EXPECT_LT(LastInk(img, Band(*l)), int(l->Left() + l->Width()) - 1) << "ink up to the label's edge";
    }
}

TEST_F(WindowTest, RowsStandLevelAcrossTheThreeColumns)
{
    // Tall characters in all three: the first and third rows start on the same y.
    w().HedderTa().SetText(QString("00000000:") + QChar(13) + QChar(13) + "00000020:");
    w().BinaryTa().SetText(QString("0F ") + QChar(13) + QChar(13) + "0F ");
    w().FutterTa().SetText(QString("H ") + QChar(13) + QChar(13) + "H ");
    const QImage img = Render(w());
    auto inkRows = [&](TextArea& a) {
        std::vector<int> tops;
        const QRect r = Inside(a);
        bool before = false;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            bool ink = false;
            for (int x = r.left(); x <= r.right() && !ink; ++x)
                ink = Ink(img, x, y);
            if (ink && !before)
                tops.push_back(y);
            before = ink;
        }
        return tops;
    };
    const std::vector<int> address = inkRows(w().HedderTa());
    ASSERT_EQ(address.size(), 2u);
    EXPECT_EQ(inkRows(w().BinaryTa()), address);
    EXPECT_EQ(inkRows(w().FutterTa()), address);
}
