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
# The documents load just after the window appears, so the pick is repeated until it holds.
picked=
for _ in $(seq 1 20); do
  click 40 $((126 + 2 * 22 + 11))
  # "Use picked order", left-aligned under the control.
  click 40 $((552 + margin + 12))
  if [ "$(tail -n1 "$work/out")" = "WO100002" ]; then picked=1; break; fi
done
[ -n "$picked" ] || { echo "FAIL: clicking line 3 and the button gave no WO100002"; cat "$work/out" "$work/err"; exit 1; }
# "Zoom In", the second button of the toolbar: the time ruler must change under it.
ruler="500x50+$((X + margin + 440))+$((Y + margin + 75))"
have_import=
command -v import >/dev/null && command -v compare >/dev/null && have_import=1
[ -n "$have_import" ] && import -window root -crop "$ruler" "$work/ruler-before.png"
click 52 24
if [ -n "$have_import" ]; then
  import -window root -crop "$ruler" "$work/ruler-after.png"
  if compare -metric AE "$work/ruler-before.png" "$work/ruler-after.png" null: 2>/dev/null; then
    echo "FAIL: the time ruler did not change after Zoom In"
    exit 1
  fi
fi
# Enter asks once more.
xdotool key --window "$window" Return
sleep 0.5

if [ -n "$have_import" ]; then
  import -window root "$out_dir/show.png"
else
  echo "note: ImageMagick's import is missing; no screenshot"
fi

kill -TERM "$pid"
wait "$pid" || { echo "FAIL: varnex show ended with an error"; cat "$work/err"; exit 1; }
pid=

expected=$'WO100002\nWO100002\nWO100002'
actual=$(tail -n3 "$work/out")
if [ "$actual" != "$expected" ]; then
  echo "FAIL: expected the third line's order three times (button, Enter, close), got:"
  cat "$work/out"
  cat "$work/err"
  exit 1
fi
echo "PASS: the host received WO100002 from the button, Enter and on closing"
