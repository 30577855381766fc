#!/usr/bin/env bash
# Runs the C mode against the tests of GCC's own preprocessor: DIR holds test
# files of GCC's gcc/testsuite/gcc.dg/cpp folder (with the headers they
# include), downloaded beforehand; this script reads them, it fetches nothing.
# Prints each test that differs and a table (see tests/cmode_gcc_suite_check.cc).
#   scripts/gcc-cpp-suite.sh [-v] DIR [test.c...]     (built in build-real-code/)
set -euo pipefail
verbose=()
if [[ ${1-} == -v ]]; then
  verbose=(-v)
  shift
fi
(($#)) || { echo "usage: scripts/gcc-cpp-suite.sh [-v] DIR [test.c...]" >&2; exit 2; }
dir=$(cd "$1" && pwd)
shift
source "$(dirname "$0")/build-folder.sh"
build=build-real-code
configure_build "$build" -DSORNIK_DEVELOPMENT=ON
cmake --build "$build" --target sornik cmode_gcc_suite_check >/dev/null
"$build/tests/cmode_gcc_suite_check" "${verbose[@]}" "$build/sornik" "$dir" "$@"
