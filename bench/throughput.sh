#!/usr/bin/env bash
# Whole-process throughput of line expansion on a generated C source (100 MB
# by default) with 10,000 object-like and 500 function-like defines:
#   mixed   about a fifth of the lines use a define,
#   no-use  the same lines with every such name undefined,
#   dense   every line three nested calls of function-like defines whose
#           arguments use object-like ones (80 bytes a line),
# in the default mode and in C mode (--cpp, the defines read as a header),
# compared with cat and with gcc -E -P given the same defines, every output
# going into a pipe. Peak RSS is reported for sornik. CPU times have a
# resolution of 10 ms.
# Usage: bench/throughput.sh [MB]   (built in build-release/)
set -euo pipefail
megabytes=${1:-100}
source "$(dirname "$0")/release_build.sh"
awk 'BEGIN {
  for (i = 0; i < 10000; i++) printf "#define OBJ_%05d %d\n", i, i * 7
  for (i = 0; i < 500; i++) printf "#define FN_%03d(a, b) ((a) * %d + (b))\n", i, i
}' > "$work/defs.h"
# Lines of 53 bytes on average; every fifth one uses an object-like define,
# and every tenth of those a function-like one as well.
generate() {
  awk -v lines=$((megabytes * 1000000 / 53)) -v obj="$1" -v fn="$2" 'BEGIN {
    for (i = 0; i < lines; i++) {
      if (i % 5 != 0)
        printf "    total_%d = compute(value_%d, \"text %d\") + %d;\n", i % 97, i % 13, i, i % 1000
      else if (i % 50 != 0)
        printf "    limit_%d = %s_%05d * value_%d; /* bound */\n", i % 89, obj, i % 10000, i % 7
      else
        printf "    mixed_%d = %s_%03d(value_%d, %s_%05d);\n", i % 83, fn, i % 500, i % 11, obj, i % 10000
    }
  }'
}
generate OBJ FN > "$work/mixed.c"
generate obj fn > "$work/nouse.c"
awk -v lines=$((megabytes * 1000000 / 80)) 'BEGIN {
  for (i = 0; i < lines; i++)
    printf "    r_%d = FN_%03d(FN_%03d(OBJ_%05d, v_%d), FN_%03d(OBJ_%05d, x));\n", i % 89, i % 500, (i * 7) % 500,
      i % 10000, i % 13, (i * 3) % 500, (i * 11) % 10000
}' > "$work/dense.c"

# Elapsed time of the command writing into a pipe, and its CPU time (user +
# system), which a busy machine disturbs less.
measure() {
  local size
  size=$(stat -c %s "${@: -1}")
  local label=$1; shift
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -o "$work/cpu" -f "%U %S" "$@" | cat > /dev/null
  end=$(date +%s.%N)
  awk -v l="$label" -v s="$start" -v e="$end" -v b="$size" -v cpu="$(cat "$work/cpu")" \
    'BEGIN { t = e - s; split(cpu, c, " "); u = c[1] + c[2]; if (u < 0.01) u = 0.01
             printf "%-14s %7.2f s %8.1f MB/s   cpu %6.2f s %8.1f MB/s\n", l, t, b / t / 1e6, u, b / u / 1e6 }'
}
for kind in nouse mixed dense; do
  printf '%s: %d bytes, %d lines\n' "$kind" "$(stat -c %s "$work/$kind.c")" "$(wc -l < "$work/$kind.c")"
  measure cat cat "$work/$kind.c"
  measure "sornik $kind" "$build/sornik" -d "$work/defs.h" "$work/$kind.c"
  # C mode reads the same definitions as a header.
  measure "--cpp $kind" "$build/sornik" --cpp -undef -nostdinc -d "$work/defs.h" "$work/$kind.c"
  if [[ "${SKIP_GCC:-0}" != 1 ]]; then
    measure "gcc -E -P" gcc -E -P -include "$work/defs.h" -x c "$work/$kind.c"
  fi
done
for kind in nouse mixed dense; do
  /usr/bin/time -f "sornik $kind peak RSS: %M KB" \
    "$build/sornik" -d "$work/defs.h" "$work/$kind.c" > /dev/null
  /usr/bin/time -f "sornik --cpp $kind peak RSS: %M KB" \
    "$build/sornik" --cpp -undef -nostdinc -d "$work/defs.h" "$work/$kind.c" > /dev/null
done
