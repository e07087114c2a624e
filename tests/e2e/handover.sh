#!/usr/bin/env bash
# Launches that hand their files to the running window, on the built program under
# Xvfb, watched as a desktop that shows launch feedback watches the root window:
# the running window ends such a launch's feedback and asks to come to the front as
# of the launch's time; a launch whose file the window did not take ends its own
# feedback; a launch without a display hands over all the same; and a first launch
# that has no display to open its window on says so in one line and ends with
# status 1, leaving no lock or socket behind (while one that starts still shows
# what Qt said as it started).
#   handover.sh PROGRAM STARTUPINFO-HELPER CLOSE-HELPER SCREENSHOT-FOLDER
program=$1
startupinfo=$2
close_window=$3
shots=$4
scenario=handover
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_x
unset WAYLAND_DISPLAY
"$startupinfo" >"$work/info.txt" 2>&1 &
started+=($!)
seen() { grep -qxF -- "$1" "$work/info.txt"; }
wait_until 10 seen ready || fail "the root window watcher did not start: $(cat "$work/info.txt")"
printf 'one\n' >"$work/a.bin"

DESKTOP_STARTUP_ID=first_TIME100 launch first "$work/a.bin"
find_window
wait_until 10 seen "remove: ID=first_TIME100" || fail "the first launch did not end its own feedback"

# ran EXPECTED-STATUS LOGNAME [VAR=VALUE | -u VAR]... : a launch of a.bin in that
# environment.
ran() {
  local expected=$1 log=$2 status=0; shift 2
  env "$@" timeout 30 "$program" "$work/a.bin" >"$work/$log.log" 2>&1 || status=$?
  [ "$status" = "$expected" ] || fail "the $log launch ended with status $status: $(head -3 "$work/$log.log")"
}
ran 0 second 'DESKTOP_STARTUP_ID=hand "over" 1_TIME4242'
wait_until 10 seen 'remove: ID="hand \"over\" 1_TIME4242"' ||
  fail "the running window did not end the second launch's feedback: $(cat "$work/info.txt")"
seen "activate: 4242" || fail "the running window did not ask to come to the front as of the launch's time"

ran 0 no-display -u DISPLAY DESKTOP_STARTUP_ID=nodisplay_TIME77
wait_until 10 seen "remove: ID=nodisplay_TIME77" || fail "the launch without a display handed nothing over"

# A path too long for the message: nothing is handed over, and the launch ends
# its own feedback.
long=/$(head -c 5000 /dev/zero | tr '\0' l)
status=0
DESKTOP_STARTUP_ID=refused_TIME7 timeout 30 "$program" "$long" >"$work/refused.log" 2>&1 || status=$?
[ "$status" = 1 ] || fail "the launch whose file was not taken ended with status $status"
wait_until 10 seen "remove: ID=refused_TIME7" || fail "the launch whose file was not taken left its feedback on: $(cat "$work/info.txt" "$work/refused.log")"

"$close_window" "$win" || fail "the close request could not be sent"
ended "closing its window" first
for case in "-u DISPLAY|there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set)" \
            "DISPLAY=:9999|the display cannot be reached (DISPLAY=:9999)"; do
  # shellcheck disable=SC2086
  ran 1 no-window ${case%%|*}
  [ "$(cat "$work/no-window.log")" = "Quorvanel: cannot open a window: ${case#*|}" ] ||
    fail "a first launch with ${case%%|*} said: $(head -5 "$work/no-window.log")"
  [ -z "$(ls "$XDG_RUNTIME_DIR" | grep quorvanel)" ] || fail "left behind: $(ls "$XDG_RUNTIME_DIR")"
done
# What Qt says while it starts is held back only until it has started.
QT_QPA_PLATFORM='nosuch;offscreen' launch held
wait_until 20 grep -q 'Could not find the Qt platform plugin "nosuch"' "$applog" ||
  fail "Qt's words while it started were lost: $(head -3 "$applog")"
echo "e2e handover: 1 passed, 0 failed"
