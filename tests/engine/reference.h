// The text's lines and widths worked out the plain way, for the comparisons.
#pragma once
#include "framework/engine/charcells.h"

#include <QStringList>
#include <vector>

inline std::vector<qsizetype> referenceLineStarts(const QString& s)
{
    std::vector<qsizetype> starts{0};
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s[i] == u'\r')
            starts.push_back(i + 1);
    return starts;
}

inline qsizetype referenceWidest(const QString& s)
{
    qsizetype best = 0;
    for (const QString& line : s.split(QChar(u'\r')))
        best = qMax(best, cellsOf(line.constData(), line.size()));
    return best;
}
