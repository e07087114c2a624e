#!/usr/bin/env bash
# One session as a user has it, on the built program under Xvfb: launched with a
# file named through a link and "..", the bytes saved back through the real
# dialog; notes entered on the keyboard and saved as MIDI; a second launch hands
# its file, whose name is not UTF-8, to the first window; the window closed while
# a melody plays, and the process ends with status 0. Decoys sit where cleaning
# the path as text, or decoding its name, would lead.
#   session.sh PROGRAM CLOSE-HELPER SCREENSHOT-FOLDER
program=$1
close_window=$2
shots=$3
scenario=session
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
command -v midicsv >/dev/null || { echo "SKIP: midicsv is not installed"; exit 77; }

# Places of the controls in the 800 x 600 content.
save_binary=(640 433)   # "BinaryFile Save"
midi_save=(455 562)     # "MidiSave"
clear_all=(496 519)     # "AC"
length_9=(279 535)      # note-length button 8: gate "81 4C", gap "24"
length_1=(159 535)      # note-length button 0: whole notes, gate 1632 ticks
notes_play=(337 562)    # "NotesPlay"
keys_x=(151 179 207)    # white keys 0, 2, 4: notes 41, 45, 48
keys_y=490

start_x

mkdir -p "$work/files/sub"
ln -s "$work/files/sub" "$work/lnk"
head -c 1000 /dev/urandom >"$work/files/random.bin"
printf 'decoy\n' >"$work/random.bin"
launch first "$work/lnk/../random.bin"
find_window
shot "launched"

click "${save_binary[@]}"
save_as "$work/saved.bin"
cmp "$work/files/random.bin" "$work/saved.bin" || fail "the saved bytes differ from the opened file"
shot "bytes-saved"

# The opened bytes are no melody: the track is cleared before the notes go in.
click "${clear_all[@]}"
click "${length_9[@]}"
for x in "${keys_x[@]}"; do
  click "$x" "$keys_y"
done
shot "notes-entered"
click "${midi_save[@]}"
save_as "$work/melody.mid"
# Header (format 0, one track, 480 ticks), track length 34, program change 0,
# three note lines "90 kk 55 81 4C 90 kk 00 24", end of track.
printf '%b' 'MThd\0\0\0\06\0\0\0\01\01\0340MTrk\0\0\0\042\0\0300\0\0' \
  '\0220\051\0125\0201\0114\0220\051\0\044' '\0220\055\0125\0201\0114\0220\055\0\044' \
  '\0220\060\0125\0201\0114\0220\060\0\044' '\0377\057\0' >"$work/expected.mid"
cmp "$work/expected.mid" "$work/melody.mid" || {
  od -An -tx1 "$work/melody.mid" >&2
  fail "the MIDI file differs from the expected bytes"
}
midicsv "$work/melody.mid" >"$work/melody.csv" || fail "midicsv cannot read the MIDI file"
notes=$(grep -c 'Note_on_c, 0, [0-9]*, 85$' "$work/melody.csv" || true)
[ "$notes" = 3 ] || fail "midicsv reads $notes sounding notes, not 3: $(cat "$work/melody.csv")"
for note in 41 45 48; do
  grep -q "Note_on_c, 0, $note, 85$" "$work/melody.csv" || fail "note $note missing in $(cat "$work/melody.csv")"
done
shot "melody-saved"

second="$work/second$(printf '\377').bin"
printf 'handed over by a second launch\n' >"$second"
printf 'decoy\n' >"$work/second$(printf '\357\277\275').bin"
status=0
timeout 30 "$program" "$second" >"$work/second.log" 2>&1 || status=$?
[ "$status" = 0 ] || fail "the second launch ended with status $status: $(cat "$work/second.log")"
kill -0 "$app" 2>/dev/null || fail "the first instance ended"
[ "$(xdotool search --onlyvisible --name '^Quorvanel$' | wc -l)" = 1 ] || fail "a second window opened"
sleep 0.3
shot "handed-over"
click "${save_binary[@]}"
save_as "$work/second-saved.bin"
cmp "$second" "$work/second-saved.bin" || fail "the first window does not show the handed-over file"

# The window is closed while a melody of whole notes plays.
click "${clear_all[@]}"
click "${length_1[@]}"
click "${keys_x[0]}" "$keys_y"
click "${keys_x[1]}" "$keys_y"
click "${notes_play[@]}"
sleep 0.3
shot "playing"
"$close_window" "$win" || fail "the close request could not be sent"
wait_until 20 sh -c "! kill -0 $app" || fail "the program did not end after its window closed"
status=0
wait "$app" || status=$?
shot "closed"
[ "$status" = 0 ] || fail "the program ended with status $status: $(tail -5 "$work/first.log")"
echo "e2e session: 1 passed, 0 failed"
