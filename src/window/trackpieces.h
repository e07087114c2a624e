// A text area's text as the writers and playback read it: piece by piece, never
// copied into one string.
#pragma once

#include "framework/controls/textarea.h"
#include "track/tracktext.h"

inline track::TrackText TrackPieces(const TextArea& ta)
{
    return {ta.Length(), [&ta](const track::TrackText::Reader& read) { ta.ReadPieces(read); }};
}
