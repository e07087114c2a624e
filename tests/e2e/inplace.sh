#!/usr/bin/env bash
# Saves over a file that has a second name, which the program rewrites in place,
# on the built program under Xvfb, with faults injected by a preloaded shim
# (saveshim.cpp, or earliershim.cpp where said) on that file alone:
#   sync     its sync fails (EROFS): the save is refused and the earlier bytes are
#            back, also when it fails after the file was cut to the new length;
#            when every sync fails, so that they cannot be put back for sure,
#            the message says where their copy is, and the copy holds them; a save
#            through a temporary file (a file with one name) is refused alike;
#   killed   the program is killed halfway through the new bytes: the earlier
#            bytes are whole in the copy in the state folder;
#   together two programs save it at once, writes slowed: the second waits, then
#            says another program is saving the file; the file holds the first's
#            bytes whole, at both names;
#   held     SIGTERM sent midway through the save (writes slowed) ends the
#            program by SIGTERM once the new bytes are whole at both names; sent
#            with no save under way, it ends the program at once;
#   roothome run as root with HOME and XDG folders in another user's home, the
#            save and its dialog leave that home as it was: they use root's own
#            (a folder of the test's, mounted there for the program alone);
#   notice   the program is killed halfway through the new bytes; the next start
#            tells which file's save was cut off and where its earlier bytes are,
#            the one after says nothing until the file is opened;
#   across   the file in a tmpfs, the state folder on another file system: a sync
#            that fails puts the earlier bytes back, and so does a failure of every
#            allocation midway (earliershim), with the program going on;
#   messages (earliershim) a close that fails once the new bytes are synced says
#            the file holds them; a copy that cannot be removed after the save is
#            named.
#   inplace.sh PROGRAM SHIM SCREENSHOT-FOLDER MODE [EARLIER-SHIM]
program=$1
shim=$2
shots=$3
mode=$4
earlier_shim=${5:-}
scenario=inplace-$mode
[ "$mode" = together ] && screen=1900x768x24
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_x
state_on_disk
copies=$states
# A sanitized build's runtime must come first.
asan=$(ldd "$program" 2>/dev/null | awk '/libasan/ { print $3 }')
export ASAN_OPTIONS=${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}verify_asan_link_order=0

files="$work/files"
if [ "$mode" = across ]; then
  # The file in memory, and so on another file system than the state folder.
  [ "$(stat -f -c %T /dev/shm 2>/dev/null)" = tmpfs ] && [ -w /dev/shm ] ||
    { echo "SKIP: no tmpfs at /dev/shm to hold the file"; exit 77; }
  files=$(mktemp -d /dev/shm/quorvanel-e2e.XXXXXX)
  also_removed+=("$files")
fi
mkdir -p "$files"
target="$files/song.bin"
# earlier SIZE-KIB, new SIZE-KIB: the file with a second name, and what is saved over it.
prepare() {
  head -c "$(($1 * 1024))" /dev/urandom >"$work/earlier.bin"
  head -c "$(($2 * 1024))" /dev/urandom >"$work/new.bin"
  rm -f "$target" "$files/other name.bin"
  cp "$work/earlier.bin" "$target"
  ln "$target" "$files/other name.bin"
}

# start LOGNAME RUNTIME-FOLDER SHIM-SETTINGS...: the program with the shim, on the
# new bytes; the shim acts on $faulty, the file unless set.
start() {
  local log=$1 runtime=$2; shift 2
  mkdir -p "$runtime"
  chmod 700 "$runtime"
  applog="$work/$log.log"
  env LD_PRELOAD="${asan:+$asan }${preload:-$shim}" QV_SHIM_PATH="${faulty:-$target}" QV_EARLIER_PATH="$target" \
    XDG_RUNTIME_DIR="$runtime" "$@" \
    "$program" "$work/new.bin" >"$applog" 2>&1 &
  app=$!
  started+=("$app")
}

# replace_at X [PATH]: "BinaryFile Save" (or the button at $button) clicked in the
# window whose content starts at X on the screen, the dialog answered with the
# file (or PATH), and its replacement confirmed.
replace_at() {
  local at=(${button:-640 433})
  click $(( $1 + at[0] )) "${at[1]}"
  wait_until 20 xdotool search --onlyvisible --name '^Save As$' || fail "no save dialog appeared"
  local dialog=$(xdotool search --onlyvisible --name '^Save As$' | head -1)
  focused() { xdotool windowfocus "$dialog"; [ "$(xdotool getwindowfocus -f)" = "$dialog" ]; }
  wait_until 20 focused || fail "the save dialog did not take the focus"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 10 "${2:-$target}"
  xdotool key Return
  # The question whether to replace the file takes the focus from the dialog.
  asked() { [ "$(xdotool getwindowfocus -f)" != "$dialog" ]; }
  wait_until 10 asked || fail "the dialog did not ask to replace the file"
  shot "replace"
  xdotool key --clearmodifiers alt+y
  wait_until 10 sh -c "! xdotool search --onlyvisible --name '^Save As\$'" || fail "the save dialog stayed open"
}
save_over() { replace_at 0; }

told() { grep -q 'could not be saved' "$work/$1.log"; }

whole_at_both_names() {
  cmp -s "$1" "$target" && cmp -s "$1" "$files/other name.bin"
}

# The copies in the state folder, without their records.
copies_left() { ls -A "$copies" 2>/dev/null | grep -v '\.record$' || true; }

# says LOGNAME TEXT: the program has shown the message, word for word (it goes to
# stderr as well as in a box).
says() { grep -qxF "Quorvanel: $2" "$work/$1.log"; }

# stop: the program ended, and its window gone, before another starts.
stop() {
  kill "$app"
  wait "$app" 2>/dev/null || true
  gone() { ! xdotool search --onlyvisible --name '^Quorvanel$'; }
  wait_until 20 gone || fail "the window stayed"
}

# refused_and_put_back LOGNAME WHEN SHIM-SETTINGS...: a save over the file whose
# sync fails as the settings say is refused, the earlier bytes are back at both
# names and their copy is gone.
refused_and_put_back() {
  local log=$1 when=$2; shift 2
  start "$log" "$work/run" "$@"
  find_window
  save_over
  wait_until 20 told "$log" || fail "no failure was reported $when: $(cat "$work/$log.log")"
  shot "told"
  grep -q "\"$target\" could not be saved: cannot save: Read-only file system. Nothing was written." "$work/$log.log" ||
    fail "the message does not say the save failed $when: $(cat "$work/$log.log")"
  whole_at_both_names "$work/earlier.bin" || fail "the earlier bytes are not back whole $when"
  [ -z "$(ls -A "$copies")" ] || fail "the copy of the earlier bytes stayed $when: $(ls -A "$copies")"
  stop
}

# ended_by SIGNAL SECONDS: the program ends within that time, by that signal.
ended_by() {
  wait_until "$2" sh -c "! kill -0 $app" || fail "SIG$1 did not end the program within $2 s"
  local status=0
  wait "$app" || status=$?
  [ "$status" = $(( 128 + $(kill -l "$1") )) ] || fail "the program did not end by SIG$1: status $status"
}

# killed_halfway: the program stopped halfway through saving 8 MiB over 8 MiB,
# leaving one copy in the state folder, its name in found.
killed_halfway() {
  prepare 8192 8192
  start first "$work/run" QV_SHIM_KILL_AFTER=$((4096 * 1024))
  find_window
  save_over
  wait_until 60 sh -c "! kill -0 $app" || fail "the program was not stopped halfway"
  found=($(copies_left))
  [ ${#found[@]} = 1 ] || fail "no single copy of the earlier bytes in $copies: $(ls -A "$copies" 2>&1)"
}

case $mode in
held)
  # 1 MiB over 1.5 MiB in 64 KiB pieces, a tenth of a second each.
  prepare 1536 1024
  start first "$work/run" QV_SHIM_SLOW_MS=100
  find_window
  save_over
  under_way() { ! cmp -s -n 65536 "$work/earlier.bin" "$target"; }
  wait_until 30 under_way || fail "the save did not start"
  kill -TERM "$app"
  ended_by TERM 30
  whole_at_both_names "$work/new.bin" || fail "SIGTERM cut the save short: the file is not whole at both names"
  # After a failed save too, its message up.
  start second "$work/run" QV_SHIM_FSYNC_FAILURES=1
  find_window
  save_over
  wait_until 20 told second || fail "no failure was reported: $(cat "$work/second.log")"
  kill -TERM "$app"
  ended_by TERM 3
  echo "e2e SIGTERM during and after an in-place save: 2 passed, 0 failed"
  ;;
roothome)
  [ "$(id -u)" = 0 ] || { echo "SKIP: only root can run with another user's home"; exit 77; }
  own=$(getent passwd 0 | cut -d: -f6)
  [ -d "$own" ] && [ "$own" != / ] || { echo "SKIP: root's home \"$own\" is no folder to stand in for"; exit 77; }
  unshare --mount --propagation private true 2>/dev/null || { echo "SKIP: no mount namespace"; exit 77; }
  prepare 300 200
  other="$work/other"
  stand_in="$work/own"
  mkdir "$other" "$stand_in"
  chown 65534:65534 "$other"
  before=$(find "$other" -printf '%p %U %m %T@\n')
  env HOME="$other" XDG_CONFIG_HOME="$other/.config" XDG_STATE_HOME="$other/.local/state" \
    unshare --mount --propagation private sh -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' sh \
    "$stand_in" "$own" "$program" "$work/new.bin" >"$work/root.log" 2>&1 &
  app=$!
  started+=("$app")
  applog="$work/root.log"
  find_window
  save_over
  wait_until 20 whole_at_both_names "$work/new.bin" || fail "the save did not write the file: $(cat "$applog")"
  xdotool windowfocus --sync "$win"
  xdotool key --clearmodifiers ctrl+q
  ended "Ctrl+Q" root
  [ "$(find "$other" -printf '%p %U %m %T@\n')" = "$before" ] ||
    fail "the other user's home was changed: $(find "$other" -printf '%p %U\n')"
  [ -f "$stand_in/.config/QtProject.conf" ] || fail "the dialog's settings are not in root's own home"
  echo "e2e save as root with another user's home: 1 passed, 0 failed"
  ;;
sync)
  prepare 300 200
  refused_and_put_back first "after the first sync" QV_SHIM_FSYNC_FAILURES=1
  # The new bytes, shorter than the earlier ones, are synced, the file is cut to
  # their length, and that sync fails: every earlier byte goes back.
  refused_and_put_back cut "after the cut" QV_SHIM_FSYNC_PASSES=1 QV_SHIM_FSYNC_FAILURES=1

  # Every sync fails: the bytes put back may not be on disk, and the message says
  # where their copy is.
  start second "$work/run" QV_SHIM_FSYNC_FAILURES=-1
  find_window
  save_over
  wait_until 20 told second || fail "no failure was reported: $(cat "$work/second.log")"
  shot "told-where"
  copy=$(sed -n 's/.*could not be put back as it was\. Its earlier bytes are kept in "\(.*\)"\.$/\1/p' "$work/second.log")
  [ -n "$copy" ] || fail "the message does not name the copy: $(cat "$work/second.log")"
  [ "$(dirname "$copy")" = "$copies" ] || fail "the copy is not in the state folder: $copy"
  cmp -s "$work/earlier.bin" "$copy" || fail "the copy named does not hold the earlier bytes"
  [ "$(stat -c %a "$copy")" = 600 ] || fail "the copy may be read by others: $(stat -c %a "$copy")"
  stop

  # A file with one name is replaced by a temporary file beside it, whose sync fails too.
  head -c 5000 /dev/urandom >"$files/single.bin"
  cp "$files/single.bin" "$work/single.bin"
  faulty="$files/"
  start third "$work/run" QV_SHIM_FSYNC_FAILURES=1
  find_window
  replace_at 0 "$files/single.bin"
  wait_until 20 told third || fail "no failure was reported: $(cat "$work/third.log")"
  grep -q "\"$files/single.bin\" could not be saved: cannot save: Read-only file system. Nothing was written." \
    "$work/third.log" || fail "the message does not say the save failed: $(cat "$work/third.log")"
  cmp -s "$work/single.bin" "$files/single.bin" || fail "the file with one name was changed"
  [ "$(ls -A "$files" | grep -c .)" = 3 ] || fail "the failed save left files: $(ls -A "$files")"
  echo "e2e saves whose sync fails: 4 passed, 0 failed"
  ;;
killed)
  killed_halfway
  cmp -s "$work/earlier.bin" "$target" && fail "the save was not under way when the program was stopped"
  found[0]="$copies/${found[0]}"
  cmp -s "$work/earlier.bin" "${found[0]}" || fail "the copy does not hold the earlier bytes whole"
  [ "$(stat -c %a "${found[0]}")" = 600 ] || fail "the copy may be read by others: $(stat -c %a "${found[0]}")"
  [ "$(stat -c %a "$copies")" = 700 ] || fail "the state folder may be read by others: $(stat -c %a "$copies")"
  case $(basename "${found[0]}") in song.bin*) ;; *) fail "the copy is not named after the file: ${found[0]}" ;; esac
  echo "e2e in-place save, killed halfway: 1 passed, 0 failed"
  ;;
together)
  # 5 MiB written in 64 KiB pieces, a fifth of a second each: some 16 seconds.
  prepare 3000 5120
  cp "$work/new.bin" "$work/first.bin"
  head -c $((2048 * 1024)) /dev/urandom >"$work/second.bin"
  start first "$work/run" QV_SHIM_SLOW_MS=200
  find_window
  save_over
  under_way() { ! cmp -s -n 65536 "$work/earlier.bin" "$target"; }
  wait_until 30 under_way || fail "the first save did not start"
  # The second program, on other bytes, its window to the right of the first.
  cp "$work/second.bin" "$work/new.bin"
  first=$(xdotool search --onlyvisible --name '^Quorvanel$')
  start second "$work/run2" QV_SHIM_SLOW_MS=200
  new_window() { xdotool search --onlyvisible --name '^Quorvanel$' | grep -vx "$first"; }
  wait_until 30 new_window || fail "no second window appeared"
  win=$(new_window | head -1)
  xdotool windowmove --sync "$win" 1000 0
  shifted_panel_edge_shows() { [ "$(most r 1300 415 1 1)" = 213 ]; }
  wait_until 20 shifted_panel_edge_shows || fail "the second window was not painted"
  replace_at 1000
  wait_until 60 told second || fail "the second save was not refused: $(cat "$work/second.log")"
  shot "second-told"
  grep -q "\"$target\" could not be saved: another program is saving the file. Nothing was written." "$work/second.log" ||
    fail "the second program does not say why: $(cat "$work/second.log")"
  first_done() { whole_at_both_names "$work/first.bin"; }
  wait_until 60 first_done || fail "the file does not hold the first save's bytes whole"
  # The bytes are all there before the save is committed: its copy of the earlier
  # bytes goes only once they are synced.
  copy_gone() { [ -z "$(ls -A "$copies")" ]; }
  wait_until 20 copy_gone || fail "a copy of the earlier bytes stayed: $(ls -A "$copies")"
  told first && fail "the first save failed: $(cat "$work/first.log")"
  whole_at_both_names "$work/first.bin" || fail "the first save's bytes did not stay"
  echo "e2e in-place saves at once: 1 passed, 0 failed"
  ;;
notice)
  killed_halfway
  copy="$copies/${found[0]}"
  cmp -s "$work/earlier.bin" "$copy" || fail "the copy does not hold the earlier bytes whole: $copy"
  told="A save of the file \"$target\" was cut off before it ended, so the file may hold part of the new bytes. Its earlier bytes are kept whole in \"$copy\"."

  # The next start tells it over the window (the box's text goes to stderr too,
  # where it is read), and notes it was told once the box is closed.
  launch second
  wait_until 30 says second "$told" || fail "the next start does not say where the earlier bytes are: $(grep -v '^ALSA' "$work/second.log" | head -3)"
  shot "told-at-start"
  xdotool key --clearmodifiers Return
  wait_until 20 grep -qx told "$copy.record" || fail "the box stayed, or its telling was not noted"
  stop

  # The start after says nothing of it, until the file is opened (here handed over).
  launch third
  find_window
  says third "$told" && fail "the start after told it again"
  timeout 30 "$program" "$target" >"$work/handover.log" 2>&1 || fail "the hand-over failed: $(cat "$work/handover.log")"
  wait_until 20 says third "$told" || fail "opening the file did not tell it again: $(grep -v '^ALSA' "$work/third.log" | head -3)"
  shot "told-when-opened"
  [ "$(grep -cxF "Quorvanel: $told" "$work/third.log")" = 1 ] || fail "told more than once: $(cat "$work/third.log")"
  echo "e2e save cut off, told at the next start and when the file is opened: 1 passed, 0 failed"
  ;;
across)
  # The kernel copies nothing between two file systems: the copy and the
  # put-back go through the program's buffer.
  prepare 300 200
  refused_and_put_back first "after the first sync" QV_SHIM_FSYNC_FAILURES=1

  # Memory runs out midway through the new bytes: saved as MIDI, the file's bytes
  # go between a header and an end made as they are written.
  prepare 4096 4096
  preload=$earlier_shim
  start memory "$work/run" QV_EARLIER_ALLOC_FAIL=1
  find_window
  button="455 562"  # "MidiSave"
  save_over
  ended_or_closed() { grep -q 'earliershim: refused' "$work/memory.log" || ! kill -0 "$app"; }
  wait_until 60 ended_or_closed || fail "the save did not end: $(grep -v '^ALSA' "$work/memory.log" | tail -3)"
  if grep -q 'earliershim: refused 0 ' "$work/memory.log"; then
    [ -n "$asan" ] && { echo "SKIP: the sanitizer's allocator cannot be made to fail"; exit 77; }
    fail "no allocation was refused"
  fi
  shot "out-of-memory"
  kill -0 "$app" 2>/dev/null || fail "the program ended: $(grep -v '^ALSA' "$work/memory.log" | tail -3)"
  whole_at_both_names "$work/earlier.bin" || fail "the earlier bytes are not back whole"
  wait_until 20 grep -q 'unhandled exception: std::bad_alloc' "$work/memory.log" ||
    fail "the failure was not told: $(grep -v '^ALSA' "$work/memory.log" | tail -3)"
  [ -z "$(ls -A "$copies")" ] || fail "the copy of the earlier bytes stayed: $(ls -A "$copies")"
  echo "e2e in-place saves across file systems: 2 passed, 0 failed"
  ;;
messages)
  preload=$earlier_shim
  prepare 300 200
  start closed "$work/run" QV_EARLIER_CLOSE_FAIL=1
  find_window
  save_over
  holds="The file \"$target\" holds the new bytes, synced whole, but then closing it failed: Input/output error."
  wait_until 20 says closed "$holds" || fail "the failed close was not told as it is: $(grep -v '^ALSA' "$work/closed.log")"
  whole_at_both_names "$work/new.bin" || fail "the file does not hold the new bytes whole"
  [ -z "$(ls -A "$copies")" ] || fail "the copy of the earlier bytes stayed: $(ls -A "$copies")"
  stop

  prepare 300 200
  start kept "$work/run" QV_EARLIER_UNLINK_FAIL="$(realpath -m "$copies")/"
  find_window
  save_over
  wait_until 20 grep -q 'The copy of its earlier bytes' "$work/kept.log" ||
    fail "the copy left was not told: $(grep -v '^ALSA' "$work/kept.log")"
  copy="$copies/$(copies_left)"
  says kept "The file \"$target\" was saved. The copy of its earlier bytes could not be removed (Permission denied), and is left in \"$copy\"." ||
    fail "the message does not say the save succeeded and where the copy is: $(grep 'copy' "$work/kept.log")"
  whole_at_both_names "$work/new.bin" || fail "the file does not hold the new bytes whole"
  cmp -s "$work/earlier.bin" "$copy" || fail "the copy left does not hold the earlier bytes"
  echo "e2e messages of in-place saves: 2 passed, 0 failed"
  ;;
*)
  echo "unknown case $mode" >&2
  exit 2
  ;;
esac
