#!/usr/bin/env bash
# A save past a file size limit set on the running program (prlimit), on the
# built program under Xvfb: the program says why and goes on, no part of the file
# is left, and once the limit is lifted the same save succeeds.
#   savelimit.sh PROGRAM SCREENSHOT-FOLDER
program=$1
shots=$2
scenario=savelimit
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
command -v prlimit >/dev/null 2>&1 || { echo "SKIP: prlimit is not installed"; exit 77; }

start_x

mkdir -p "$work/files"
head -c 20000 /dev/urandom >"$work/files/random.bin"
launch first "$work/files/random.bin"
find_window

prlimit --pid "$app" --fsize=4096: || fail "the size limit could not be set"
click 640 433  # "BinaryFile Save"
answer_save "$work/files/saved.bin"
wait_until 20 sh -c "grep -q 'could not be saved' '$work/first.log' || ! kill -0 $app" ||
  fail "no failure was reported: $(cat "$work/first.log")"
kill -0 "$app" 2>/dev/null || fail "the program ended during the save"
shot "told"
grep -q "\"$work/files/saved.bin\" could not be saved: cannot write: File too large. Nothing was written." "$work/first.log" ||
  fail "the message does not name the file and the reason: $(cat "$work/first.log")"
[ "$(ls -A "$work/files")" = random.bin ] || fail "the failed save left files: $(ls -A "$work/files")"

# The message box closed, the limit lifted: the same save goes through.
xdotool key --clearmodifiers Return
wait_until 10 sh -c "[ \$(xdotool search --onlyvisible --name '^Quorvanel\$' | wc -l) = 1 ]" || fail "the message stayed up"
prlimit --pid "$app" --fsize=unlimited: || fail "the size limit could not be lifted"
click 640 433
answer_save "$work/files/saved.bin"
wait_until 20 cmp -s "$work/files/random.bin" "$work/files/saved.bin" || fail "the second save did not write the bytes"
kill -0 "$app" 2>/dev/null || fail "the program ended"
echo "e2e save limit: 1 passed, 0 failed"
