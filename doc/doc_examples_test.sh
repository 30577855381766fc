#!/usr/bin/env bash
# Tests scripts/doc-examples.sh on a small made-up tree, with a stand-in for
# sornik, so that the tests do not depend on what sornik prints: transcripts
# land between their markers byte for byte, the manual page shows them
# unchanged once formatted (quotes, backslashes, minus signs, leading dots),
# --check finds a document that drifted, and a failing run is reported.
set -euo pipefail
script=$(cd "$(dirname "$0")/.." && pwd)/scripts/doc-examples.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/scripts" "$tree/doc" "$tree/examples/case"
cp "$script" "$tree/scripts/"

failures=0
expect() {
  if ! eval "$2"; then
    echo "FAILED: $1"
    failures=$((failures + 1))
  fi
}

# The stand-in prints the last file it is given, then a line of awkward bytes.
cat > "$tree/fake-sornik" <<'FAKE'
#!/usr/bin/env bash
[[ -z ${FAKE_FAILS:-} ]] || { echo "broken" >&2; exit 1; }
cat "${@: -1}"
printf '%s\n' "x = A\`1' - \\n"
FAKE
chmod +x "$tree/fake-sornik"
printf '#define A 1\n' > "$tree/examples/case/defs.h"
printf '.start\n\n  int x = A;\n' > "$tree/examples/case/main.c"
printf -- '-f\n$n=$x\n-d\ndefs.h\nmain.c\n' > "$tree/examples/case/run.args"

cat > "$tree/README.md" <<'DOC'
# T
<!-- example: examples/case/run.args -->
stale text
<!-- end of example -->
text
<!-- example-output: examples/case/run.args -->
<!-- end of example -->
DOC
cat > "$tree/doc/sornik.1" <<'DOC'
.TH T 1
.SH EXAMPLES
.\" example: examples/case/run.args
.\" end of example
DOC

run() { bash "$tree/scripts/doc-examples.sh" "$@" "$tree/fake-sornik" >"$tree/out" 2>&1; }

transcript=$'$ cat defs.h\n#define A 1\n$ cat main.c\n.start\n\n  int x = A;\n'
transcript+=$'$ sornik -f \'$n=$x\' -d defs.h main.c\n.start\n\n  int x = A;\nx = A`1\' - \\n\n'
output_only=$'$ sornik -f \'$n=$x\' -d defs.h main.c\n.start\n\n  int x = A;\nx = A`1\' - \\n\n'

expect "writing succeeds" 'run'
expected_readme="# T
<!-- example: examples/case/run.args -->
\`\`\`
$transcript\`\`\`
<!-- end of example -->
text
<!-- example-output: examples/case/run.args -->
\`\`\`
$output_only\`\`\`
<!-- end of example -->"
expect "README transcripts are exact" '[[ $(cat "$tree/README.md") == "$expected_readme" ]]'

# Formatted, the manual page shows the transcript unchanged (after its indent).
rendered=$(groff -man -Tascii -P-cbou "$tree/doc/sornik.1" | awk '
  /^ *\$ cat defs.h$/ { indent = index($0, "$") }
  /^ +T\(1\)$/ { exit }
  indent { print substr($0, indent) }')
expect "the manual page shows the transcript" '[[ "$rendered"$'\''\n'\'' == "$transcript" ]]'
expect "groff has no warning" '[[ -z $(groff -ww -man -z "$tree/doc/sornik.1" 2>&1) ]]'

expect "a fresh tree passes --check" 'run --check'
sed -i 's/^  int x = A;$/  int x = B;/' "$tree/README.md"
expect "--check finds a drifted README" '! run --check && grep -q "^-  int x = B;" "$tree/out"'
expect "--check leaves the document alone" 'grep -q "^  int x = B;" "$tree/README.md"'
expect "rewriting repairs it" 'run && run --check'

expect "a failing run is reported" '! FAKE_FAILS=1 run && grep -q "status 1: broken" "$tree/out"'
printf '<!-- example: examples/case/run.args -->\n' >> "$tree/README.md"
expect "an unclosed example is reported" '! run && grep -q "not closed" "$tree/out"'

((failures == 0)) && echo "all doc-examples checks passed"
exit $((failures > 0))
