#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) in build-fuzz/
# and runs each one from its seed corpus with a fixed seed: 12 seconds per
# target by default, about a minute in all. Any crash, sanitizer report or
# broken property fails the script; the input is left under build-fuzz/.
#
#   scripts/fuzz-smoke.sh [seconds-per-target [target...]]
#
# A longer campaign on one target keeps what it finds in a corpus of its own:
#   build-fuzz/fuzz/run_fuzz -max_len=4096 -timeout=30 -rss_limit_mb=2048 \
#     -max_total_time=1800 build-fuzz/campaign/run_fuzz fuzz/corpus/run_fuzz
set -euo pipefail
source "$(dirname "$0")/build-folder.sh"
bash scripts/install-deps.sh

seconds=${1:-12}
shift || true
build_dir=build-fuzz
configure_build "$build_dir" -DCMAKE_CXX_COMPILER=clang++ -DSORNIK_DEVELOPMENT=ON -DSORNIK_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build "$build_dir"

# The longest input each target is given: a few lines for the engine, a few
# files of C text for the others.
declare -A max_len=([replace_engine_fuzz]=1024 [argument_substitution_fuzz]=2048 [define_reader_fuzz]=4096
  [line_expansion_fuzz]=2048 [run_fuzz]=4096 [cmode_expansion_fuzz]=2048
  [cmode_directives_fuzz]=4096 [render_fuzz]=4096)
# A whole run that substitutes up to the engine's limits takes seconds with
# the sanitizers on; such runs are checked only once.
declare -A timeout=([replace_engine_fuzz]=10 [argument_substitution_fuzz]=10 [define_reader_fuzz]=10
  [line_expansion_fuzz]=30 [run_fuzz]=30 [cmode_expansion_fuzz]=30
  [cmode_directives_fuzz]=30 [render_fuzz]=10)
targets=("$@")
((${#targets[@]})) || targets=(replace_engine_fuzz argument_substitution_fuzz define_reader_fuzz line_expansion_fuzz run_fuzz
  cmode_expansion_fuzz cmode_directives_fuzz render_fuzz)

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for target in "${targets[@]}"; do
  work=$build_dir/smoke/$target
  rm -rf "$work" && mkdir -p "$work/corpus"
  echo "== $target: $seconds s"
  # New inputs go to the scratch corpus; the seeds in the repository stay as they are.
  if ! "$build_dir/fuzz/$target" -seed=1 -max_total_time="$seconds" -max_len="${max_len[$target]}" \
      -timeout="${timeout[$target]}" -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/" \
      "$work/corpus" "fuzz/corpus/$target" > "$work/log" 2>&1; then
    tail -n 60 "$work/log"
    echo "== $target FAILED; the input is in $work/"
    failed=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$work/log" || true
  fi
done
exit $failed
