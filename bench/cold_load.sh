#!/usr/bin/env bash
# A planner's first load, each run a fresh process: generates documents of 30 and 32,766 orders,
# runs varnex_cold_load with huge pages on and off (interleaved, RUNS times each) and prints the
# medians; then times the whole process of each load and of `varnex render`.
#
# Usage: bench/cold_load.sh BUILD_DIR [RUNS]    (BUILD_DIR configured with VARNEX_BUILD_BENCHMARKS=ON)
# Last, one process reloads the largest documents RUNS times with huge pages on and RUNS times
# off, by turns, for the warm figures of the same run.
set -euo pipefail

build=${1:?usage: cold_load.sh BUILD_DIR [RUNS]}
runs=${2:-9}
for program in tools/varnex-generate bench/varnex_cold_load app/varnex; do
  [[ -x $build/$program ]] || { echo "cold_load.sh: $build/$program is not built" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Qt wants a private runtime folder; a shell without a session has none.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
sizes=(30 32766)
for n in "${sizes[@]}"; do
  "$build/tools/varnex-generate" --orders "$n" --seed 1 "$work/header-$n.xml" "$work/orders-$n.xml"
done

now_ns() { date +%s%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# The value of key=value field $2 in each line of file $1.
field() { awk -v key="$2" '{ for (i = 1; i <= NF; ++i) if (index($i, key "=") == 1) print substr($i, length(key) + 2) }' "$1"; }

# One run of each configuration per round, so drift on a shared machine touches all alike.
for ((round = 1; round <= runs; ++round)); do
  for n in "${sizes[@]}"; do
    for hp in on off; do
      start=$(now_ns)
      "$build/bench/varnex_cold_load" --huge-pages "$hp" "$work/header-$n.xml" "$work/orders-$n.xml" \
        >> "$work/cold-$n-$hp.txt"
      echo $(( ($(now_ns) - start) / 1000 )) >> "$work/process-$n-$hp.txt"
    done
    start=$(now_ns)
    "$build/app/varnex" render "$work/header-$n.xml" "$work/orders-$n.xml" -o "$work/render-$n.png"
    echo $(( ($(now_ns) - start) / 1000 )) >> "$work/render-$n.txt"
  done
done

ms() { awk '{ printf "%.1f", $1 / 1000 }'; }
difference() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) / 1000 }'; }
echo "Medians of $runs fresh processes each ($(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%-7s %-5s %9s %9s %9s %10s %11s %9s %7s %9s\n' orders huge startup load paint load+paint \
  'faults(l+p)' faults majflt peak_MiB
for n in "${sizes[@]}"; do
  for hp in on off; do
    f=$work/cold-$n-$hp.txt
    printf '%-7s %-5s %9s %9s %9s %10s %11s %9s %7s %9s\n' "$n" "$hp" \
      "$(field "$f" startup_ms | median)" "$(field "$f" load_ms | median)" \
      "$(field "$f" paint_ms | median)" "$(field "$f" load_paint_ms | median)" \
      "$(field "$f" load_paint_minflt | median)" "$(field "$f" minflt | median)" \
      "$(field "$f" majflt | median)" "$(field "$f" peak_rss_mib | median)"
  done
done
echo
echo "Whole process, ms (median)      30 orders  32,766 orders  difference"
for hp in on off; do
  small=$(median < "$work/process-30-$hp.txt")
  large=$(median < "$work/process-32766-$hp.txt")
  printf 'varnex_cold_load, huge %-4s %13s %14s %11s\n' "$hp" "$(echo "$small" | ms)" \
    "$(echo "$large" | ms)" "$(difference "$small" "$large")"
done
small=$(median < "$work/render-30.txt")
large=$(median < "$work/render-32766.txt")
printf 'varnex render -o x.png    %13s %14s %11s\n' "$(echo "$small" | ms)" "$(echo "$large" | ms)" \
  "$(difference "$small" "$large")"

# Warm: the same process loads and paints 32,766 orders again, huge pages on and off by turns.
warm=$("$build/bench/varnex_cold_load" --warm "$runs" "$work/header-32766.xml" "$work/orders-32766.xml")
echo
echo "Warm reload and paint of 32,766 orders in one process, median of $runs each, ms:" \
  "huge on $(echo "$warm" | field /dev/stdin warm_on_ms), huge off $(echo "$warm" | field /dev/stdin warm_off_ms)"

