#!/usr/bin/env bash
# Deeply nested argument lists expand within a memory limit that the expander
# once needed several times over (it kept a copy of every level's tokens at
# every depth). Usage: deep_nesting.sh SORNIK
set -euo pipefail
sornik=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# repeat TEXT N: TEXT written N times.
repeat() {
  local out=
  for ((i = 0; i < $2; ++i)); do out+=$1; done
  printf '%s' "$out"
}

levels=2000
# check WHAT PROGRAM EXPECTED [FORMAT]: the program expands to EXPECTED
# through -f FORMAT (default $x; empty for the default form).
check() {
  local what=$1 program=$2 expected=$3 format=${4-'$x'}
  printf '%s' "$program" >"$work/deep.c"
  if ! (ulimit -v 800000 && "$sornik" --cpp ${format:+-f "$format"} "$work/deep.c" >"$work/out"); then
    echo "$what: sornik failed within 800 MB" >&2
    exit 1
  fi
  if [[ $(<"$work/out") != "$expected" ]]; then
    echo "$what: wrong expansion" >&2
    exit 1
  fi
}

define='#define F(x) (x+1)
#define G(x) [x]
'
check "one macro inside itself" "${define}y = $(repeat 'F(' $levels)0$(repeat ')' $levels);" \
  "${define}y = $(repeat '(' $levels)0+1$(repeat ')+1' $((levels - 1))));"
check "two macros in turn" "${define}y = $(repeat 'F(G(' $((levels / 2)))0$(repeat ')' $levels);" \
  "${define}y = $(repeat '([' $((levels / 2)))0$(repeat ']+1)' $((levels / 2)));"
check "parentheses only" "${define}y = F($(repeat '(' $levels)0$(repeat ')' $levels));" \
  "${define}y = ($(repeat '(' $levels)0$(repeat ')' $levels)+1);"

# A chain of object-like macros, each naming the next: every link's
# expansion stays open until the last one ends.
links=20000
chain=$(awk -v n=$links 'BEGIN { for (i = 0; i < n; ++i) printf "#define A%d A%d\n", i, i + 1; print "#define A" n " 42" }')
shown=$(awk -v n=$links 'BEGIN { for (i = 1; i <= n; ++i) printf "A%d`", i; printf "42"; for (i = 0; i <= n; ++i) printf "\047" }')
check "a chain of $links macros" "${chain}"$'\n'"x = A0;" "${chain}"$'\n'"x = A0\`${shown};" ""
