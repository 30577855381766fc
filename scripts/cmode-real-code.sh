#!/usr/bin/env bash
# Checks C-mode expansion on the C files of this machine against the
# compiler's preprocessor (see tests/cmode_real_code_check.cc): every .c file
# under /usr/share and every header under /usr/include, each used as a source
# with the compiler's include directories and predefined macros. Prints each
# file that differs and the counts.
#   scripts/cmode-real-code.sh [file...]     (built in build-real-code/)
set -euo pipefail
source "$(dirname "$0")/build-folder.sh"
build=build-real-code
configure_build "$build" -DSORNIK_DEVELOPMENT=ON
cmake --build "$build" --target cmode_real_code_check >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gcc -dM -E - </dev/null > "$work/predefs.h"
if (($#)); then
  printf '%s\n' "$@" > "$work/files"
else
  { find /usr/share -name '*.c' -type f; find /usr/include -name '*.h' -type f; } | sort > "$work/files"
fi
xargs -d '\n' -n 200 "$build/tests/cmode_real_code_check" "$work/predefs.h" < "$work/files" > "$work/report" || true
grep -v ' files checked, ' "$work/report" || true
awk '/ files checked, / { files += $1; differ += $4; stopped += $6 }
     END { printf "%d files checked, %d differ, %d stopped the compiler (tokens not compared)\n", files, differ, stopped }' \
  "$work/report"
