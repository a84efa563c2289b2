#!/usr/bin/env bash
# Installs the component library from BUILD_DIR into a temporary prefix, builds the example
# host against it twice (through find_package(Varnex) and through varnex.pc) and runs both as
# a host would, offscreen.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR GENERATOR
set -euo pipefail

build_dir=$1
source_dir=$2
generator=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_logged() {  # run_logged LOG COMMAND...: quiet unless it fails
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { echo "FAIL: $*"; cat "$log"; exit 1; }
}

prefix="$work/prefix"
run_logged "$work/install.log" cmake --install "$build_dir" --prefix "$prefix"
for file in include/varnex/varnex_widget.h include/varnex/component_library.h \
    include/varnex/message_box_port.h; do
  [ -f "$prefix/$file" ] || { echo "FAIL: $file was not installed"; exit 1; }
done
libdir=$(dirname "$(find "$prefix" -name 'libVarnex.so.1' | head -n1)")
[ -f "$libdir/cmake/Varnex/VarnexConfig.cmake" ] || { echo "FAIL: no CMake package"; exit 1; }
[ -f "$libdir/pkgconfig/varnex.pc" ] || { echo "FAIL: no varnex.pc"; exit 1; }

expected="Kestrova 1.00
picked: ''
can unload: yes"
check_host() {  # check_host PROGRAM
  local out
  out=$(LD_LIBRARY_PATH="$libdir" QT_QPA_PLATFORM=offscreen \
    "$1" "$source_dir/examples/header.xml" "$source_dir/examples/workorders.xml" --check 2>/dev/null)
  if [ "$out" != "$expected" ]; then
    echo "FAIL: $1 printed:"
    echo "$out"
    exit 1
  fi
}

run_logged "$work/configure.log" cmake -S "$source_dir/examples/host" -B "$work/host" \
  -G "$generator" -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix"
run_logged "$work/build.log" cmake --build "$work/host"
check_host "$work/host/varnex_host"
echo "PASS: find_package(Varnex) host"

if command -v pkg-config >/dev/null; then
  export PKG_CONFIG_PATH="$libdir/pkgconfig"
  # shellcheck disable=SC2046
  run_logged "$work/pc.log" c++ -std=c++20 -o "$work/host_pc" "$source_dir/examples/host/main.cpp" \
    $(pkg-config --cflags --libs varnex)
  check_host "$work/host_pc"
  echo "PASS: pkg-config host"
fi
