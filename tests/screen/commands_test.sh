#!/usr/bin/env bash
# The screen commands of the varnex program without a display: help, clear errors for bad
# files and options, PNG and PDF output, picking and zooming, message boxes printed instead of
# waited for, and trace staying headless.
# Usage: commands_test.sh VARNEX EXAMPLES_DIR
set -euo pipefail

varnex=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
header="$examples/header.xml"
orders="$examples/workorders.xml"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# expect CODE NAME COMMAND...: runs without any display; output in $work/out and $work/err
expect() {
  local code=$1 name=$2
  shift 2
  local actual=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$work/out" 2>"$work/err" || actual=$?
  [ "$actual" -eq "$code" ] || { fail "$name: exit $actual, expected $code"; cat "$work/err"; }
}

png_size() {  # the width and height in a PNG's header
  od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }'
}

# Help: every command answers --help on stdout; trace lists its commands, render its exit statuses
for command in "" trace show render; do
  expect 0 "${command:-varnex} --help" "$varnex" $command --help
  grep -q "^Usage: varnex ${command:-COMMAND}" "$work/out" || fail "${command:-varnex} --help prints no usage"
  case $command in
    trace) grep -q '{"inject":"fail"' "$work/out" || fail "trace --help does not list the commands" ;;
    render) grep -q "^3 when it was written but the control showed" "$work/out" ||
      fail "render --help does not document exit status 3" ;;
  esac
done
expect 2 "render without -o" "$varnex" render "$header" "$orders"
grep -q "\-o FILE is required" "$work/err" || fail "no word about the missing -o"
expect 2 "render to .jpg" "$varnex" render "$header" "$orders" -o "$work/board.jpg"
expect 2 "unknown option" "$varnex" render "$header" "$orders" -o "$work/b.png" --frobnicate
expect 2 "--pick 0" "$varnex" render "$header" "$orders" -o "$work/b.png" --pick 0
for bad in "" 0 -4 12x; do
  expect 2 "trace --elide '$bad'" "$varnex" trace --elide ${bad:+"$bad"}
  grep -q "^varnex trace: --elide needs a" "$work/err" || fail "trace --elide '$bad' is not explained"
done
expect 2 "trace with an unknown option" "$varnex" trace --frobnicate

# Missing and unreadable documents are named, for both commands, before any window opens
expect 2 "missing header" "$varnex" render "$work/nothing.xml" "$orders" -o "$work/b.png"
grep -q "nothing.xml: no such file" "$work/err" || fail "missing file not named: $(cat "$work/err")"
expect 2 "show with a missing file" "$varnex" show "$header" "$work/nothing.xml"
grep -q "nothing.xml: no such file" "$work/err" || fail "show: missing file not named"
if [ "$(id -u)" -ne 0 ]; then
  echo '<x/>' >"$work/locked.xml" && chmod 000 "$work/locked.xml"
  expect 2 "unreadable file" "$varnex" render "$header" "$work/locked.xml" -o "$work/b.png"
  grep -q "cannot be read" "$work/err" || fail "unreadable file not explained"
fi

# PNG: the control's surface, zoomed and with a picked line whose order is printed
expect 0 "render png" "$varnex" render "$header" "$orders" -o "$work/board.png" --pick 3 --zoom-in 2 --zoom-out 1
[ "$(png_size "$work/board.png")" = "965x552" ] || fail "board.png is $(png_size "$work/board.png"), not 965x552"
[ "$(cat "$work/out")" = "WO100002" ] || fail "--pick 3 printed '$(cat "$work/out")'"
# --size: a filled board of that size; too small, malformed, huge or for a PDF is refused
expect 0 "render png --size" "$varnex" render "$header" "$orders" -o "$work/filled.png" --size 1920x1080
[ "$(png_size "$work/filled.png")" = "1920x1080" ] || fail "filled.png is $(png_size "$work/filled.png")"
for size in 964x552 965x551 1920 1920x 0x0 -1x600 12x34x56 99999x99999; do
  expect 2 "--size $size" "$varnex" render "$header" "$orders" -o "$work/b.png" --size "$size"
  grep -q "^varnex render: --size needs WIDTHxHEIGHT from 965x552 to 8192x8192, not '$size'" "$work/err" ||
    fail "--size $size is not explained: $(head -n1 "$work/err")"
done
[ -e "$work/b.png" ] && fail "a refused --size wrote an image"
expect 2 "--size for a PDF" "$varnex" render "$header" "$orders" -o "$work/b.pdf" --size 1000x600
grep -q "PNG output only" "$work/err" || fail "--size for a PDF is not explained"
expect 2 "pick past the end" "$varnex" render "$header" "$orders" -o "$work/b.png" --pick 301
grep -q "no line 301" "$work/err" || fail "a pick past the end is not explained"

# PDF: the whole run over several pages, quietly when standard error is no terminal and with
# the pages done when it is one
expect 0 "render pdf" "$varnex" render "$header" "$orders" -o "$work/run.pdf"
head -c 5 "$work/run.pdf" | grep -q '%PDF-' || fail "run.pdf is no PDF"
pages=$(grep -a -c '/Type /Page$\|/Type /Page[^s]' "$work/run.pdf" || true)
[ "$pages" -ge 2 ] || fail "run.pdf has $pages pages for 300 lines"
grep -q "pages" "$work/err" && fail "progress printed into a file: $(cat "$work/err")"
if command -v script >/dev/null; then
  script -qec "'$varnex' render '$header' '$orders' -o '$work/tty.pdf'" /dev/null >"$work/tty" 2>&1 </dev/null || true
  grep -q "printed $pages of $pages pages" "$work/tty" || fail "no progress on a terminal: $(cat "$work/tty")"
fi

# A document the control refuses: every box goes to stderr, the image is still written, and the
# exit status says a box was shown
printf '<?xml version="1.0"?>\n<workorders><wo docuemntno="W\xff1"/></workorders>\n' >"$work/bad.xml"
expect 3 "render a refused document" "$varnex" render "$header" "$work/bad.xml" -o "$work/refused.png"
grep -q '^varnex render: message box "Kestrova": The work-order document is not text: it holds a broken character' "$work/err" ||
  fail "the refusal was not printed: $(cat "$work/err")"
grep -q '^varnex render:   detail: work-order document, line 2, column ' "$work/err" ||
  fail "the refusal's detail was not printed: $(cat "$work/err")"
[ "$(png_size "$work/refused.png")" = "965x552" ] || fail "no image after a refused document"
expect 3 "render two refused documents" "$varnex" render "$work/bad.xml" "$work/bad.xml" -o "$work/b.png"
[ "$(grep -c '^varnex render: message box' "$work/err")" -eq 2 ] || fail "not every box was printed: $(cat "$work/err")"

# trace needs no display platform at all
printf '{"call":"OrderOut"}\n' >"$work/script"
expect 0 "trace without a display" env QT_QPA_PLATFORM=xcb "$varnex" trace "$work/script"
grep -q '"OrderOut"' "$work/out" || fail "trace printed nothing"

[ "$failures" -eq 0 ] && echo "PASS" || exit 1
