#!/usr/bin/env bash
# Checks C-mode expansion on real files against the compiler's preprocessor
# (see tests/cmode_real_code_check.cc): each file is used as a source with
# the given -I and -D options and the compiler's include directories and
# predefined macros; -f '$n' must give it back and -f '$x' must give the
# tokens of the compiler's lines from the file. Without files: every .c file
# under /usr/share and every header under /usr/include. With --cxx, C++
# against g++ -E. Prints each file that differs and the counts.
#   scripts/cmode-real-code.sh [--cxx] [-Idir] [-Dname[=value]] [file...]
#   e.g. scripts/cmode-real-code.sh --cxx -I"$fmt/include" $(find "$fmt/src" "$fmt/test" -name '*.cc')
#   (built in build-real-code/)
set -euo pipefail
source "$(dirname "$0")/build-folder.sh"
build=build-real-code
configure_build "$build" -DSORNIK_DEVELOPMENT=ON
cmake --build "$build" --target cmode_real_code_check >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
options=()
compiler=(gcc -dM -E -)
if [[ ${1-} == --cxx ]]; then
  options+=(--cxx)
  compiler=(g++ -dM -E -x c++ -)
  shift
fi
while (($#)) && [[ $1 == -[ID]* ]]; do
  options+=("$1")
  shift
done
"${compiler[@]}" </dev/null > "$work/predefs.h"
if (($#)); then
  printf '%s\n' "$@" > "$work/files"
else
  { find /usr/share -name '*.c' -type f; find /usr/include -name '*.h' -type f; } | sort > "$work/files"
fi
xargs -d '\n' -n 50 "$build/tests/cmode_real_code_check" "${options[@]}" "$work/predefs.h" \
  < "$work/files" > "$work/report" || true
grep -v ' files checked, ' "$work/report" || true
awk '/ files checked, / { files += $1; differ += $4; stopped += $6 }
     END { printf "%d files checked, %d differ, %d stopped the compiler (tokens not compared)\n", files, differ, stopped }' \
  "$work/report"
