#!/usr/bin/env bash
# Whole-process timings of the C mode:
# 1. `sornik --cpp -undef -nostdinc --print-defines -d defs.h` over a header of a
#    million defines (the load benchmark's definitions); elapsed time and
#    peak resident memory.
# 2. A typical source that includes stdio.h, stdlib.h, string.h, stdint.h,
#    signal.h and errno.h: `gcc -E` against `sornik --cpp` (which takes the
#    compiler's predefined macros, and so the same paths through the
#    headers), each run `runs` times; time per run and the ratio.
# Usage: bench/cmode_speed.sh [defines] [runs]   (default 1000000 and 50)
#        The release build is in build-release/.
set -euo pipefail
count=${1:-1000000}
runs=${2:-50}
source "$(dirname "$0")/release_build.sh"

awk -v n="$count" -f bench/million_defines.awk > "$work/defs.h"
/usr/bin/time -v "$build/sornik" --cpp -undef -nostdinc --print-defines -d "$work/defs.h" 2> "$work/time.txt" > "$work/listed.txt"
awk -v defines="$count" -v listed="$(wc -l < "$work/listed.txt")" -F': ' '
  /Elapsed \(wall clock\)/ { elapsed = $2 }
  /User time/ { user = $2 }
  /System time/ { sys = $2 }
  /Maximum resident set size/ { peak = $2 }
  END {
    printf "--print-defines over %d defines (%d lines listed): %s elapsed (%.2f s user + %.2f s system), %.1f MB peak RSS\n",
      defines, listed, elapsed, user, sys, peak * 1024 / 1e6
  }' "$work/time.txt"

cat > "$work/main.c" <<'SOURCE'
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <stdint.h>
#include <signal.h>
#include <errno.h>

int main(void) {
  int64_t big = INT64_C(5);
  if (signal(SIGRTMIN, SIG_IGN) == SIG_ERR) return errno;
  printf("%s %lld\n", strerror(EINVAL), (long long)big);
  return EXIT_SUCCESS;
}
SOURCE
# sornik caches the compiler's facts: one run first, so that the runs timed
# find them cached, as every run but the first does.
export XDG_CACHE_HOME=$work/cache
"$build/sornik" --cpp "$work/main.c" > /dev/null
# Milliseconds per run of a command: elapsed, and processor time (user +
# system of all runs together), which a busy machine disturbs less.
ms_of() {
  /usr/bin/time -o "$work/cpu.txt" -f "%e %U %S" \
    bash -c 'for ((i = 0; i < $0; i++)); do "$@" > /dev/null 2>&1; done' "$runs" "$@"
  awk -v n="$runs" '{ printf "%.3f %.3f\n", $1 * 1000 / n, ($2 + $3) * 1000 / n }' "$work/cpu.txt"
}
read -r gcc_ms gcc_cpu < <(ms_of gcc -E "$work/main.c")
read -r sornik_ms sornik_cpu < <(ms_of "$build/sornik" --cpp "$work/main.c")
awk -v g="$gcc_ms" -v s="$sornik_ms" -v gc="$gcc_cpu" -v sc="$sornik_cpu" -v n="$runs" 'BEGIN {
  printf "typical source, %d runs: gcc -E %.2f ms per run (%.2f ms processor), sornik --cpp %.2f ms per run (%.2f ms processor): %.1f times faster elapsed, %.1f times in processor time\n", n, g, gc, s, sc, g / s, (sc > 0 ? gc / sc : 0)
}'
