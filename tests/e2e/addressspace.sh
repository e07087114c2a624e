#!/usr/bin/env bash
# The built program launched under an address-space limit (prlimit --as), under
# Xvfb, given files by a second launch. A file that takes all but a few MiB of
# what the limit leaves is refused as too large, or opened with the program still
# working; one a little smaller than the room the refusal told of opens, and the
# program goes on: its open dialog comes and goes, a save through its dialog
# writes the bytes, and Ctrl+Q ends it.
#   addressspace.sh PROGRAM SCREENSHOT-FOLDER
program=$1
shots=$2
scenario=addressspace
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
command -v prlimit >/dev/null 2>&1 || { echo "SKIP: prlimit is not installed"; exit 77; }
if ldd "$program" 2>/dev/null | grep -q libasan; then
  echo "SKIP: the sanitizer reserves terabytes of address space: no limit on it can be set"
  exit 77
fi
MiB=1048576

start_x
vmsize() { awk '/^VmSize:/ { print $2 * 1024 }' "/proc/$app/status"; }

# The address space the program takes, unlimited, with its window up; it is given
# 384 MiB more.
launch unlimited
find_window
limit=$(( $(vmsize) + 384 * MiB ))
xdotool windowfocus --sync "$win"
xdotool key --clearmodifiers ctrl+q
ended "Ctrl+Q" unlimited

applog="$work/limited.log"
prlimit --as="$limit" "$program" >"$applog" 2>&1 &
app=$!
started+=("$app")
find_window
sleep 0.5

windows() { xdotool search --onlyvisible --pid "$app" | wc -l; }
dialog_up() { [ "$(windows)" -ge 2 ]; }
dialog_gone() { [ "$(windows)" = 1 ]; }
refusals() { grep -c 'could not be opened' "$applog"; }

# hand_over SIZE NAME: a file of SIZE zero bytes handed to the running window,
# once it has been refused there or read.
hand_over() {
  opened="$work/$2"
  truncate -s "$1" "$opened"
  local before=$(vmsize) refusals=$(refusals)
  "$program" "$opened" >"$work/hand-over.log" 2>&1 || fail "the file was not handed over: $(cat "$work/hand-over.log")"
  answered() { [ "$(refusals)" -gt "$refusals" ] || [ "$(vmsize)" -ge $(( before + $1 )) ]; }
  wait_until 20 answered "$1" || fail "the window neither opened nor refused $2: $(grep -v '^ALSA' "$applog" | tail -3)"
}

# All but 4 MiB of the room the limit leaves now: too little for a thread's stack.
hand_over $(( limit - $(vmsize) - 4 * MiB )) filling.bin
if [ "$(refusals)" = 1 ]; then
  grep -q "\"$opened\" could not be opened: it holds .* more than the .* of memory that is free" "$applog" ||
    fail "the refusal does not say the file is too large: $(grep -v '^ALSA' "$applog")"
  wait_until 10 dialog_up || fail "the refusal showed no message"
  shot "refused"
  xdotool key --clearmodifiers Return
  wait_until 10 dialog_gone || fail "the message stayed up"
  # A file 8 MiB smaller than the room told opens.
  room=$(sed -n 's/.*more than the \([0-9.]*\) MiB of memory that is free.*/\1/p' "$applog")
  [ -n "$room" ] || fail "the refusal tells no room in MiB: $(grep -v '^ALSA' "$applog")"
  hand_over "$(awk -v room="$room" -v MiB=$MiB 'BEGIN { printf "%d", (room - 8) * MiB }')" fitting.bin
  [ "$(refusals)" = 1 ] || fail "a file within the room told was refused: $(grep -v '^ALSA' "$applog")"
fi

# Whichever opened, the program goes on: its open dialog comes and goes, a save
# writes the bytes, Ctrl+Q ends it.
click 640 457  # "BinaryFile Open"
wait_until 10 dialog_up || fail "no open dialog appeared: $(grep -v '^ALSA' "$applog" | tail -3)"
xdotool key --clearmodifiers Escape
wait_until 10 dialog_gone || fail "the open dialog stayed"
click 640 433  # "BinaryFile Save"
save_as "$work/saved.bin"
wait_until 20 cmp -s "$opened" "$work/saved.bin" || fail "the save did not write the file's bytes"
xdotool windowfocus --sync "$win"
xdotool key --clearmodifiers ctrl+q
ended "Ctrl+Q under the limit" limited
! grep -q 'Thread creation error' "$applog" || fail "threads could not be started: $(grep -v '^ALSA' "$applog")"
echo "e2e address-space limit: 1 passed, 0 failed"
