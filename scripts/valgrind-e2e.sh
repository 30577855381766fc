#!/usr/bin/env bash
# Runs every end-to-end case under valgrind: any memory error, or memory
# still definitely lost at exit, fails the case. Uses the plain build in
# build/, or in $SORNIK_BUILD_DIR (built here when needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build_dir=${SORNIK_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DSORNIK_WERROR=ON >/dev/null
cmake --build "$build_dir" --target sornik >/dev/null

export SORNIK_E2E_WRAPPER="valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite"
failed=0
count=0
for case_dir in tests/e2e/*/; do
  ((count += 1))
  if ! output=$(bash tests/run_e2e_case.sh "$PWD/$build_dir/sornik" "$case_dir" 2>&1); then
    echo "== FAILED under valgrind: $case_dir"
    echo "$output"
    failed=1
  fi
done
echo "valgrind: $count end-to-end cases, $( ((failed)) && echo "some failed" || echo "all clean")"
exit $failed
