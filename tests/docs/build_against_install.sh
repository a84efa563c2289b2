#!/usr/bin/env bash
# Builds the complete host of docs/embedding.md as an integrator would, against the package
# installed under PREFIX: its source, its CMakeLists.txt (find_package(Varnex 1.0) and
# Varnex::Varnex) and its build commands are taken from the page into BUILDDIR and run there,
# and so is its pkg-config command line when pkg-config is installed.
# Usage: build_against_install.sh PREFIX BUILDDIR
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 PREFIX BUILDDIR" >&2; exit 2; }
prefix=$(cd "$1" && pwd)
mkdir -p "$2"
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

cmake -DMODE=extract -DPAGE="$here/../../docs/embedding.md" -DOUT="$build" -P "$here/doc_examples.cmake"
for file in CMakeLists.txt embedding_host.cpp build_host.sh build_host_pkgconfig.sh; do
  [ -f "$build/$file" ] || { echo "FAIL: docs/embedding.md has no example $file"; exit 1; }
done

run_logged() {  # run_logged WHAT SCRIPT [NAME=VALUE...]: runs a script of the page in BUILDDIR
  if ! (cd "$build" && env "${@:3}" bash -e "$2") >"$build/$1.log" 2>&1; then
    cat "$build/$1.log"
    echo "FAIL: the $1 of docs/embedding.md does not work against $prefix"
    exit 1
  fi
}

run_logged "CMake build" build_host.sh VARNEX_PREFIX="$prefix"
[ -x "$build/build/embedding_host" ] || { echo "FAIL: the CMake build made no embedding_host"; exit 1; }
echo "PASS: the embedding example builds with find_package(Varnex) against $prefix"

if command -v pkg-config >/dev/null; then
  pc=$(find "$prefix" -name varnex.pc | head -n1)
  [ -n "$pc" ] || { echo "FAIL: no varnex.pc under $prefix"; exit 1; }
  run_logged "pkg-config build" build_host_pkgconfig.sh PKG_CONFIG_PATH="$(dirname "$pc")"
  [ -x "$build/embedding_host" ] || { echo "FAIL: the pkg-config build made no embedding_host"; exit 1; }
  echo "PASS: the embedding example builds with pkg-config against $prefix"
fi
