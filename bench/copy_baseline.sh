#!/usr/bin/env bash
# Whole-process baseline: copies a generated 100 MB C source in which no name
# is defined, and compares with cat into a pipe. Usage: bench/copy_baseline.sh [MB]
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes=${1:-100}
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release --target sornik >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#define NEVER_USED_ANYWHERE 1\n' > "$work/defs.h"
awk -v lines=$((megabytes * 1024 * 1024 / 64)) 'BEGIN {
  for (i = 0; i < lines; i++)
    printf "    total_%d = compute(value_%d, \"text %d\") + %d; /* c */\n", i % 97, i % 13, i, i % 1000
}' > "$work/source.c"
size=$(stat -c %s "$work/source.c")

measure() {
  local label=$1; shift
  local start end
  start=$(date +%s.%N)
  "$@" | cat > /dev/null
  end=$(date +%s.%N)
  awk -v l="$label" -v s="$start" -v e="$end" -v b="$size" \
    'BEGIN { t = e - s; printf "%-8s %6.2f s  %8.1f MB/s\n", l, t, b / t / 1e6 }'
}
measure cat cat "$work/source.c"
measure sornik build-release/sornik -d "$work/defs.h" "$work/source.c"
/usr/bin/time -f "sornik peak RSS: %M KB" build-release/sornik -d "$work/defs.h" "$work/source.c" > /dev/null
