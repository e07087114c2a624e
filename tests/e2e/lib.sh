# Shared helpers of the end-to-end scripts: a private X server and runtime folder,
# the program started and watched, clicks at window coordinates, the real file
# dialog driven by typing, screenshots. Everything started here is ended on exit.
set -euo pipefail

for tool in Xvfb xdotool import convert-im6.q16; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done

# A run repeated under a monospace family of its own (QUORVANEL_TEST_MONOSPACE,
# preferred by the FONTCONFIG_FILE it is given) says nothing of that family unless
# the family is installed and comes first.
if [ -n "${QUORVANEL_TEST_MONOSPACE:-}" ]; then
  command -v fc-match >/dev/null 2>&1 || { echo "SKIP: fc-match is not installed"; exit 77; }
  monospace=$(fc-match -f '%{family[0]}' monospace 2>/dev/null || true)
  [ "$monospace" = "$QUORVANEL_TEST_MONOSPACE" ] ||
    { echo "SKIP: $QUORVANEL_TEST_MONOSPACE is not installed (monospace gives \"$monospace\")"; exit 77; }
fi

work=$(mktemp -d)
chmod 700 "$work"
started=()
also_removed=()

cleanup() {
  local status=$? i
  for (( i=${#started[@]}-1; i>=0; i-- )); do kill "${started[$i]}" 2>/dev/null || true; done
  for i in "${started[@]}"; do wait "$i" 2>/dev/null || true; done
  rm -rf "$work" "${also_removed[@]}"
  exit "$status"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -n "${shots:-}" ] && shot "failure" || true
  exit 1
}

# wait_until SECONDS COMMAND...: polls until the command succeeds.
wait_until() {
  local end=$(( $(date +%s%N) + $1 * 1000000000 )); shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s%N)" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# start_x [extra Xvfb options]: a server of our own on a free display, its screen
# $screen if set, never reset when its last client leaves: a relaunch could meet it
# resetting and fail to connect.
start_x() {
  mkfifo "$work/displayfd"
  Xvfb -displayfd 3 -screen 0 "${screen:-1024x768x24}" -nolisten tcp -noreset "$@" 3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
  started+=($!)
  local number
  read -r -t 20 number <"$work/displayfd" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$number"
  mkdir -p "$work/run" "$work/home"
  chmod 700 "$work/run"
  export XDG_RUNTIME_DIR="$work/run" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
  # The program is driven on the real X11 platform, not the tests' offscreen one.
  unset QT_QPA_PLATFORM
}

# state_on_disk: the program's state folder, where it keeps the earlier bytes of a
# file it rewrites, in $states: the home's, as for a user who set none, unless
# that is held in memory (which the program refuses), then one of the run's own
# in /var/tmp, removed on exit. Call after start_x.
state_on_disk() {
  in_memory() { case $(stat -f -c %T "$1") in tmpfs|ramfs) return 0 ;; esac; return 1; }
  unset XDG_STATE_HOME
  states="$HOME/.local/state/quorvanel"
  in_memory "$work" || return 0
  local disk
  disk=$(mktemp -d /var/tmp/quorvanel-e2e.XXXXXX) || fail "no folder in /var/tmp"
  also_removed+=("$disk")
  in_memory "$disk" && { echo "SKIP: no folder here outlasts a restart"; exit 77; }
  export XDG_STATE_HOME="$disk"
  states="$disk/quorvanel"
}

# launch LOGNAME ARGS...: starts the program; its pid goes to $app.
launch() {
  local log=$1; shift
  applog="$work/$log.log"
  "$program" "$@" >"$applog" 2>&1 &
  app=$!
  started+=("$app")
}

# The main window's id, once it is mapped and painted, in $win; the content's top in $top.
find_window() {
  wait_until 30 xdotool search --onlyvisible --name '^Quorvanel$' || fail "no main window appeared: $(grep -v '^ALSA' "$applog" | head -3)"
  win=$(xdotool search --onlyvisible --name '^Quorvanel$' | head -1)
  local height=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')
  # The 800 x 600 content sits under the menu bar, the window at the screen's corner.
  top=$(( height - 600 ))
  # Painted once the input panel's light top edge shows: unpainted, the window shows
  # what lies behind it, none of this grey.
  panel_edge_shows() { [ "$(most r 300 415 1 1)" = 213 ]; }
  wait_until 20 panel_edge_shows || fail "the main window was not painted"
}

# ended HOW LOGNAME: waits for the program to end and checks its status is 0.
ended() {
  wait_until 20 sh -c "! kill -0 $app" || fail "$1 did not end the program"
  local status=0
  wait "$app" || status=$?
  [ "$status" = 0 ] || fail "$1 ended the program with status $status: $(tail -5 "$work/$2.log")"
}

# click X Y: a left click at content coordinates of the main window, once the
# pointer is there. The callers wait for what it does.
click() {
  local x=$1 y=$(( $2 + top ))
  xdotool mousemove "$x" "$y"
  wait_until 10 sh -c "xdotool getmouselocation | grep -q '^x:$x y:$y '" || fail "the pointer did not reach $x $y"
  xdotool click 1
}

shot_count=0
rm -f "${shots:?}/${scenario:?}"-*.png 2>/dev/null || true
shot() {
  shot_count=$(( shot_count + 1 ))
  mkdir -p "$shots"
  import -window root "$(printf '%s/%s-%02d-%s.png' "$shots" "$scenario" "$shot_count" "$1")"
}

# answer_save PATH: answers the open save dialog by typing the path, whatever
# comes of the save.
answer_save() {
  wait_until 20 xdotool search --onlyvisible --name '^Save As$' || fail "no save dialog appeared"
  local dialog=$(xdotool search --onlyvisible --name '^Save As$' | head -1)
  # Keys go to the window with the input focus, and in the dialog to its name field.
  focused() { xdotool windowfocus "$dialog"; [ "$(xdotool getwindowfocus -f)" = "$dialog" ]; }
  wait_until 20 focused || fail "the save dialog did not take the focus"
  shot "dialog"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 10 "$1"
  xdotool key Return
  wait_until 10 sh -c "! xdotool search --onlyvisible --name '^Save As\$'" || fail "the save dialog stayed open"
}

# save_as PATH: answers the save dialog, and the file must be written.
save_as() {
  answer_save "$1"
  wait_until 20 test -f "$1" || fail "the dialog wrote no file at $1"
}

# most EXPRESSION X Y WIDTH HEIGHT: the largest value (0-255) that the ImageMagick
# expression takes over a rectangle of the main window's content, on the screen now.
most() {
  import -window root "$work/now.png"
  convert-im6.q16 "$work/now.png" -crop "$4x$5+$2+$(( $3 + top ))" +repage -fx "$1" \
    -format '%[fx:int(255*maxima+0.5)]' info:
}

# pixel X Y FILE: the red channel (0-255) of a screen pixel in a screenshot.
pixel() {
  convert-im6.q16 "$3" -format "%[fx:int(255*p{$1,$2}.r+0.5)]" info:
}
