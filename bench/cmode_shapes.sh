#!/usr/bin/env bash
# Time and peak memory of the C mode on the shapes of macro use whose cost
# may grow faster than their input (see cmode_shapes.awk), each at n, 2n, 4n
# and 8n, beside `gcc -E` on the same source: sornik through -f '$x' and in
# the default form (with the size of its listing), and whether -f '$x' gives
# the compiler's tokens. A run that takes longer than `limit` seconds stops.
# Usage: bench/cmode_shapes.sh [limit]   (default 120)
#        BUILD_DIR=<dir> picks the release build directory (default build-release);
#        SORNIK=<program> measures that program instead of building one.
set -euo pipefail
limit=${1:-120}
if [[ -n ${SORNIK:-} ]]; then
  sornik=$(realpath "$SORNIK")
  cd "$(dirname "$0")/.."
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
else
  source "$(dirname "$0")/release_build.sh"
  sornik=$PWD/$build/sornik
fi

# run NAME COMMAND...: "seconds MB" of one run, or "timeout -"; stdout to $work/NAME.
run() {
  local name=$1
  shift
  /usr/bin/time -o "$work/time" -f "%e %M" timeout "$limit" "$@" >"$work/$name" 2>/dev/null || true
  if grep -q "status 124" "$work/time"; then
    printf 'timeout -\n'
  else
    awk 'END { printf "%.2f %.1f\n", $1, $2 / 1024 }' "$work/time"
  fi
}

# The tokens of a program's text without its directive lines (and their
# continuations) and without white space, to compare with `gcc -E -P`.
code_only() {
  awk '{ skip = continued || /^[ \t]*#/; continued = skip && /\\$/; if (!skip) print }' "$1" | tr -d ' \t\n'
}

printf '%-6s %7s | %13s | %13s | %22s | %s\n' shape n "gcc -E s MB" "-f '\$x' s MB" "default s MB out-MB" "same as gcc"
for shape_size in chain:12500 args:1000 nest:500 mock:8; do
  shape=${shape_size%:*}
  for n in $((${shape_size#*:})) $((${shape_size#*:} * 2)) $((${shape_size#*:} * 4)) $((${shape_size#*:} * 8)); do
    awk -v shape="$shape" -v n="$n" -f bench/cmode_shapes.awk >"$work/source.c"
    read -r gcc_s gcc_mb < <(run gcc.out gcc -E -P "$work/source.c")
    read -r x_s x_mb < <(run x.out "$sornik" --cpp -f '$x' "$work/source.c")
    read -r default_s default_mb < <(run default.out "$sornik" --cpp "$work/source.c")
    same=no
    [[ $x_s != timeout && $(code_only "$work/x.out") == $(tr -d ' \t\n' <"$work/gcc.out") ]] && same=yes
    listing_mb=$(awk -v bytes="$(wc -c <"$work/default.out")" 'BEGIN { printf "%.1f", bytes / 1e6 }')
    printf '%-6s %7d | %6s %6s | %6s %6s | %6s %6s %8s | %s\n' "$shape" "$n" "$gcc_s" "$gcc_mb" "$x_s" "$x_mb" \
      "$default_s" "$default_mb" "$listing_mb" "$same"
  done
done
