#!/usr/bin/env bash
# Whole-process timing of loading definitions: generates definition files of
# a million defines and times `sornik -d file` with no source file, which
# reads the file, sorts the table and resolves the values. Two shapes:
#   numbered  names of 10 to 30 bytes made unique by a leading number, values
#             of 5 to 40 bytes, a tenth of the defines function-like;
#   stems     names of 10 to 30 bytes from 3000 shared stems with a distinct
#             suffix, defined in an order unrelated to the sorted order, a
#             tenth function-like, a third of the values naming another define
#             (whose value is never longer than its name, so that every value
#             resolves in place within the growth budget).
# Reports the elapsed time, the peak resident memory and its ratio to the file size.
# Usage: bench/load_defines.sh [defines]   (default 1000000)
#        BUILD_DIR=<dir> picks the release build directory (default build-release).
set -euo pipefail
count=${1:-1000000}
source "$(dirname "$0")/release_build.sh"

awk -v n="$count" -f bench/million_defines.awk > "$work/numbered.h"

awk -v n="$count" 'BEGIN {
  srand(17)
  upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
  digits = "0123456789abcdefghijklmnopqrstuvwxyz"
  value_bytes = "0123456789abcdef+-*|&<> ()"
  stems = 3000
  for (s = 0; s < stems; s++) {
    size = 6 + int(rand() * 14)
    stem = ""
    while (length(stem) < size) {
      part = ""
      plen = 2 + int(rand() * 5)
      while (length(part) < plen) part = part substr(upper, 1 + int(rand() * 26), 1)
      stem = stem part "_"
    }
    stem_of[s] = substr(stem, 1, size)
  }
  for (i = 0; i < n; i++) {
    # The suffix is the number of the define permuted, in base 36, so the file
    # order is not the sorted order.
    k = (i * 7919 + 104729) % n
    suffix = ""
    do { suffix = substr(digits, 1 + k % 36, 1) suffix; k = int(k / 36) } while (k > 0)
    stem = stem_of[int(rand() * stems)]
    name[i] = stem "_" suffix
    if (length(name[i]) < 10) name[i] = name[i] "_pad"
    if (length(name[i]) > 30) name[i] = substr(stem, 1, 30 - length(suffix) - 1) "_" suffix
  }
  for (i = 0; i < n; i++) {
    if (i % 10 == 0) {
      printf "#define %s(a, b) ((a) + (b) * %d)\n", name[i], i % 97
    } else if (i % 3 == 1) {
      # Only plain values are named, and they are never longer than the
      # names, so every value resolves in place within the growth budget.
      j = int(rand() * n)
      while (j % 10 == 0 || j % 3 == 1) j = (j + 1) % n
      printf "#define %s (%s + %d)\n", name[i], name[j], i % 13
    } else {
      size = 5 + int(rand() * (length(name[i]) - 4))
      value = "0x"
      while (length(value) < size) value = value substr(value_bytes, 1 + int(rand() * 16), 1)
      printf "#define %s %s\n", name[i], value
    }
  }
}' > "$work/stems.h"

for shape in numbered stems; do
  bytes=$(stat -c %s "$work/$shape.h")
  /usr/bin/time -v "$build/sornik" -d "$work/$shape.h" 2> "$work/time.txt" > /dev/null || true
  awk -v shape="$shape" -v defines="$count" -v bytes="$bytes" -F': ' '
    /Elapsed \(wall clock\)/ { elapsed = $2 }
    /User time/ { user = $2 }
    /System time/ { sys = $2 }
    /Maximum resident set size/ { peak = $2 }
    /Exit status/ { status = $2 }
    END {
      printf "%-8s %d defines, %.1f MB file: %s elapsed (%.2f s user + %.2f s system), %.1f MB peak RSS (%.2f x file size), exit status %s\n",
        shape, defines, bytes / 1e6, elapsed, user, sys, peak * 1024 / 1e6, peak * 1024 / bytes, status
    }' "$work/time.txt"
  grep -v -E '^\s' "$work/time.txt" || true
done
