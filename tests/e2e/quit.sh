#!/usr/bin/env bash
# Quitting the built program under Xvfb, as a user does: Ctrl+Q, and File > Quit
# chosen with the mouse. Each ends the process with status 0.
#   quit.sh PROGRAM SCREENSHOT-FOLDER
program=$1
shots=$2
scenario=quit
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_x

launch shortcut
find_window
xdotool windowfocus --sync "$win"
xdotool key --clearmodifiers ctrl+q
ended "Ctrl+Q" shortcut

launch menu
find_window
click 20 $(( -top / 2 ))   # "File" on the menu bar
# The menu opens as a window of its own, its first item "Quit" just under the bar.
wait_until 10 sh -c "[ \$(xdotool search --onlyvisible --pid $app | wc -l) -ge 2 ]" || fail "the File menu did not open"
shot "file-menu"
click 30 12
ended "File > Quit" menu
echo "e2e quit: 2 passed, 0 failed"
