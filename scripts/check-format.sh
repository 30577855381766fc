#!/usr/bin/env bash
# Checks that every C++ file in the repository follows .clang-format; exits 1
# and names the files that do not. With --fix the files are rewritten in place.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
clang_format=${CLANG_FORMAT:-clang-format}

# The C++ sources only: the C files under examples/ keep their own layout.
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
  ':(glob)src/**/*.cc' ':(glob)src/**/*.h' ':(glob)tests/*.cc' ':(glob)tests/*.h' \
  ':(glob)bench/*.cc' ':(glob)fuzz/*.cc' ':(glob)fuzz/*.h')
if ((${#files[@]} == 0)); then
  exit 0
fi
if [[ ${1:-} == --fix ]]; then
  "$clang_format" -i -- "${files[@]}"
  exit 0
fi

unformatted=()
for file in "${files[@]}"; do
  if ! "$clang_format" --dry-run --Werror -- "$file" >/dev/null 2>&1; then
    unformatted+=("$file")
  fi
done
if ((${#unformatted[@]})); then
  echo "not formatted (run: bash scripts/check-format.sh --fix):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
