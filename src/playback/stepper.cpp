// Playback stepping over the editor state.
#include "playback/stepper.h"

#include "track/deltatime.h"

namespace playback {

Sound SoundOfLine(const track::EditorState& state, qint64 i) {
  if (i < 0 || i >= state.pit.size() || i >= state.vel.size()) return {};
  return SoundOf(state.pit[i], state.vel[i], state.v);
}

qint64 PeriodOfLine(const track::EditorState& state, qint64 i) {
  const QString dur = i >= 0 && i < state.dur.size() ? state.dur[i] : QString();
  return PeriodMs(track::VaToDu(dur), state.d);
}

Step StartStep(track::EditorState& state) {
  Step step;
  if (state.noteCount == 0) {
    step.ends = true;
    return step;
  }
  state.soundNumber = 0;
  step.noteOn = SoundOfLine(state, 0);
  step.periodMs = PeriodOfLine(state, 0);
  return step;
}

Step TickStep(track::EditorState& state) {
  Step step;
  step.noteOff = SoundOfLine(state, state.soundNumber);
  if (state.soundNumber + 1 >= state.noteCount) {
    step.ends = true;
    return step;
  }
  ++state.soundNumber;
  step.noteOn = SoundOfLine(state, state.soundNumber);
  step.periodMs = PeriodOfLine(state, state.soundNumber);
  return step;
}

}  // namespace playback
