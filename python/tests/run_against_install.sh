#!/usr/bin/env bash
# Runs the complete host of docs/python.md as printed against the package installed under
# PREFIX, with only PYTHONPATH naming the prefix's Python folder: the module must find the
# prefix's libVarnex through its relative run path, not the build folder's.
# Usage: run_against_install.sh PREFIX WORKDIR PYTHON
set -euo pipefail

[ $# -eq 3 ] || { echo "usage: $0 PREFIX WORKDIR PYTHON" >&2; exit 2; }
prefix=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
python=$3
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

site="$prefix/lib/python3/dist-packages"
module=$(find "$site/varnex" -name '_varnex*.so' | head -n1)
[ -n "$module" ] || { echo "FAIL: no module _varnex under $site/varnex"; exit 1; }
for file in __init__.py pyuic.py uic_plugins/varnex_board.py; do
  [ -f "$site/varnex/$file" ] || { echo "FAIL: $site/varnex/$file is not installed"; exit 1; }
done
runpath=$(readelf -d "$module" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
case "$runpath" in
  '$ORIGIN/'*) echo "PASS: the module's run path is relative: $runpath" ;;
  *) echo "FAIL: the module's run path is '$runpath', not relative to \$ORIGIN"; exit 1 ;;
esac

cmake -DMODE=extract -DPAGE="$source_dir/docs/python.md" -DOUT="$work" \
  -P "$source_dir/tests/docs/doc_examples.cmake"
cmake -DMODE=extract -DPAGE="$source_dir/docs/documents.md" -DOUT="$work" \
  -P "$source_dir/tests/docs/doc_examples.cmake"
[ -f "$work/python_host.py" ] || { echo "FAIL: docs/python.md has no example python_host.py"; exit 1; }

export PYTHONPATH="$site"
cd "$work"
"$python" - "$prefix" <<'PY'
import sys
import varnex
from PyQt6.QtWidgets import QApplication
app = QApplication([])
board = varnex.VarnexWidget()
prefix = sys.argv[1]
loaded = [line.split()[-1] for line in open("/proc/self/maps") if "libVarnex.so" in line]
assert varnex.__file__.startswith(prefix), varnex.__file__
assert loaded and all(path.startswith(prefix) for path in loaded), loaded
print("PASS: varnex and libVarnex come from the prefix:", sorted(set(loaded))[0])
PY
"$python" "$source_dir/tests/docs/python_harness.py" python_host.py header.xml workorders.xml \
  >"$work/host.log" 2>&1 || { cat "$work/host.log"; echo "FAIL: the host of docs/python.md"; exit 1; }
echo "PASS: the host of docs/python.md runs as printed against $prefix"
