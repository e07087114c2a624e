// How many cells of the fixed-pitch grid one UTF-16 unit takes on screen. East
// Asian wide and fullwidth characters take two; the low half of a surrogate pair
// takes none (its high half carries the pair's width); every other unit one.
// The width depends on the unit alone, so a run can be measured piece by piece.
#pragma once

#include <QChar>
#include <QtGlobal>

int cellsOfUnit(char16_t unit);

// Cells taken by a run of UTF-16 units.
qsizetype cellsOf(const QChar* text, qsizetype n);
