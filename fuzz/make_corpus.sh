#!/usr/bin/env bash
# Rebuilds the seed corpora under fuzz/corpus/ from the end-to-end cases in
# tests/e2e/ (each case becomes one seed per target it feeds) and from a few
# hand-written engine templates. Files named regression-* are findings of
# earlier campaigns and are kept as they are.
#
# The layouts follow the targets (sections separated by the byte 0x1e):
#   run_fuzz             arguments (one a line), file a, file b, file c
#   define_reader_fuzz   definition file a, definition file b
#   line_expansion_fuzz  options byte and format, definitions without their
#                        "#define " keyword, source a.c, source b.c
#   replace_engine_fuzz  template, subject
#   argument_substitution_fuzz  parameters, arguments, body
set -euo pipefail
cd "$(dirname "$0")"
root=$(cd .. && pwd)
mark=$'\x1e'

for target in run_fuzz define_reader_fuzz line_expansion_fuzz replace_engine_fuzz argument_substitution_fuzz; do
  mkdir -p "corpus/$target"
  find "corpus/$target" -type f ! -name 'regression-*' -delete
done

# Prints the arguments of an e2e case, one a line.
case_args() { [[ -f $1/args ]] && cat "$1/args"; return 0; }

for case_dir in "$root"/tests/e2e/*/; do
  case_name=$(basename "$case_dir")
  mapfile -t args < <(case_args "$case_dir")

  # Split the arguments as the program does: options, -d pairs, sources.
  list=0 format= has_format=0 defines=() sources=() next=0
  while ((next < ${#args[@]})); do
    case ${args[next]} in
      -l) list=1 ;;
      -f) ((next + 1 < ${#args[@]})) || break; has_format=1; format=${args[next + 1]}; ((next += 1)) ;;
      *) break ;;
    esac
    ((next += 1))
  done
  while ((next + 1 < ${#args[@]})) && [[ ${args[next]} == -d ]]; do
    defines+=("${args[next + 1]}")
    ((next += 2))
  done
  sources=("${args[@]:next}")

  # run_fuzz: the files the arguments name become a, b and c.
  declare -A renamed=()
  files=()
  for arg in "${args[@]}"; do
    if [[ -f $case_dir/$arg && -z ${renamed[$arg]:-} && ${#files[@]} -lt 3 ]]; then
      renamed[$arg]=$(printf "\\x$(printf %x $((97 + ${#files[@]})))")
      files+=("$arg")
    fi
  done
  {
    for arg in "${args[@]}"; do printf '%s\n' "${renamed[$arg]:-$arg}"; done
    for file in "${files[@]}"; do printf '%s' "$mark"; cat "$case_dir/$file"; done
  } > "corpus/run_fuzz/$case_name"
  unset renamed

  existing_defines=()
  for file in "${defines[@]}"; do [[ -f $case_dir/$file ]] && existing_defines+=("$case_dir/$file"); done
  if ((${#existing_defines[@]})); then
    {
      cat "${existing_defines[0]}"
      if ((${#existing_defines[@]} > 1)); then printf '%s' "$mark"; cat "${existing_defines[1]}"; fi
    } > "corpus/define_reader_fuzz/$case_name"
  fi

  existing_sources=()
  for file in "${sources[@]}"; do [[ -f $case_dir/$file ]] && existing_sources+=("$case_dir/$file"); done
  if ((${#existing_defines[@]} && ${#existing_sources[@]})); then
    {
      printf "\\x$(printf %x $((48 + list + 2 * has_format)))%s" "$format"
      printf '%s' "$mark"
      cat "${existing_defines[@]}" | sed -n 's/^#define[ \t]*//p'
      for file in "${existing_sources[@]:0:2}"; do printf '%s' "$mark"; cat "$file"; done
    } > "corpus/line_expansion_fuzz/$case_name"
  fi
done

# Engine templates: one seed per template grammar feature.
engine_seed() { printf '%s%s%s' "$2" "$mark" "$3" > "corpus/replace_engine_fuzz/$1"; }
engine_seed empty_template '' 'abc'
engine_seed empty_pair 'a:b,,' 'aaa'
engine_seed trailing_comma 'a:b,' 'banana'
engine_seed last_colon_wins 'x:p:q' 'xyx'
engine_seed escaped_colon 'x\:p' 'x:p'
engine_seed no_overlap 'aa:b' 'aaaaa'
engine_seed whole_word '(ab):X' 'xab abx ab_ ab1 ab (ab) ab+ ab'
engine_seed whole_word_two_byte '(ab):X' $'\x82\xa0ab ab\x82\xa0 ab'
engine_seed digit_capture 'k$d:[$d]' 'k42 kx k'
engine_seed all_captures '$A$s$d:<$A|$s|$d>,$a$g$c$x:[$a$g$c$x]' 'ab 12 c0 zz!!'
engine_seed rest_capture 'x$$:<$A>' 'ax tail'
engine_seed upper_lower 'ab:<$u$l$$>' 'ab AB'
engine_seed illegal_dollar 'ab:$q' 'ab'
engine_seed field_three '(3)x:y' 'x'
engine_seed field_zero '(0)x:y' 'x'
engine_seed field_empty '()x:y' 'x'
engine_seed field_one_empty_pattern '(1):y' 'x'
engine_seed wildcard 'a?c:[$$]' $'abc a\x82\xa0c'
engine_seed substitution '(a):x,(b):y+1,' '((a)>(b)?(a):(b))'
engine_seed escaped_argument '(s):"\\$$\\:\\,\\\\",' 'puts(s)'
engine_seed zero_length_match '(\):x' 'a\b'

# Substitutions: parameters, arguments and body of the worked results.
substitution_seed() { printf '%s%s%s%s%s' "$2" "$mark" "$3" "$mark" "$4" > "corpus/argument_substitution_fuzz/$1"; }
substitution_seed two_parameters 'a,b' 'x, y+1' '((a)>(b)?(a):(b))'
substitution_seed blanks_around 'a , b' ' p ,q ' 'a-b'
substitution_seed whole_words 'a,b' '1,2' 'ab+a_b+a+b'
substitution_seed swapped 'a,b' 'b, a' '((a)>(b)?(a):(b))'
substitution_seed colon_argument 'a' 'c ? d : e' '[a]'
substitution_seed dollar_argument 's' '"$$"' 'puts(s)'
substitution_seed upper_argument 'n' '$u' 'n'
substitution_seed variadic 'fmt, ...' 'f, a' 'p(fmt, ...)'
substitution_seed nested_commas 'a,b' 'f(1,2), c' 'a+b'
substitution_seed too_few 'a,b' 'x' 'a'
substitution_seed empty_lists '' '' 'x'
substitution_seed empty_middle 'x,,z' '1,,3' 'x+z'
substitution_seed two_byte_neighbours 'a' 'Z' $'\x82\xa0a a\x82\xa0 a'
substitution_seed multi_line 'a' $'\n  x\n  + y\n' '(a)'
substitution_seed digit_parameters '0,2' 'x,y' '0+2'
substitution_seed literal_argument 'a' '"x, y\\n"' 'puts(a)'
