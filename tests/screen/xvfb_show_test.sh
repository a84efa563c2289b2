#!/usr/bin/env bash
# Drives `varnex show` in a virtual X server as a planner would: clicks a line of the grid,
# presses "Zoom In" and the host's "Use picked order" button, presses Enter, closes the window,
# and checks every order number the host printed. Leaves a screenshot in OUT_DIR.
# Usage: xvfb_show_test.sh VARNEX EXAMPLES_DIR OUT_DIR
set -euo pipefail

varnex=$1
examples=$2
out_dir=$3
skip=77

for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $skip; }
done

if [ -z "${VARNEX_IN_XVFB:-}" ]; then
  export VARNEX_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

mkdir -p "$out_dir"
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
"$varnex" show "$examples/header.xml" "$examples/workorders.xml" >"$work/out" 2>"$work/err" &
pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name "Kestrova host" | head -n1) || {
  echo "FAIL: the host window did not appear"; cat "$work/err"; exit 1
}
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
sleep 1

# The host window holds the control at (8, 8) and the button 8 pixels under its 552 rows.
margin=8
click() {  # click X Y, in the control's coordinates
  xdotool mousemove --sync $((X + margin + $1)) $((Y + margin + $2)) click 1
  sleep 0.4
}
# The grid's third line; its rows start 126 pixels down the control and are 22 pixels high.
click 40 $((126 + 2 * 22 + 11))
# "Zoom In", the second button of the toolbar.
click 52 24
# "Use picked order", left-aligned under the control.
click 40 $((552 + margin + 12))
# Enter asks once more.
xdotool key --window "$window" Return
sleep 0.5

if command -v import >/dev/null; then
  import -window root "$out_dir/show.png"
else
  echo "note: ImageMagick's import is missing; no screenshot"
fi

kill -TERM "$pid"
wait "$pid" || { echo "FAIL: varnex show ended with an error"; cat "$work/err"; exit 1; }
pid=

expected=$'WO100002\nWO100002\nWO100002'
actual=$(cat "$work/out")
if [ "$actual" != "$expected" ]; then
  echo "FAIL: expected the third line's order three times (button, Enter, close), got:"
  cat "$work/out"
  cat "$work/err"
  exit 1
fi
echo "PASS: the host received WO100002 from the button, Enter and on closing"
