#!/usr/bin/env bash
# The shapes of macro use of bench/cmode_shapes.awk, at sizes that once cost
# far more than the compiler, give the compiler's tokens through -f '$x'
# within a memory limit. Usage: cmode_shapes_differential.sh SORNIK
set -euo pipefail
sornik=$1
shapes=$(dirname "$0")/../bench/cmode_shapes.awk
command -v gcc >/dev/null || { echo "gcc is needed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The tokens of a text without its directive lines (and their continuations)
# and without white space.
code_only() {
  awk '{ skip = continued || /^[ \t]*#/; continued = skip && /\\$/; if (!skip) print }' "$1" | tr -d ' \t\n'
}

failed=0
for shape_size in chain:20000 args:3000 nest:300 mock:64 mock:1; do
  shape=${shape_size%:*} n=${shape_size#*:}
  awk -v shape="$shape" -v n="$n" -f "$shapes" >"$work/shape.c"
  gcc -E -P "$work/shape.c" >"$work/gcc.out"
  if ! (ulimit -v 800000 && "$sornik" --cpp -f '$x' "$work/shape.c" >"$work/x.out"); then
    echo "$shape $n: sornik failed within 800 MB" >&2
    failed=1
  elif [[ $(code_only "$work/x.out") != $(tr -d ' \t\n' <"$work/gcc.out") ]]; then
    echo "$shape $n: -f '\$x' differs from gcc -E" >&2
    failed=1
  fi
done
exit $failed
