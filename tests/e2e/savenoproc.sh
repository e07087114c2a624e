#!/usr/bin/env bash
# A save where /proc is not mounted, as in a chroot or a sandbox: the built program
# runs under Xvfb in a mount namespace of its own with an empty /proc, and saves
# over another user's file with a second name. The file keeps its mode, owner and
# other name, which holds the new bytes too.
#   savenoproc.sh PROGRAM SCREENSHOT-FOLDER
program=$1
shots=$2
scenario=savenoproc
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
[ "$(id -u)" = 0 ] || { echo "SKIP: only root can hide /proc in a mount namespace"; exit 77; }
why=$(unshare --mount --propagation private sh -c 'mount -t tmpfs none /proc' 2>&1) ||
  { echo "SKIP: this machine gives no mount namespace without /proc: $why"; exit 77; }

start_x

mkdir -p "$work/files"
head -c 3000 /dev/urandom >"$work/files/new.bin"
printf 'earlier contents' >"$work/files/song.mid"
ln "$work/files/song.mid" "$work/files/second.mid"
chown 12345:23456 "$work/files/song.mid"
chmod 0600 "$work/files/song.mid"

cat >"$work/noproc.sh" <<'EOF'
#!/bin/sh
# The program with an empty /proc of its own.
exec unshare --mount --propagation private sh -c 'mount -t tmpfs none /proc && exec "$0" "$@"' "$@"
EOF
chmod +x "$work/noproc.sh"
real_program=$program
program="$work/noproc.sh"
launch first "$real_program" "$work/files/new.bin"
find_window

click 640 433  # "BinaryFile Save"
# The dialog asks whether to replace the file, in a box of its own title: yes.
wait_until 20 xdotool search --onlyvisible --name '^Save As$' || fail "no save dialog appeared"
dialog=$(xdotool search --onlyvisible --name '^Save As$' | head -1)
focused() { xdotool windowfocus "$dialog"; [ "$(xdotool getwindowfocus -f)" = "$dialog" ]; }
wait_until 20 focused || fail "the save dialog did not take the focus"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 10 "$work/files/song.mid"
xdotool key Return
asked() { [ "$(xdotool search --onlyvisible --name '^Save As$' | wc -l)" -ge 2 ]; }
wait_until 10 asked || fail "the dialog did not ask whether to replace the file"
shot "asked"
xdotool key --clearmodifiers alt+y
wait_until 10 sh -c "! xdotool search --onlyvisible --name '^Save As\$'" || fail "the save dialog stayed open"
wait_until 20 sh -c "cmp -s '$work/files/new.bin' '$work/files/song.mid' || grep -q 'could not be saved' '$applog'" ||
  fail "the save wrote nothing: $(grep -v '^ALSA' "$applog" | tail -3)"
shot "saved"
if grep -q 'could not be saved' "$applog"; then fail "the save failed: $(grep 'could not be saved' "$applog")"; fi
cmp -s "$work/files/new.bin" "$work/files/song.mid" || fail "the file does not hold the saved bytes"
[ "$(stat -c '%a %u %g %h' "$work/files/song.mid")" = "600 12345 23456 2" ] ||
  fail "mode, owner or names lost: $(stat -c '%a %u %g %h' "$work/files/song.mid")"
cmp -s "$work/files/new.bin" "$work/files/second.mid" || fail "the second name keeps the earlier bytes"
[ "$(ls -A "$work/files")" = "$(printf 'new.bin\nsecond.mid\nsong.mid')" ] ||
  fail "files were left beside it: $(ls -A "$work/files")"
kill -0 "$app" 2>/dev/null || fail "the program ended"
echo "e2e save without /proc: 1 passed, 0 failed"
