#!/usr/bin/env bash
# Runs every end-to-end case under valgrind: any memory error, or memory
# still definitely lost at exit, fails the case. Uses a plain build linked
# with the shared C library, whose heap valgrind can follow (a static program
# has its own copy that valgrind cannot watch), in build-valgrind/.
set -euo pipefail
build_dir=build-valgrind
plain_build_options=(-DSORNIK_STATIC=OFF)
source "$(dirname "$0")/plain-build.sh"

export SORNIK_E2E_WRAPPER="valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite"
# One case per core at a time; a failing case prints its differences.
run_case='output=$(bash tests/run_e2e_case.sh "$0" "$1" 2>&1) || { printf "== FAILED under valgrind: %s\n%s\n" "$1" "$output"; exit 1; }'
cases=(tests/e2e/*/)
if printf '%s\0' "${cases[@]}" | xargs -0 -n 1 -P "$(nproc)" bash -c "$run_case" "$PWD/$build_dir/sornik"; then
  echo "valgrind: ${#cases[@]} end-to-end cases, all clean"
else
  echo "valgrind: some of ${#cases[@]} end-to-end cases failed"
  exit 1
fi
