// A text area's text as the writers and playback read it: in the spans the text
// area keeps it in, never copied into one string.
#pragma once

#include "framework/controls/textarea.h"
#include "track/tracktext.h"

inline track::TrackText TrackTextOf(const TextArea& ta)
{
    return {ta.Length(), [&ta](const track::TrackText::Reader& read) { ta.ReadPieces(read); },
            [&ta](const track::TrackText::Reader& read, const track::TrackText::RowsReader& rows) {
                ta.ReadSpans(read, rows);
            }};
}
