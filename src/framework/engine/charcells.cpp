// Cell widths of characters on the fixed-pitch grid.
#include "framework/engine/charcells.h"

int cellsOfUnit(char16_t u)
{
    if (u < 0x1100)
        return 1;
    if (u >= 0xDC00 && u <= 0xDFFF)
        return 0;
    if (u >= 0xD800 && u <= 0xDBFF) {
        // Pictographs (U+1F300..U+1FBFF) and the CJK planes 2 and 3 are wide.
        return (u >= 0xD83C && u <= 0xD83E) || (u >= 0xD840 && u <= 0xD8BF) ? 2 : 1;
    }
    const bool wide = u <= 0x115F                      // Hangul Jamo
        || (u >= 0x2E80 && u <= 0x303E)                // CJK radicals, punctuation
        || (u >= 0x3041 && u <= 0x4DBF)                // kana, CJK symbols, extension A
        || (u >= 0x4E00 && u <= 0xA4CF)                // CJK ideographs, Yi
        || (u >= 0xAC00 && u <= 0xD7A3)                // Hangul syllables
        || (u >= 0xF900 && u <= 0xFAFF)                // compatibility ideographs
        || (u >= 0xFE30 && u <= 0xFE4F)                // CJK compatibility forms
        || (u >= 0xFF00 && u <= 0xFF60)                // fullwidth forms
        || (u >= 0xFFE0 && u <= 0xFFE6);
    return wide ? 2 : 1;
}

qsizetype cellsOf(const QChar* text, qsizetype n)
{
    qsizetype cells = 0;
    for (qsizetype i = 0; i < n; ++i)
        cells += cellsOfUnit(text[i].unicode());
    return cells;
}
