#!/usr/bin/env bash
# Fills the example transcripts of README.md and doc/sornik.1 with what sornik
# really prints, so that the documents cannot drift from the program.
#
#   bash scripts/doc-examples.sh [--check] [path/to/sornik]
#
# A transcript is marked in README.md by the lines
#   <!-- example: examples/gallery/intro/run.args -->  ...  <!-- end of example -->
# and in doc/sornik.1 by
#   .\" example: examples/gallery/intro/run.args       ...  .\" end of example
# The .args file holds the command-line arguments, one per line; sornik runs in
# its folder. "example:" shows each input file the arguments name, the command
# and its output; "example-output:" only the command and its output. With
# --check nothing is written: the script fails when a document differs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=write
if [[ ${1:-} == --check ]]; then
  mode=check
  shift
fi
sornik=$(realpath "${1:-$root/build/sornik}")
documents=(README.md doc/sornik.1)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The C mode caches what it asks of the compiler: here in a folder of its
# own, never the user's.
export XDG_CACHE_HOME=$work/cache

fail() {
  echo "doc-examples: $*" >&2
  exit 1
}

# Prints the arguments as they would be typed in a shell.
shell_words() {
  local word
  for word in "$@"; do
    if [[ $word =~ ^[A-Za-z0-9_./=-]+$ ]]; then
      printf ' %s' "$word"
    else
      printf " '%s'" "${word//\'/\'\\\'\'}"
    fi
  done
}

# Writes the plain transcript of one .args file to $2; $3 is "example" or
# "example-output".
write_transcript() {
  local args_file=$root/$1 out=$2 kind=$3
  [[ -f $args_file ]] || fail "$1: no such file"
  local case_dir args=() arg status=0
  case_dir=$(dirname "$args_file")
  mapfile -t args < "$args_file"
  : > "$out"
  if [[ $kind == example ]]; then
    for arg in "${args[@]}"; do
      [[ -f $case_dir/$arg ]] || continue
      [[ -z $(tail -c1 "$case_dir/$arg") ]] || fail "$1: $arg does not end with a newline"
      printf '$ cat %s\n' "$arg" >> "$out"
      cat "$case_dir/$arg" >> "$out"
    done
  fi
  printf '$ sornik%s\n' "$(shell_words "${args[@]}")" >> "$out"
  (cd "$case_dir" && "$sornik" "${args[@]}") >> "$out" 2> "$work/stderr" </dev/null || status=$?
  if ((status != 0)) || [[ -s $work/stderr ]]; then
    fail "$1: sornik ended with status $status: $(cat "$work/stderr")"
  fi
  [[ -z $(tail -c1 "$out") ]] || fail "$1: the output does not end with a newline"
}

# Turns a plain transcript into the markup of the document it goes to.
render() {
  local document=$1 transcript=$2
  if [[ $document == *.md ]]; then
    echo '```'
    cat "$transcript"
    echo '```'
  else
    echo '.PP'
    echo '.in +4n'
    echo '.EX'
    # Backslashes, minus signs and quotes keep their look in every output
    # device; a line that would start with a control character is protected.
    sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e 's/`/\\(ga/g' -e "s/'/\\\\(aq/g" \
      -e 's/^\./\\\&./' -e 's/^$/\\\&/' "$transcript"
    echo '.EE'
    echo '.in'
  fi
}

# Writes the document $1 with every marked transcript regenerated to $2.
regenerate() {
  local document=$1 out=$2 line kind path count=0 skipping=0
  local begin='^(<!-- |\.\\" )(example|example-output): ([^ ]+)( -->)?$'
  local end='^(<!-- |\.\\" )end of example( -->)?$'
  : > "$out"
  while IFS= read -r line || [[ -n $line ]]; do
    if ((skipping)); then
      if [[ $line =~ $end ]]; then
        skipping=0
        printf '%s\n' "$line" >> "$out"
      fi
      continue
    fi
    printf '%s\n' "$line" >> "$out"
    if [[ $line =~ $begin ]]; then
      kind=${BASH_REMATCH[2]}
      path=${BASH_REMATCH[3]}
      count=$((count + 1))
      write_transcript "$path" "$work/transcript" "$kind"
      render "$document" "$work/transcript" >> "$out"
      skipping=1
    fi
  done < "$root/$document"
  ((skipping == 0)) || fail "$document: an example is not closed"
  ((count > 0)) || fail "$document: no example found"
}

[[ -x $sornik ]] || fail "$sornik: not an executable (build sornik first)"
status=0
for document in "${documents[@]}"; do
  regenerate "$document" "$work/new"
  if cmp -s "$root/$document" "$work/new"; then
    continue
  fi
  if [[ $mode == check ]]; then
    echo "$document differs from what sornik prints now (run: bash scripts/doc-examples.sh):"
    diff -u --label "$document" --label "$document (regenerated)" "$root/$document" "$work/new" || true
    status=1
  else
    cp "$work/new" "$root/$document"
    echo "updated $document"
  fi
done
exit $status
