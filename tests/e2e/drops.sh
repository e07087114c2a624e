#!/usr/bin/env bash
# Files dropped on the built program under Xvfb as a file manager drops them (XDND,
# text/uri-list): a URL with the host localhost opens the file, one with another
# host is turned away, and a percent-encoded name that is not UTF-8 opens the file
# of those bytes, not the decoy that decoding them as text would name. What the
# window shows is read back by saving it through the real dialog.
#   drops.sh PROGRAM DROP-HELPER SCREENSHOT-FOLDER
program=$1
drop_uri=$2
shots=$3
scenario=drops
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_x

printf 'first' >"$work/first.bin"
printf 'local' >"$work/local.bin"
printf 'not utf-8' >"$work/bad$(printf '\377').bin"
printf 'decoy' >"$work/bad$(printf '\357\277\275').bin"
launch drops "$work/first.bin"
find_window

saved=0
# shows BYTES-FILE: the window shows that file's bytes, read back by a raw save.
shows() {
  saved=$(( saved + 1 ))
  click 640 433  # "BinaryFile Save"
  save_as "$work/saved-$saved.bin"
  cmp -s "$1" "$work/saved-$saved.bin" || fail "the window shows $(head -c 40 "$work/saved-$saved.bin"), not the bytes of $1"
}

# drop URI: drops it on the window's background, left of the columns; the status
# of the drop helper (0 taken, 3 turned away) is in $status.
drop() {
  status=0
  "$drop_uri" "$win" 20 $(( 300 + top )) "$1" || status=$?
}

# Back to back, so that nothing but the URL tells the two apart.
drop "file://localhost$work/local.bin"
[ "$status" = 0 ] || fail "a file://localhost URL was not taken (status $status)"
drop "file://otherhost$work/first.bin"
[ "$status" = 3 ] || fail "a URL of another host was not turned away (status $status)"
shows "$work/local.bin"
shot "localhost"

# Right after a save dialog the window may turn drops away for a moment.
wait_until 10 "$drop_uri" "$win" 20 $(( 300 + top )) "file://$work/bad%FF.bin" || fail "a name that is not UTF-8 was not taken"
shows "$work/bad$(printf '\377').bin"
shot "not-utf-8"
echo "e2e drops: 3 passed, 0 failed"
