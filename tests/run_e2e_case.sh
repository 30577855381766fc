#!/usr/bin/env bash
# Runs one end-to-end case: sornik is started inside a copy of the case
# folder with the arguments listed in its `args` file (one per line) and the
# file `stdin` (if any) as standard input, and its standard output, standard
# error and exit status are compared byte for byte with `expected_stdout`,
# `expected_stderr` and `expected_status` (missing files mean empty output and
# status 0), each file NAME it writes with `expected_file.NAME`.
# SORNIK_E2E_WRAPPER, when set, is put in front of the command (for instance a
# valgrind invocation).
set -u
sornik=$1
case_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$case_dir/." "$work/case" || exit 2
cd "$work/case" || exit 2

args=()
if [[ -f args ]]; then
  mapfile -t args < args
fi
# A case that asks the C compiler for its facts starts from an empty cache
# of its own, never the user's.
export XDG_CACHE_HOME=$work/cache
input=/dev/null
[[ -f stdin ]] && input=stdin

# shellcheck disable=SC2086
${SORNIK_E2E_WRAPPER:-} "$sornik" "${args[@]}" >"$work/stdout" 2>"$work/stderr" <"$input"
status=$?

expected_status=0
[[ -f expected_status ]] && expected_status=$(tr -d '[:space:]' < expected_status)
[[ -f expected_stdout ]] || : > "$work/empty_stdout_expected"
[[ -f expected_stderr ]] || : > "$work/empty_stderr_expected"

failed=0
compare() {
  local expected=$1 actual=$2 what=$3
  if ! cmp -s "$expected" "$actual"; then
    echo "--- $what differs:"
    diff -u --text --label expected --label actual "$expected" "$actual"
    failed=1
  fi
}
compare "$( [[ -f expected_stdout ]] && echo expected_stdout || echo "$work/empty_stdout_expected")" "$work/stdout" stdout
compare "$( [[ -f expected_stderr ]] && echo expected_stderr || echo "$work/empty_stderr_expected")" "$work/stderr" stderr
for expected in expected_file.*; do
  [[ -f "$expected" ]] || continue
  written=${expected#expected_file.}
  [[ -f "$written" ]] || : > "$work/missing"
  compare "$expected" "$( [[ -f "$written" ]] && echo "$written" || echo "$work/missing")" "$written"
done
if [[ "$status" != "$expected_status" ]]; then
  echo "--- exit status: expected $expected_status, got $status"
  failed=1
fi
exit $failed
