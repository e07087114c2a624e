#!/bin/bash
# Shows the main window under a private Xvfb, screenshots the screen and checks
# that the window is 800 x 600 of content with its controls in place, its icons
# pixel for pixel, its black keys 14 wide and its pressed button plain to see. Usage: check.sh DRIVER OUTPUT.png [SCALE]
program=$1
shot=$2
scale=${3:-1}
shots=$(dirname "$shot")
scenario=screenshot-check
screen=$((1024 * scale))x$((768 * scale))x24
source "$(dirname "${BASH_SOURCE[0]}")/../../e2e/lib.sh"

start_x
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale
launch driver "$work/report.txt"
wait_until 30 grep -q '^unhandled' "$work/report.txt" || fail "the window did not come up: $(cat "$work/driver.log")"
mkdir -p "$shots"
import -window root "$shot" || fail "no screenshot"

report() { grep "^$1 " "$work/report.txt" | cut -d' ' -f2- || true; }
[ "$(report unhandled)" = 0 ] || fail "exceptions while building the window"
[ -z "${QUORVANEL_TEST_MONOSPACE:-}" ] || [ "$(report font)" = "$QUORVANEL_TEST_MONOSPACE" ] ||
    fail "the hex view is set in $(report font), not in the preferred $QUORVANEL_TEST_MONOSPACE"
[ "$(report icons)" = "33 33" ] || fail "icons shown pixel for pixel: $(report icons)"

# The window as the X server has it: its content is 800 x 600, the menu bar above.
read -r cx cy cw ch <<<"$(report content)"
[ "$cw $ch" = "800 600" ] || fail "content is $cw x $ch"
win=$(xdotool search --name '^Quorvanel$' | head -1 || true)
[ -n "$win" ] || fail "no window titled Quorvanel"
read -r xw xh <<<"$(xwininfo -id "$win" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')"
menu=$((cy - $(report window | cut -d' ' -f2)))
[ "$xw" -eq $((800 * scale)) ] || fail "X window is $xw wide"
[ "$xh" -eq $(((600 + menu) * scale)) ] || fail "X window is $xh high, menu bar $menu"

# Every control on a real display at the place the window test checks offscreen,
# sampled by the corners of the panel and of the keyboard's rows.
while read -r name left top width height; do
    got=$(report "$name")
    [ "$got" = "$left $top $width $height" ] || fail "$name at $got, not $left $top $width $height"
done <<'TABLE'
Rectangle1 96 415 458 165
BBV(13) 347 509 14 16
BinaryTa 159 26 377 380
PianoCV 142 450 395 47
BBD(15) 377 527 14 16
TABLE

# Telling pixels of the screenshot: the white keys beside the black keys C#4 and
# D#4 and the outer edges of these two (C#4 spans x 164 to 178 of the keyboard,
# D#4 178 to 192), and the panel frame's light top edge.
pixel() {
    local x=$(((cx + $1) * scale)) y=$(((cy + $2) * scale))
    convert-im6.q16 "$shot" -format "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]" -crop "1x1+$x+$y" info:
}
for x in 163 192; do
    read -r r g b <<<"$(pixel $((142 + x)) $((450 + 10)))"
    [ "$r" -gt 200 ] && [ "$g" -gt 200 ] && [ "$b" -gt 200 ] || fail "white key at $x is $r $g $b"
done
for x in 164 191; do
    read -r r g b <<<"$(pixel $((142 + x)) $((450 + 10)))"
    [ "$r" -lt 90 ] && [ "$g" -lt 90 ] && [ "$b" -lt 90 ] || fail "black key at $x is $r $g $b"
done
read -r r g b <<<"$(pixel 300 415)"
[ "$r $g $b" = "213 213 213" ] || fail "panel frame's top edge is $r $g $b"
# The note length in force, BBD(4), beside BBD(3) raised: its face, right of the
# note's stem, clearly darker, and its top edge darker still.
read -r raised _ <<<"$(pixel $((197 + 11)) $((527 + 4)))"
read -r face _ <<<"$(pixel $((212 + 11)) $((527 + 4)))"
read -r edge _ <<<"$(pixel $((212 + 11)) 527)"
[ $((raised - face)) -ge 60 ] && [ $((face - edge)) -ge 60 ] ||
    fail "the pressed button is not clearly darker and sunk in: face $face beside $raised, top edge $edge"
echo "window $xw x $xh (menu bar $menu), content 800 x 600, controls in place, 33 icons exact: $shot"
