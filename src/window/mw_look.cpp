// The hex view's look: one fixed-pitch font for the three columns, as large as a
// full row allows in every column (so rows stay level across them), and the two
// column captions set in it over the pairs and the characters.
#include "window/mw.h"

#include "window/hexviewfont.h"

#include <QFrame>
#include <algorithm>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>

namespace {

constexpr int kDefaultMargin = 4;  // the text area's own
// "+1" stands over the second pair: one pair and its blank in.
constexpr int kPairWidth = 3;

struct Column {
    TextArea* area;
    QString row;
    int margin = kDefaultMargin;
};

int FrameWidth(TextArea& a)
{
    auto* frame = qobject_cast<QFrame*>(a.Widget());
    return frame ? frame->frameWidth() : 0;
}

// Where the column's text starts, in window coordinates.
int TextStart(const Column& c) { return int(c.area->Left()) + FrameWidth(*c.area) + c.margin; }

// What a row may take: the area less its frame, scroll bar, margins and caret.
qreal RowWidth(const Column& c)
{
    QWidget* w = c.area->Widget();
    const int bar = w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
    return qreal(c.area->Width()) - 2 * FrameWidth(*c.area) - bar - 2 * c.margin - 2;
}

// Sets a caption in the font, its first character `columns` characters into the
// column; a caption that starts right of that place moves the column's text along.
void AlignCaption(Label& caption, Column& column, int columns, const QFont& font)
{
    auto* label = qobject_cast<QLabel*>(caption.Widget());
    if (!label)
        return;
    label->setFont(font);
    int indent = hexview::CaptionIndent(TextStart(column), columns, font, int(caption.Left()));
    if (indent < 0) {
        column.margin -= indent;
        indent = 0;
    }
    label->setIndent(indent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

// A caption whose text is wider than its label gets the largest size that fits.
void FitLabel(Label& caption)
{
    QWidget* label = caption.Widget();
    QFont font = label->font();
    const int stored = font.pixelSize() > 0 ? font.pixelSize() : int(caption.FontSize());
    font.setPixelSize(hexview::LargestFittingPixelSize(font, caption.Text(), qreal(caption.Width()) - 1, 6, stored));
    label->setFont(font);
}

}  // namespace

void MW::FitHexViewFonts()
{
    Column address{&HedderTa(), hexview::AddressRow()};
    Column hex{&BinaryTa(), hexview::HexRow()};
    Column chars{&FutterTa(), hexview::CharacterRow()};

    // The captions may push a column's text right. The margin is the same on every
    // side and in every column, so that rows stay level across the three; the font
    // is fitted after that, then the captions are placed again in it.
    const QFont probe = hexview::FixedFont(14);
    AlignCaption(La(1), hex, kPairWidth, probe);
    AlignCaption(La(2), chars, 0, probe);
    const int margin = std::max({address.margin, hex.margin, chars.margin});
    for (Column* c : {&address, &hex, &chars})
        c->margin = margin;

    int size = 48;
    for (const Column* c : {&address, &hex, &chars})
        size = std::min(size, hexview::LargestFittingPixelSize(hexview::FixedFont(size), c->row, RowWidth(*c)));
    const QFont font = hexview::FixedFont(size);
    for (Column* c : {&address, &hex, &chars}) {
        c->area->SetTextMargin(c->margin);
        c->area->Widget()->setFont(font);
    }
    AlignCaption(La(1), hex, kPairWidth, font);
    AlignCaption(La(2), chars, 0, font);

    // The other captions keep their font, shrunk where their text would be clipped.
    for (Label* l : {&La(0), &Label1()})
        FitLabel(*l);
    // The converter's button is half covered by the output field below it: its
    // arrow goes in the part that shows.
    const int shown = int(TField2().Top() - PushButton1().Top());
    PushButton1().Widget()->setStyleSheet(
        QStringLiteral("QPushButton { padding-bottom: %1px; }").arg(PushButton1().Height() - shown));
}
