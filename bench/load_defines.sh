#!/usr/bin/env bash
# Whole-process timing of loading definitions: generates a definition file of
# a million defines (names of 10 to 30 bytes, values of 5 to 40 bytes, a tenth
# of them function-like) and times `sornik -d file` with no source file, which
# reads the file, sorts the table and resolves the values. Reports the elapsed
# time, the peak resident memory and its ratio to the file size.
# Usage: bench/load_defines.sh [defines]   (default 1000000)
#        BUILD_DIR=<dir> picks the release build directory (default build-release).
set -euo pipefail
count=${1:-1000000}
source "$(dirname "$0")/release_build.sh"

# Names are unique by their number; the rest of each name, the values and the
# parameter lists are pseudo-random but the same on every run.
awk -v n="$count" 'BEGIN {
  srand(11)
  letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_"
  value_bytes = "0123456789abcdef+-*|&<> ()"
  for (i = 0; i < n; i++) {
    name = "D" i "_"
    size = 10 + int(rand() * 21)
    while (length(name) < size) name = name substr(letters, 1 + int(rand() * 53), 1)
    size = 5 + int(rand() * 36)
    if (i % 10 == 0) {
      value = "((a) + (b)"
      while (length(value) < size - 1) value = value substr(value_bytes, 1 + int(rand() * 16), 1)
      printf "#define %s(a, b) %s)\n", name, value
    } else {
      value = "0x"
      while (length(value) < size) value = value substr(value_bytes, 1 + int(rand() * 26), 1)
      sub(/ +$/, "", value)
      printf "#define %s %s\n", name, value
    }
  }
}' > "$work/defs.h"

bytes=$(stat -c %s "$work/defs.h")
/usr/bin/time -v "$build/sornik" -d "$work/defs.h" 2> "$work/time.txt" > /dev/null || true
awk -v defines="$count" -v bytes="$bytes" -F': ' '
  /Elapsed \(wall clock\)/ { elapsed = $2 }
  /User time/ { user = $2 }
  /System time/ { sys = $2 }
  /Maximum resident set size/ { peak = $2 }
  /Exit status/ { status = $2 }
  END {
    printf "%d defines, %.1f MB file: %s elapsed (%.2f s user + %.2f s system), %.1f MB peak RSS (%.2f x file size), exit status %s\n",
      defines, bytes / 1e6, elapsed, user, sys, peak * 1024 / 1e6, peak * 1024 / bytes, status
  }' "$work/time.txt"
grep -v -E '^\s' "$work/time.txt" || true
