// The note-length rows: gate and gap delta-time texts of the sixteen note-length
// buttons, as comma-separated lists (field i + 1 belongs to button i).
#pragma once

namespace track {

// Every gate is 85 % of its step and gate plus gap is the whole step.
inline constexpr char GateDeltas[] =
    "8C 60,89 48,86 30,84 64,83 18,82 65,82 32,82 10,81 4C,81 19,81 08,66,44,33,19,0D";
inline constexpr char GapDeltas[] =
    "82 20,81 58,81 10,6C,48,3F,36,30,24,1B,18,12,0C,09,05,02";

// The whole step of each row (gate plus gap) as a delta-time text.
inline constexpr char StepDeltas[] =
    "8F 00,8B 20,87 40,85 50,83 60,83 24,82 68,82 40,81 70,81 34,81 20,78,50,3C,1E,0F";

}  // namespace track
