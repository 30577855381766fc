#!/usr/bin/env bash
# Whole-process timing of value resolution: generates definition files of the
# shape bench/load_defines.sh uses (names of 10 to 30 bytes, a tenth of the
# defines function-like) in which a third of the values name another define,
# and times `sornik -d file` with no source file at half and at full size,
# and at full size with no value naming a define, for comparison. A named
# define's value is never longer than its name, so that every value resolves
# in place and the growth budget is not what ends the resolution.
# Usage: bench/resolve_defines.sh [defines]   (default 1000000)
#        The release build is in build-release/.
set -euo pipefail
count=${1:-1000000}
source "$(dirname "$0")/release_build.sh"

# generate <defines> <1: a third of the values name a define, 0: none> <file>
generate() {
  awk -v n="$1" -v with_names="$2" 'BEGIN {
    srand(11)
    letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_"
    value_bytes = "0123456789abcdef+-*|&<> ()"
    for (i = 0; i < n; i++) {
      name[i] = "D" i "_"
      size = 10 + int(rand() * 21)
      while (length(name[i]) < size) name[i] = name[i] substr(letters, 1 + int(rand() * 53), 1)
    }
    for (i = 0; i < n; i++) {
      if (i % 10 == 0) {
        printf "#define %s(a, b) ((a) + (b))\n", name[i]
      } else if (with_names && i % 3 == 1) {
        j = int(rand() * n)
        while (j % 10 == 0 || j % 3 == 1) j = (j + 1) % n
        printf "#define %s (%s + 1)\n", name[i], name[j]
      } else {
        size = 5 + int(rand() * (length(name[i]) - 4))
        value = "0x"
        while (length(value) < size) value = value substr(value_bytes, 1 + int(rand() * 16), 1)
        printf "#define %s %s\n", name[i], value
      }
    }
  }' > "$3"
}

measure() {
  local label=$1 file=$2
  /usr/bin/time -v "$build/sornik" -d "$file" 2> "$work/time.txt" > /dev/null || true
  awk -v label="$label" -F': ' '
    /Elapsed \(wall clock\)/ { elapsed = $2 }
    /Maximum resident set size/ { peak = $2 }
    /Exit status/ { status = $2 }
    END { printf "%-34s %9s elapsed  %7.1f MB peak RSS  exit status %s\n", label, elapsed, peak / 1024, status }
  ' "$work/time.txt"
  grep -v -E '^\s' "$work/time.txt" || true
}

generate $((count / 2)) 1 "$work/half.h"
generate "$count" 1 "$work/full.h"
generate "$count" 0 "$work/plain.h"
measure "$((count / 2)) defines, a third named" "$work/half.h"
measure "$count defines, a third named" "$work/full.h"
measure "$count defines, none named" "$work/plain.h"
