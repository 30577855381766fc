#!/usr/bin/env bash
# Checks the C mode on a C++ project against g++ -E (see
# tests/cmode_real_code_check.cc): each file is a source with the project's
# -I and -D options, the C++ compiler's include directories and predefined
# macros; -f '$n' must give it back and -f '$x' must give the tokens of
# g++ -E's lines from the file. Prints each file that differs and the counts.
#   scripts/cmode-real-code-cxx.sh [-Idir] [-Dname[=value]] file...
#   e.g. scripts/cmode-real-code-cxx.sh -I"$fmt/include" $(find "$fmt/src" "$fmt/test" -name '*.cc')
set -euo pipefail
source "$(dirname "$0")/build-folder.sh"
build=build-real-code
configure_build "$build" -DSORNIK_DEVELOPMENT=ON
cmake --build "$build" --target cmode_real_code_check >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
options=()
while (($#)) && [[ $1 == -[ID]* ]]; do
  options+=("$1")
  shift
done
g++ -dM -E -x c++ - </dev/null > "$work/predefs.h"
printf '%s\n' "$@" > "$work/files"
xargs -d '\n' -n 50 "$build/tests/cmode_real_code_check" --cxx "${options[@]}" "$work/predefs.h" \
  < "$work/files" > "$work/report" || true
grep -v ' files checked, ' "$work/report" || true
awk '/ files checked, / { files += $1; differ += $4; stopped += $6 }
     END { printf "%d files checked, %d differ, %d stopped the compiler (tokens not compared)\n", files, differ, stopped }' \
  "$work/report"
