#!/usr/bin/env bash
# Installs everything from BUILD_DIR into a temporary prefix and moves the prefix elsewhere, so
# that nothing may depend on where it was installed. Then uses it as a developer would: runs the
# installed programs, asks the CMake package for versions it must accept and refuse, builds the
# example host (through find_package(Varnex) and through varnex.pc) and the example Designer form
# against it, and loads the Designer plugin the way Designer finds it, through QT_PLUGIN_PATH.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR GENERATOR [DESIGNER_CHECK]
#   DESIGNER_CHECK is the varnex_designer_check program; without it the plugin is not checked.
set -euo pipefail

build_dir=$1
source_dir=$2
generator=$3
designer_check=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_logged() {  # run_logged LOG COMMAND...: quiet unless it fails
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { echo "FAIL: $*"; cat "$log"; exit 1; }
}
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$3" != "$2" ]; then
    printf 'FAIL: %s printed:\n%s\nexpected:\n%s\n' "$1" "$3" "$2"
    exit 1
  fi
  echo "PASS: $1"
}

run_logged "$work/install.log" cmake --install "$build_dir" --prefix "$work/installed"
prefix="$work/moved"
mv "$work/installed" "$prefix"
for file in bin/varnex bin/varnex-generate \
    include/varnex/varnex_widget.h include/varnex/component_library.h \
    include/varnex/message_box_port.h \
    share/doc/varnex/LICENSE share/doc/varnex/THIRD-PARTY.md share/doc/varnex/CHANGELOG.md; do
  [ -f "$prefix/$file" ] || { echo "FAIL: $file was not installed"; exit 1; }
done
libdir=$(dirname "$(find "$prefix" -name 'libVarnex.so.1' | head -n1)")
for file in cmake/Varnex/VarnexConfig.cmake cmake/Varnex/VarnexConfigVersion.cmake \
    pkgconfig/varnex.pc; do
  [ -f "$libdir/$file" ] || { echo "FAIL: $file was not installed in $libdir"; exit 1; }
done
# Whatever an installed binary finds through its RUNPATH, it finds relative to itself.
while IFS= read -r binary; do
  runpath=$(readelf -d "$binary" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]/\2/p')
  for entry in ${runpath//:/ }; do
    # shellcheck disable=SC2016  # $ORIGIN is meant literally
    case $entry in
      '$ORIGIN'*) ;;
      *) echo "FAIL: ${binary#"$prefix"/} looks for libraries in $entry"; exit 1 ;;
    esac
  done
done < <(find "$prefix" -type f \( -perm -u+x -o -name '*.so*' \) -exec sh -c \
           'head -c4 "$1" | grep -q ELF' _ {} \; -print)

# The installed programs, run without LD_LIBRARY_PATH.
trace_summary() {  # trace_summary HEADER ORDERS: what `varnex trace` reports of a load and a pick
  jq -n -c --arg header "$1" --arg orders "$2" \
    '{call: "TimeSet", file: $header}, {call: "PopulateWorkOrder", file: $orders},
     {event: "grid", id: 3, args: [1, 0]}, {call: "OrderOut"}, {query: "grid"}' |
    "$prefix/bin/varnex" trace |
    jq -s -r '"returns: \([.[].return.call // empty] | join(" "))",
              "picked: \([.[].return | select(.call == "OrderOut") | .value.v] | first)",
              "lines: \([.[].state.rows // empty] | first | length)",
              "message boxes: \([.[].msgbox // empty] | length)",
              "errors: \([.[].error // empty] | length)"'
}
expect "installed varnex trace of the example run" \
  "returns: TimeSet PopulateWorkOrder OrderOut
picked: WO100000
lines: 300
message boxes: 0
errors: 0" \
  "$(trace_summary "$source_dir/examples/header.xml" "$source_dir/examples/workorders.xml")"
run_logged "$work/generate.log" "$prefix/bin/varnex-generate" --orders 25 --seed 3 \
  "$work/header.xml" "$work/orders.xml"
first_order=$(grep -o -m1 'docuemntno="[^"]*"' "$work/orders.xml" | cut -d'"' -f2)
expect "installed varnex trace of a generated run" \
  "returns: TimeSet PopulateWorkOrder OrderOut
picked: $first_order
lines: 25
message boxes: 0
errors: 0" \
  "$(trace_summary "$work/header.xml" "$work/orders.xml")"

# The package's version file accepts 1.x and refuses other majors, having looked at 1.0.
mkdir "$work/version"
cat >"$work/version/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(VarnexVersionCheck LANGUAGES CXX)
foreach(wanted 1.0 2.0 0.9)
  find_package(Varnex ${wanted} QUIET)
  message(STATUS "Varnex ${wanted}: ${Varnex_FOUND}, considered ${Varnex_CONSIDERED_VERSIONS}")
  unset(Varnex_FOUND)
  unset(Varnex_DIR CACHE)
endforeach()
CMAKE
cmake -S "$work/version" -B "$work/version/build" -DCMAKE_PREFIX_PATH="$prefix" \
  >"$work/version.log" 2>&1 || { cat "$work/version.log"; exit 1; }
expect "find_package(Varnex VERSION)" \
  "-- Varnex 1.0: 1, considered 1.0
-- Varnex 2.0: 0, considered 1.0
-- Varnex 0.9: 0, considered 1.0" \
  "$(grep '^-- Varnex ' "$work/version.log")"

host_expected="Kestrova 1.00
picked: ''
can unload: yes"
run_host() {  # run_host PROGRAM: the program's offscreen check run on the example documents,
              # its output redirected to a file as a host's log is
  LD_LIBRARY_PATH="$libdir" QT_QPA_PLATFORM=offscreen \
    "$1" "$source_dir/examples/header.xml" "$source_dir/examples/workorders.xml" --check \
    >"$work/host.log" 2>/dev/null
  cat "$work/host.log"
}

run_logged "$work/configure.log" cmake -S "$source_dir/examples/host" -B "$work/host" \
  -G "$generator" -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix"
run_logged "$work/build.log" cmake --build "$work/host"
expect "find_package(Varnex) host" "$host_expected" "$(run_host "$work/host/varnex_host")"

if command -v pkg-config >/dev/null; then
  export PKG_CONFIG_PATH="$libdir/pkgconfig"
  # shellcheck disable=SC2046
  run_logged "$work/pc.log" c++ -std=c++20 -o "$work/host_pc" "$source_dir/examples/host/main.cpp" \
    $(pkg-config --cflags --libs varnex)
  expect "pkg-config host" "$host_expected" "$(run_host "$work/host_pc")"
fi

run_logged "$work/form-configure.log" cmake -S "$source_dir/examples/designer_form" \
  -B "$work/form" -G "$generator" -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix"
run_logged "$work/form-build.log" cmake --build "$work/form"
expect "uic-compiled Designer form" "Kestrova 1.00: Zeb_Varnex
sizing: Fill, at least 965x552
picked: ''" "$(run_host "$work/form/varnex_designer_form")"

if [ -n "$designer_check" ]; then
  plugin=$(find "$prefix" -path '*/designer/*.so' | head -n1)
  [ -n "$plugin" ] || { echo "FAIL: no Designer plugin was installed"; exit 1; }
  loaded=$(ldd "$plugin" | sed -n 's/^\s*libVarnex\.so\.1 => \(.*\) (0x.*/\1/p')
  if [ -z "$loaded" ] || [ "$(realpath "$loaded")" != "$(realpath "$libdir/libVarnex.so.1")" ]; then
    echo "FAIL: the Designer plugin loads '$loaded', not the installed library"
    exit 1
  fi
  out=$(QT_PLUGIN_PATH=$(dirname "$(dirname "$plugin")") QT_QPA_PLATFORM=offscreen \
    "$designer_check" 2>/dev/null) || true
  expect "Designer plugin" "file $(basename "$plugin")
class varnex::control::VarnexWidget
group Kestrova
include varnex/varnex_widget.h
object Zeb_Varnex 965x552
icon 16x15 48x45
created varnex::control::VarnexWidget 965x552 with ctWOSched
property sizing Fixed of Fixed Fill" "$out"
fi
