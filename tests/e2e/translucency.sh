#!/usr/bin/env bash
# The half-transparent window under Xvfb: with no compositor the window is opaque
# white; with xcompmgr running, a pixel outside the backdrop (the menu bar's strip)
# blends white at alpha 0.5 with what lies behind the window.
#   translucency.sh PROGRAM CLOSE-HELPER SCREENSHOT-FOLDER
program=$1
close_window=$2
shots=$3
scenario=translucency
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
command -v xcompmgr >/dev/null || { echo "SKIP: xcompmgr is not installed"; exit 77; }

start_x -br

# run_and_sample NAME: starts the program, samples the menu bar's strip right of
# its menus and the screen outside the window, then closes the window.
run_and_sample() {
  launch "$1"
  # find_window has seen the panel's edge on the screen; the strip is part of the
  # same first paint, which reaches the screen (or the compositor) in one piece.
  find_window
  shot "$1"
  local file=$(ls "$shots/$scenario"-*-"$1".png)
  strip=$(pixel 760 $(( top / 2 )) "$file")
  outside=$(pixel 900 700 "$file")
  "$close_window" "$win"
  ended "closing its window" "$1"
}

run_and_sample opaque
[ "$strip" = 255 ] || fail "without a compositor the window is not opaque white (red $strip)"

xcompmgr >"$work/xcompmgr.log" 2>&1 &
started+=($!)
# The program looks for the compositor once, when its window opens: wait until
# the window by which xcompmgr owns the compositing selection exists.
wait_until 20 xdotool search --name '^xcompmgr$' || fail "xcompmgr did not start: $(cat "$work/xcompmgr.log")"

run_and_sample composited
expected=$(( (255 + outside + 1) / 2 ))
[ "$strip" -lt 250 ] || fail "with a compositor the window does not let the screen through (red $strip)"
diff=$(( strip > expected ? strip - expected : expected - strip ))
[ "$diff" -le 12 ] || fail "the window's white does not blend at half opacity: $strip over $outside, expected about $expected"
echo "menu bar strip: red $strip over a screen of $outside (expected about $expected)"
echo "e2e translucency: 1 passed, 0 failed"
