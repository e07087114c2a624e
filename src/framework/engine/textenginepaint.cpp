// The text engine view's grid metrics, scroll bars and painting. Only the lines
// that intersect the exposed rectangle are looked up and drawn; Latin-1 text is
// drawn as glyph runs placed on the grid, without shaping.
#include "framework/engine/charcells.h"
#include "framework/engine/textengineview.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QtMath>
#include <algorithm>
#include <type_traits>

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

}  // namespace

void TextEngineView::updateMetrics()
{
    const QFont f = font();
    const QFontMetricsF fm(f);
    const bool fixed = QFontInfo(f).fixedPitch();
    // In a proportional font the widest common letter sets the grid, so no glyph overlaps the next.
    m_cellWidth = qMax<qreal>(1, fm.horizontalAdvance(fixed ? QChar(u'0') : QChar(u'M')));
    m_lineHeight = qMax(1, qCeil(fm.lineSpacing()));
    m_ascent = fm.ascent();
    m_rawFont = QRawFont::fromFont(f);
    if (m_rawFont.isValid()) {
        QChar chars[256];
        for (int i = 0; i < 256; ++i)
            chars[i] = isControl(char16_t(i)) ? QChar(u' ') : QChar(char16_t(i));
        int n = 256;
        m_rawFont.glyphIndexesForChars(chars, 256, m_latin1Glyphs, &n);
    }
}

int TextEngineView::visibleLineCount() const
{
    return qMax(1, (viewport()->height() - 2 * m_margin) / m_lineHeight);
}

int TextEngineView::visibleCellCount() const
{
    return qMax(1, int((viewport()->width() - 2 * m_margin) / m_cellWidth));
}

void TextEngineView::updateScrollBars()
{
    const TextBuffer& b = m_doc.buffer();
    const int visibleLines = visibleLineCount();
    const qsizetype lines = b.lineCount();
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, int(std::clamp<qsizetype>(lines - visibleLines, 0, INT_MAX)));
    v->setPageStep(visibleLines);
    v->setSingleStep(1);

    const int columns = visibleCellCount();
    // One cell more than the widest line, so that the caret after its last character shows.
    const qsizetype cells = b.widestLineCells() + 1;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, int(std::clamp<qsizetype>(cells - columns, 0, INT_MAX)));
    h->setPageStep(columns);
    h->setSingleStep(1);
}

void TextEngineView::setTextMargin(int pixels)
{
    pixels = qMax(0, pixels);
    if (pixels == m_margin)
        return;
    m_margin = pixels;
    updateScrollBars();
    viewport()->update();
}

void TextEngineView::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
    if (m_pendingReveal && isVisible())
        ensureVisible(m_pendingReveal->first, m_pendingReveal->second);
}

void TextEngineView::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::FontChange) {
        updateMetrics();
        updateScrollBars();
        viewport()->update();
    }
    QAbstractScrollArea::changeEvent(e);
}

void TextEngineView::scrollContentsBy(int, int)
{
    viewport()->update();
}

qreal TextEngineView::xForCell(qsizetype cell) const
{
    return m_margin + qreal(cell - firstVisibleCell()) * m_cellWidth;
}

// Far outside the view a point only has to stay outside it: its coordinates are
// worked out in qsizetype and qreal and held within this many pixels, so that
// no line or cell count, however large, overflows an int.
constexpr qreal kFarPixels = 1 << 24;

QPoint TextEngineView::pointForPosition(qsizetype pos) const
{
    const qsizetype rows = m_doc.buffer().lineOf(pos) - firstVisibleLine();
    const qreal y = m_margin + qreal(rows) * m_lineHeight;
    const qreal x = xForCell(m_doc.cellOf(pos));
    return QPoint(qRound(std::clamp(x, -kFarPixels, kFarPixels)), qRound(std::clamp(y, -kFarPixels, kFarPixels)));
}

qsizetype TextEngineView::positionAt(const QPoint& point) const
{
    const TextBuffer& b = m_doc.buffer();
    const qsizetype row = point.y() < m_margin ? -1 : (point.y() - m_margin) / m_lineHeight;
    const qsizetype line = qBound<qsizetype>(0, firstVisibleLine() + row, b.lineCount() - 1);
    const qsizetype cell = firstVisibleCell() + qFloor((point.x() - m_margin) / m_cellWidth + 0.5);
    return m_doc.positionInLine(line, qMax<qsizetype>(0, cell));
}

QRect TextEngineView::caretRect() const
{
    const QPoint p = pointForPosition(m_doc.caret());
    return QRect(p.x() - 1, p.y(), 3, m_lineHeight);
}

bool TextEngineView::caretInView() const
{
    return caretRect().intersects(viewport()->rect());
}

void TextEngineView::updateCaretRect()
{
    viewport()->update(caretRect());
}

void TextEngineView::paintEvent(QPaintEvent* e)
{
    QPainter p(viewport());
    const QRect clip = e->rect();
    if (m_drawsBackground)
        p.fillRect(clip, palette().brush(QPalette::Base));
    p.setFont(font());

    const TextBuffer& b = m_doc.buffer();
    const qsizetype first = firstVisibleLine();
    const qsizetype fromRow = qMax(0, (clip.top() - m_margin) / m_lineHeight);
    const qsizetype toRow = qMax(0, (clip.bottom() - m_margin) / m_lineHeight);
    const qsizetype lastLine = qMin(first + toRow, b.lineCount() - 1);
    for (qsizetype line = first + fromRow; line <= lastLine; ++line)
        paintLine(p, line, m_margin + int(line - first) * m_lineHeight, clip);

    const QPoint caret = pointForPosition(m_doc.caret());
    if (!m_preedit.isEmpty()) {
        const QRectF box(caret.x(), caret.y(), cellsOf(m_preedit.constData(), m_preedit.size()) * m_cellWidth,
                         m_lineHeight);
        p.fillRect(box, palette().brush(QPalette::Base));
        QFont underlined = font();
        underlined.setUnderline(true);
        p.setFont(underlined);
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QPointF(caret.x(), caret.y() + m_ascent), m_preedit);
        p.setFont(font());
    }
    if (hasFocus() && !m_readOnly && m_caretOn)
        p.fillRect(QRect(caret.x(), caret.y(), 1, m_lineHeight), palette().color(QPalette::Text));
}

// One line: its selection highlight, then its visible characters in up to
// three runs, the selected part in the highlighted-text colour.
void TextEngineView::paintLine(QPainter& p, qsizetype line, int y, const QRect& clip)
{
    const TextBuffer& b = m_doc.buffer();
    const qsizetype start = b.lineStart(line);
    const qsizetype end = b.lineEnd(line);
    const bool latin1 = b.isLatin1Range(start, end - start);
    auto cellAt = [&](qsizetype pos) { return latin1 ? pos - start : b.cellsBetween(start, pos); };
    auto posAt = [&](qsizetype cell) {
        return latin1 ? start + qBound<qsizetype>(0, cell, end - start) : b.positionAtCells(start, end, cell);
    };

    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    const qsizetype selStart = m_doc.selectionStart();
    const qsizetype selEnd = m_doc.selectionEnd();
    const bool breakSelected = selStart <= end && selEnd > end;  // the line's CR is in the selection
    const qsizetype hiStart = qMax(selStart, start);
    const qsizetype hiEnd = qMin(selEnd, end);
    if (m_doc.hasSelection() && hiStart <= hiEnd && (hiStart < hiEnd || breakSelected)) {
        const qreal x0 = xForCell(cellAt(hiStart));
        const qreal x1 = xForCell(cellAt(hiEnd)) + (breakSelected ? m_cellWidth : 0);
        p.fillRect(QRectF(x0, y, x1 - x0, m_lineHeight), palette().brush(group, QPalette::Highlight));
    }

    // The characters that reach into the clip rectangle, one cell of slack each side.
    const qsizetype leftCell = firstVisibleCell() + qFloor((clip.left() - m_margin) / m_cellWidth) - 1;
    const qsizetype rightCell = firstVisibleCell() + qCeil((clip.right() - m_margin) / m_cellWidth) + 1;
    const qsizetype from = posAt(qMax<qsizetype>(0, leftCell));
    const qsizetype to = posAt(rightCell);
    if (from >= to)
        return;
    const qreal baseline = y + m_ascent;
    const qsizetype cuts[4] = {from, qBound(from, selStart, to), qBound(from, selEnd, to), to};
    for (int i = 0; i < 3; ++i) {
        if (cuts[i] >= cuts[i + 1])
            continue;
        const bool selected = i == 1;
        p.setPen(palette().color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const qreal x = xForCell(cellAt(cuts[i]));
        if (latin1 && m_rawFont.isValid())
            drawLatin1Run(p, cuts[i], cuts[i + 1], x, baseline);
        else
            drawWideRun(p, cuts[i], cuts[i + 1], x, baseline);
    }
}

void TextEngineView::drawLatin1Run(QPainter& p, qsizetype from, qsizetype to, qreal x, qreal baseline)
{
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(to - from);
    positions.reserve(to - from);
    qsizetype i = 0;
    m_doc.buffer().forEachPiece(from, to - from, [&](auto* s, qsizetype n) {
        for (qsizetype k = 0; k < n; ++k, ++i) {
            if constexpr (std::is_same_v<decltype(s), const char*>)
                glyphs.append(m_latin1Glyphs[quint8(s[k])]);
            else
                glyphs.append(m_latin1Glyphs[quint8(s[k].unicode())]);
            positions.append(QPointF(x + qreal(i) * m_cellWidth, baseline));
        }
    });
    QGlyphRun run;
    run.setRawFont(m_rawFont);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    p.drawGlyphRun(QPointF(0, 0), run);
}

// Characters outside Latin-1 go through the font's fallback, one by one at
// their cells, so that a wide glyph takes its two cells and nothing shifts.
void TextEngineView::drawWideRun(QPainter& p, qsizetype from, qsizetype to, qreal x, qreal baseline)
{
    const QString text = m_doc.buffer().mid(from, to - from);
    qsizetype cell = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const int w = cellsOfUnit(u);
        qsizetype n = 1;
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            n = 2;
        if (!isControl(u))
            p.drawText(QPointF(x + qreal(cell) * m_cellWidth, baseline), text.mid(i, n));
        cell += w;
        i += n - 1;
    }
}
