#!/usr/bin/env bash
# One session as a user has it, on the built program under Xvfb: launched with a
# file named through a link and "..", the bytes saved back through the real
# dialog; the hex column copied to another program and pasted back; a second
# launch hands its file, whose name is not UTF-8, to the first window; the window
# closed while a melody plays, and the process ends with status 0. Decoys sit
# where cleaning the path as text, or decoding its name, would lead. (Notes
# entered and saved as MIDI are the window tests'.)
#   session.sh PROGRAM CLOSE-HELPER SCREENSHOT-FOLDER
program=$1
close_window=$2
shots=$3
scenario=session
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
command -v xclip >/dev/null 2>&1 || { echo "SKIP: xclip is not installed"; exit 77; }

start_x

mkdir -p "$work/files/sub"
ln -s "$work/files/sub" "$work/lnk"
head -c 1000 /dev/urandom >"$work/files/random.bin"
printf 'decoy\n' >"$work/random.bin"
launch first "$work/lnk/../random.bin"
find_window
shot "launched"

# Controls clicked at their places in the 800 x 600 content.
click 640 433  # "BinaryFile Save"
save_as "$work/saved.bin"
cmp "$work/files/random.bin" "$work/saved.bin" || fail "the saved bytes differ from the opened file"
shot "bytes-saved"

# The hex column copied whole reaches another program as its text, rows ended by
# LF; pasted back over itself, it saves as the same bytes.
od -An -v -tx1 -w16 "$work/files/random.bin" | tr a-f A-F | sed 's/^ //; s/$/ /' | head -c -1 >"$work/hex.txt"
click 300 200  # in the hex column
xdotool key --clearmodifiers ctrl+a ctrl+c
# Until the program has taken the copy, the clipboard has no owner and no text.
copied() { timeout 10 xclip -o -selection clipboard >"$work/copied.txt"; }
wait_until 20 copied || fail "the clipboard gave no text"
cmp "$work/hex.txt" "$work/copied.txt" || fail "the copied text is not the hex column's"
xdotool key --clearmodifiers ctrl+a ctrl+v
click 640 433  # "BinaryFile Save"
save_as "$work/pasted.bin"
cmp "$work/files/random.bin" "$work/pasted.bin" || fail "the copy pasted back saves other bytes"

second="$work/second$(printf '\377').bin"
printf 'handed over by a second launch\n' >"$second"
printf 'decoy\n' >"$work/second$(printf '\357\277\275').bin"
timeout 30 "$program" "$second" >"$work/second.log" 2>&1 ||
  fail "the second launch ended with status $?: $(cat "$work/second.log")"
kill -0 "$app" 2>/dev/null || fail "the first instance ended"
[ "$(xdotool search --onlyvisible --name '^Quorvanel$' | wc -l)" = 1 ] || fail "a second window opened"
# The opened file's 63 rows fill the address column; the handed-over one has two,
# read back as the column's text copied whole. A click there drops that selection,
# and the hex column, whose selection shows only while it has the focus, takes it back.
printf '00000000:\n00000010:\n' >"$work/addresses.txt"
address_column_shows_two_rows() {
  click 100 200  # in the address column
  xdotool key --clearmodifiers ctrl+a ctrl+c
  timeout 10 xclip -o -selection clipboard >"$work/copied.txt"
  cmp -s "$work/addresses.txt" "$work/copied.txt"
}
wait_until 10 address_column_shows_two_rows ||
  fail "the first window does not show the handed-over file's two rows: $(tr '\n' ' ' <"$work/copied.txt" | head -c 80)"
click 100 200
click 300 200  # in the hex column
shot "handed-over"
click 640 433  # "BinaryFile Save"
save_as "$work/second-saved.bin"
cmp "$second" "$work/second-saved.bin" || fail "the first window does not show the handed-over file"

# The window is closed while a melody of whole notes plays.
click 496 519  # "AC"
click 159 535  # note-length button 0: whole notes, gate 1632 ticks
click 151 490  # white key 0
click 179 490  # white key 2
# The line that sounds is highlighted in the hex column (159 26 377 380, less its
# frame and scroll bar), where nothing is before playback starts.
line_highlighted() { [ "$(most 'b-r' 161 28 358 376)" -gt 100 ]; }
! line_highlighted || fail "the hex column shows a highlight before playback"
click 337 562  # "NotesPlay"
wait_until 10 line_highlighted || fail "playback did not start: no line is highlighted"
shot "playing"
"$close_window" "$win" || fail "the close request could not be sent"
ended "closing its window" first
shot "closed"
echo "e2e session: 1 passed, 0 failed"
