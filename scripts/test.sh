#!/usr/bin/env bash
# Builds sornik and runs every test. With --sanitize the build uses clang with
# AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/.
set -euo pipefail
source "$(dirname "$0")/build-folder.sh"
# The browser test's headless Chromium and its DevTools client.
bash scripts/install-deps.sh chromium-headless-shell python3-websocket

build_dir=build
options=(-DSORNIK_DEVELOPMENT=ON)
if [[ ${1:-} == --sanitize ]]; then
  build_dir=build-asan
  options+=(-DSORNIK_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
configure_build "$build_dir" "${options[@]}"
cmake --build "$build_dir"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
