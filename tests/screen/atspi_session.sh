#!/usr/bin/env bash
# Runs a command as it would run on a desktop with a screen reader: in a virtual X server, with
# a session bus, the accessibility bus (at-spi-bus-launcher) and Qt's accessibility switched on.
# Fails with the reason when the bus cannot start; skips (77) only without xvfb-run, as the
# other tests in a virtual X server do.
# Usage: atspi_session.sh COMMAND [ARG...]
set -euo pipefail

skip=77
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ -z "${VARNEX_IN_ATSPI_SESSION:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "SKIP: xvfb-run is not installed"; exit $skip; }
  command -v dbus-run-session >/dev/null || fail "dbus-run-session is missing (install dbus)"
  export VARNEX_IN_ATSPI_SESSION=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$0" "$@"
fi

launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || fail "$launcher is missing (install at-spi2-core)"
command -v dbus-send >/dev/null || fail "dbus-send is missing (install dbus)"
"$launcher" --launch-immediately >/dev/null 2>&1 &
launcher_pid=$!
trap 'kill "$launcher_pid" 2>/dev/null || true' EXIT
ready=
for _ in $(seq 1 100); do
  if dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
       org.a11y.Bus.GetAddress >/dev/null 2>&1; then
    ready=1
    break
  fi
  sleep 0.1
done
[ -n "$ready" ] || fail "the accessibility bus did not start (at-spi-bus-launcher)"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
"$@"
