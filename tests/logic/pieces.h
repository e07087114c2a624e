// A track text handed over in pieces, as the window hands over a document's text.
#pragma once
#include "track/tracktext.h"

#include <random>
#include <vector>

// Pieces ending at each of ends in turn: one that is all Latin-1 comes as Latin-1
// when latin1 says so, else as UTF-16.
inline track::TrackText InPieces(const QString& text, const std::vector<qsizetype>& ends, bool latin1)
{
    return {text.size(), [text, ends, latin1](const track::TrackText::Reader& read) {
                qsizetype from = 0;
                QByteArray narrow;
                for (qsizetype end : ends) {
                    const QStringView piece = QStringView(text).sliced(from, end - from);
                    bool fits = latin1;
                    for (QChar c : piece)
                        fits = fits && c.unicode() < 256;
                    fits ? read(QLatin1StringView(narrow = piece.toLatin1())) : read(piece);
                    from = end;
                }
            },
            {}};
}

inline QByteArray RandomBytes(qsizetype n, std::mt19937& random)
{
    QByteArray bytes(n, Qt::Uninitialized);
    for (char& b : bytes)
        b = static_cast<char>(random());
    return bytes;
}

// Piece ends 1 to maxStep apart, the last one at size.
inline std::vector<qsizetype> RandomEnds(qsizetype size, unsigned maxStep, std::mt19937& random)
{
    std::vector<qsizetype> ends;
    for (qsizetype at = 0; at < size;)
        ends.push_back(at = qMin(size, at + 1 + qsizetype(random() % maxStep)));
    return ends;
}
