#!/usr/bin/env bash
# Runs one end-to-end case: sornik is started inside the case folder with the
# arguments listed in its `args` file (one per line), and its standard output,
# standard error and exit status are compared byte for byte with
# `expected_stdout`, `expected_stderr` and `expected_status` (missing files
# mean empty output and status 0). SORNIK_E2E_WRAPPER, when set, is put in
# front of the command (for instance a valgrind invocation).
set -u
sornik=$1
case_dir=$2
cd "$case_dir" || exit 2

args=()
if [[ -f args ]]; then
  mapfile -t args < args
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A case that asks the C compiler for its facts starts from an empty cache
# of its own, never the user's.
export XDG_CACHE_HOME=$work/cache

# shellcheck disable=SC2086
${SORNIK_E2E_WRAPPER:-} "$sornik" "${args[@]}" >"$work/stdout" 2>"$work/stderr" </dev/null
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
if [[ "$status" != "$expected_status" ]]; then
  echo "--- exit status: expected $expected_status, got $status"
  failed=1
fi
exit $failed
