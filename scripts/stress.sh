#!/usr/bin/env bash
# Stress cases for sornik: huge, deep, odd and broken inputs, and output that
# cannot be written. Each case runs under a time limit and must end as the
# program promises: the specified output with status 0, or the specified
# message with status 1; never a crash, a hang or a lost byte.
#
#   scripts/stress.sh [case...]      (no case: all of them, a few minutes at most)
#
# STRESS_STREAM_MB sets the size of the streamed source (default 64); run
# `STRESS_STREAM_MB=1024 scripts/stress.sh stream` for the 1 GB stream. The
# program is built in build-stress/.
set -euo pipefail
build_dir=build-stress
source "$(dirname "$0")/plain-build.sh"
sornik=$PWD/$build_dir/sornik

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
current=

fail() {
  echo "FAIL [$current]: $*"
  failures=$((failures + 1))
}

# run LIMIT ARG...: runs sornik for at most LIMIT seconds; leaves out, err and $status.
run() {
  local limit=$1
  shift
  set +e
  timeout "$limit" "$sornik" "$@" >out 2>err
  status=$?
  set -e
  if ((status == 124)); then fail "no end after $limit s: sornik $*"; fi
}

# expect STATUS STDOUT-FILE STDERR-TEXT: the last run ended exactly so.
expect() {
  [[ $status == "$1" ]] || fail "exit status $status, expected $1"
  cmp -s "$2" out || fail "standard output differs from $2 ($(wc -c <out) bytes, expected $(wc -c <"$2"))"
  printf '%s' "$3" >expected_err
  cmp -s expected_err err || fail "standard error is '$(head -c 200 err)', expected '$3'"
}

# check_properties LIMIT DEFS SOURCE: what holds for any input. The default
# rendering equals -f '$n`$x'\''; with -f '$n' the source comes back unchanged
# (or, after a fatal stop, the part of it written before the stop); the
# format changes neither the status nor the messages.
check_properties() {
  local limit=$1 defs=$2 source=$3
  run "$limit" -d "$defs" "$source"
  mv out default_out && mv err default_err && local default_status=$status
  run "$limit" -f "\$n\`\$x'" -d "$defs" "$source"
  cmp -s default_out out || fail "the default rendering differs from -f '\$n\`\$x''"
  run "$limit" -f '$n' -d "$defs" "$source"
  [[ $status == "$default_status" ]] || fail "status $status under -f '\$n', $default_status without"
  cmp -s default_err err || fail "messages under -f '\$n' differ from those without"
  if ((status == 0)); then
    cmp -s "$source" out || fail "-f '\$n' does not give the source back"
  else
    cmp -s -n "$(wc -c <out)" "$source" out || fail "-f '\$n' wrote more than the source before its stop"
  fi
  status=$default_status
  mv default_out out && mv default_err err
}

# Peak resident memory of `sornik ARG...` in kilobytes; its output is discarded.
peak_kb() {
  /usr/bin/time -f %M -o peak "$sornik" "$@" >/dev/null 2>&1 || true
  tail -n 1 peak
}

cat >defs.h <<'EOF'
#define N 1
#define MAX(a, b) ((a) > (b) ? (a) : (b))
#define TWICE(v) ((v)+(v))
#define F(x) [x]
EOF

# A source far larger than memory could hold, streamed through a pipe: the
# output is right and peak memory does not grow with the size.
case_stream() {
  local megabytes=${STRESS_STREAM_MB:-64}
  local lines='/* a comment naming N and MAX(x, y) */
int value = N + MAX(first, second);
const char *text = "N is not expanded in here";
y = TWICE(N) + F(a_rather_long_argument_name) + unknown_name_that_is_long;
int plain_line_without_any_define(void); // N
'
  : >block.c
  while (($(wc -c <block.c) < 1048576)); do printf '%s' "$lines" >>block.c; done
  run 30 -d defs.h block.c
  mv out block.out
  local copies=$((megabytes * 1048576 / $(wc -c <block.c)))
  repeat() { for ((i = 0; i < copies; i++)); do cat "$1"; done; }
  local expected actual
  expected=$(repeat block.out | md5sum)
  actual=$(repeat block.c | timeout 600 "$sornik" -d defs.h /dev/stdin | md5sum)
  [[ $actual == "$expected" ]] || fail "the $megabytes MB stream is not rendered block by block"
  expected=$(repeat block.c | md5sum)
  actual=$(repeat block.c | timeout 600 "$sornik" -f '$n' -d defs.h /dev/stdin | md5sum)
  [[ $actual == "$expected" ]] || fail "the $megabytes MB stream does not come back under -f '\$n'"

  local small big
  small=$(peak_kb -d defs.h /dev/stdin <block.c)
  big=$( (repeat block.c | peak_kb -d defs.h /dev/stdin) )
  echo "  peak memory: $small KB for 1 MB, $big KB for $megabytes MB"
  ((big <= small + 4096)) || fail "peak memory grows with the source: $small KB for 1 MB, $big KB for $megabytes MB"
}

# A use whose argument list runs over 100,000 lines: the text of the list is
# far beyond what substitution accepts, so the run ends with the message.
case_long_argument_list() {
  {
    echo 'int before;'
    echo 'y = F('
    for ((i = 0; i < 100000; i++)); do echo 'a +'; done
    echo 'b);'
    echo 'int after;'
  } >long_list.c
  run 60 -d defs.h long_list.c
  printf 'int before;\n' >expected_out
  expect 1 expected_out $'cannot develop, so exit!\n'
  check_properties 60 defs.h long_list.c
}

# Brackets nested 1,000,000 deep, over 1000 lines of 1000 brackets: as an
# argument list (which substitution then refuses) and as plain code.
case_deep_brackets() {
  local open close
  open=$(printf '([{<%.0s' {1..250})
  close=$(printf '>}])%.0s' {1..250})
  {
    printf 'y = F'
    for ((i = 0; i < 1000; i++)); do echo "$open"; done
    for ((i = 0; i < 1000; i++)); do echo "$close"; done
    echo ';'
  } >deep_use.c
  run 60 -d defs.h deep_use.c
  expect 1 /dev/null $'cannot develop, so exit!\n'
  check_properties 60 defs.h deep_use.c

  tail -n +2 deep_use.c >deep_code.c
  run 60 -d defs.h deep_code.c
  expect 0 deep_code.c ''
}

# A line of the longest length accepted, made only of one defined name, with
# a plain value and with a value that names itself.
case_line_of_names() {
  { printf 'N %.0s' {1..510}; printf 'N\n'; } >names.c
  { printf "N\`1' %.0s" {1..510}; printf "N\`1'\n"; } >expected_out
  run 10 -d defs.h names.c
  expect 0 expected_out ''

  printf '#define N N+1\n' >self.h
  run 10 -d self.h names.c
  [[ $status == 0 && ! -s err ]] || fail "a value naming itself: status $status, '$(head -c 200 err)'"
  check_properties 10 self.h names.c
}

# Values that double in each resolution step: the growth budget stops the
# resolution with its message, and the sources are still converted.
case_doubling_values() {
  {
    echo '#define V0 x'
    for ((i = 1; i < 60; i++)); do echo "#define V$i V$((i - 1)) V$((i - 1))"; done
  } >doubling.h
  # Uses of the values that grew would be rendered at three levels, each
  # copying values of many kilobytes; these stay small.
  printf 'a = V0;\nb = V3;\n' >doubling.c
  run 30 -d doubling.h doubling.c
  [[ $status == 0 ]] || fail "exit status $status, expected 0"
  printf 'no end loop\n' >expected_err
  cmp -s expected_err err || fail "standard error is '$(head -c 200 err)', expected 'no end loop'"
  check_properties 30 doubling.h doubling.c
}

# A parameter whose name is a capture pattern ("$$" takes the rest of the
# text) tried at each of the million positions of a 1 MB value.
case_capture_run() {
  {
    printf '#define F($$X) '
    for ((i = 0; i < 2000; i++)); do printf -- '- %.0s' {1..250}; printf '\\\n'; done
    echo 'end'
  } >capture.h
  printf 'y = F(1);\n' >capture.c
  run 10 -d capture.h capture.c
  [[ $status == 0 && ! -s err ]] || fail "exit status $status, '$(head -c 200 err)'"
  check_properties 10 capture.h capture.c
}

# 1,000,000 names defined a second time, in a second file: one message each,
# in file order, after the whole file was read.
case_duplicates() {
  seq 0 999999 | sed 's/.*/#define NAME_& &/' >million.h
  seq 0 999999 | sed 's/.*/NAME_&: dupricated name!/' >expected_err
  run 120 -d million.h -d million.h defs.h
  [[ $status == 1 ]] || fail "exit status $status, expected 1"
  cmp -s expected_err err || fail "the duplicate messages differ ($(wc -l <err) lines)"
  [[ ! -s out ]] || fail "output was written"
}

# A source whose last line has no newline, also at the longest length.
case_no_final_newline() {
  printf 'x = N' >open_end.c
  printf "x = N\`1'" >expected_out
  run 10 -d defs.h open_end.c
  expect 0 expected_out ''

  head -c 1022 /dev/zero | tr '\0' x >long_end.c
  run 10 -d defs.h long_end.c
  expect 0 long_end.c ''
  printf x >>long_end.c
  run 10 -d defs.h long_end.c
  # The message shows the first 768 bytes of the line.
  expect 1 /dev/null "$(head -c 768 long_end.c) "$'\nError: too long line found\n'
}

# Random bytes in short lines: every byte value, NUL and marker bytes too.
case_binary_garbage() {
  perl -e 'srand(7); for (1 .. 20000) { print pack("C*", map { int(rand(256)) } 1 .. int(rand(60))), "\n" }' >garbage.c
  run 30 -d defs.h garbage.c
  ((status == 0 || status == 1)) || fail "exit status $status"
  check_properties 30 defs.h garbage.c
  # Garbage as a definition file, with a source that uses every one-byte name.
  printf '%s\n' {a..z} {A..Z} _ 0 1 2 3 >letters.c
  { cat defs.h; perl -e 'srand(11); for (1 .. 5000) { print "#define ", pack("C*", map { int(rand(256)) } 1 .. int(rand(40))), "\n" }'; } >garbage.h
  run 30 -d garbage.h letters.c
  ((status == 0 || status == 1)) || fail "garbage definitions: exit status $status"
  check_properties 30 garbage.h letters.c
}

# UTF-16 text: NUL bytes end names, so the use of N is found between them.
case_utf16() {
  printf '\xff\xfe' >utf16.c
  printf 'x = N;\n// N\ny = N;\n' | iconv -f UTF-8 -t UTF-16LE >>utf16.c
  # In UTF-16 the two slashes of "//" are not adjacent, so that N is code too.
  perl -pe "s/N/N\`1'/g" utf16.c >expected_out
  run 10 -d defs.h utf16.c
  expect 0 expected_out ''
  check_properties 10 defs.h utf16.c
  printf 'x = N;\n' | iconv -f UTF-8 -t UTF-16BE >utf16be.c
  check_properties 10 defs.h utf16be.c
}

# CR LF line ends: the carriage return is an ordinary byte of the line.
case_crlf() {
  printf 'x = N;\r\ny = MAX(p, q);\r\nz = TWICE(p +\r\n  q);\r\n' >crlf.c
  printf "x = N\`1';\r\ny = MAX(p, q)\`((p) > (q) ? (p) : (q))';\r\n" >expected_out
  printf "z = TWICE(p +\r\n  q)\`((p +\r\n  q)+(p +\r\n  q))';\r\n" >>expected_out
  run 10 -d defs.h crlf.c
  expect 0 expected_out ''
  sed 's/$/\r/' defs.h >crlf.h
  run 10 -d crlf.h crlf.c
  [[ $status == 0 ]] || fail "a CR LF definition file: exit status $status"
  check_properties 10 crlf.h crlf.c
}

# Output that cannot be written: a full device ends the run with the message;
# a reader that goes away ends it quietly, like any filter.
case_output_errors() {
  printf 'x = N;\n' >small.c
  for ((i = 0; i < 20000; i++)); do echo "int a$i = N + MAX(p, q);"; done >large.c
  # A short output fails when it is written at the end, a long one on the way.
  for source in small.c large.c; do
    set +e
    timeout 10 "$sornik" -d defs.h "$source" >/dev/full 2>err
    status=$?
    set -e
    : >out
    expect 1 /dev/null $'cannot write to standard output\n'
  done

  set +e
  timeout 10 env --default-signal=PIPE "$sornik" -d defs.h large.c 2>err | head -c 100 >/dev/null
  status=${PIPESTATUS[0]}
  set -e
  ((status == 0 || status == 141)) || fail "a closed pipe: exit status $status"
  [[ ! -s err ]] || fail "a closed pipe: '$(head -c 200 err)'"
}

cases=("$@")
((${#cases[@]})) || cases=(stream long_argument_list deep_brackets line_of_names doubling_values capture_run duplicates
  no_final_newline binary_garbage utf16 crlf output_errors)
for current in "${cases[@]}"; do
  started=$SECONDS
  before=$failures
  "case_$current"
  echo "$( ((failures == before)) && echo ok || echo FAILED) $current ($((SECONDS - started)) s)"
done
((failures == 0)) || { echo "$failures stress failures"; exit 1; }
