#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every source file of the
# program (tests, benchmarks and fuzz targets left out); any finding fails.
# The compile commands come from a clang configuration in build-tidy/, which
# builds nothing.
set -euo pipefail
source "$(dirname "$0")/build-folder.sh"
bash scripts/install-deps.sh clang-tidy
configure_build build-tidy -DCMAKE_CXX_COMPILER=clang++
mapfile -t sources < <(find src -name '*.cc' ! -name '*_test.cc' ! -name '*_bench.cc' | sort)
if ! printf '%s\0' "${sources[@]}" |
  xargs -0 -n 4 -P "$(nproc)" clang-tidy -p build-tidy --quiet --warnings-as-errors='*' > build-tidy/report.txt 2>&1; then
  grep -E -A3 'warning:|error:' build-tidy/report.txt
  echo "clang-tidy: findings above (the whole report is build-tidy/report.txt)"
  exit 1
fi
echo "clang-tidy: ${#sources[@]} files, no finding"
