#!/usr/bin/env bash
# Compares the macros that `sornik --cpp --print-defines -d H` finds in each
# header H with those of the C compiler (`gcc -dM -E H`), both searching the
# compiler's own include directories through -nostdinc -I.
#
#   scripts/cmode-header-differential.sh [--undef] [--list FILE] [--sornik PATH] [--keep DIR]
#
# Without --list every file under /usr/include is compared (one command for
# the whole set); --list names the headers to compare, one per line. By
# default both sides start from the compiler's predefined macros (sornik asks
# the compiler for them itself); with --undef neither has them (-undef).
# Lines of the predefined macros themselves are left out on both sides. The
# exit status is 1 when any header differs; --keep DIR keeps a diff per header.
set -uo pipefail
cd "$(dirname "$0")/.."

sornik=build/sornik
list=
undef=0
keep=
while (($#)); do
  case $1 in
    --undef) undef=1 ;;
    --list) list=$2; shift ;;
    --sornik) sornik=$2; shift ;;
    --keep) keep=$2; shift ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
  shift
done
[[ -x $sornik ]] || { echo "no sornik at $sornik (build it first)" >&2; exit 2; }
command -v gcc >/dev/null || { echo "gcc is needed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The C mode caches what it asks of the compiler: here in a folder of its
# own, never the user's.
export XDG_CACHE_HOME=$work/cache
[[ -n $keep ]] && mkdir -p "$keep"

# The compiler's include directories, in its order.
mapfile -t dirs < <(gcc -E -v -x c /dev/null 2>&1 >/dev/null |
  sed -n '/#include <...> search starts here:/,/End of search list/p' | sed '1d;$d;s/^ *//')
include_args=()
for dir in "${dirs[@]}"; do include_args+=(-I "$dir"); done

gcc_args=(-nostdinc "${include_args[@]}" -dM -E -x c)
sornik_args=(--cpp -nostdinc "${include_args[@]}")
((undef)) && gcc_args=(-undef "${gcc_args[@]}") && sornik_args+=(-undef)
# What the compiler defines before any header, left out of both sides.
gcc "${gcc_args[@]}" /dev/null > "$work/predefined.h"
LC_ALL=C sort "$work/predefined.h" > "$work/predefined.sorted"

if [[ -n $list ]]; then
  mapfile -t headers < "$list"
else
  mapfile -t headers < <(find /usr/include -type f | LC_ALL=C sort)
fi

agree=0
differ=0
stopped=0
differing=()
for header in "${headers[@]}"; do
  [[ -f $header ]] || continue
  if ! gcc "${gcc_args[@]}" "$header" 2>"$work/gcc.err" | LC_ALL=C sort |
    LC_ALL=C comm -23 - "$work/predefined.sorted" > "$work/gcc.out"; then
    :
  fi
  gcc_stopped=0
  grep -q 'fatal error' "$work/gcc.err" && gcc_stopped=1
  "$sornik" "${sornik_args[@]}" --print-defines -d "$header" 2>/dev/null | LC_ALL=C sort |
    LC_ALL=C comm -23 - "$work/predefined.sorted" > "$work/sornik.out"
  if cmp -s "$work/gcc.out" "$work/sornik.out"; then
    agree=$((agree + 1))
  elif ((gcc_stopped)); then
    # The compiler gave up at a missing include and printed nothing; sornik
    # warns and goes on, so there is nothing to compare.
    stopped=$((stopped + 1))
  else
    differ=$((differ + 1))
    differing+=("$header")
    if [[ -n $keep ]]; then
      diff -u --label gcc --label sornik "$work/gcc.out" "$work/sornik.out" > "$keep/$(echo "$header" | tr / _).diff"
    fi
  fi
done

for header in "${differing[@]}"; do echo "differs: $header"; done
echo "headers: ${#headers[@]}  agree: $agree  differ: $differ  gcc stopped at a missing include: $stopped"
((differ == 0))
