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
#        The release build is in build-release/.
set -euo pipefail
count=${1:-1000000}
source "$(dirname "$0")/release_build.sh"

awk -v n="$count" -f bench/million_defines.awk > "$work/numbered.h"
awk -v n="$count" -f bench/stem_defines.awk > "$work/stems.h"

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
