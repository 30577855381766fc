#!/usr/bin/env bash
# Times a whole project through its compile database: `sornik --cpp -p DIR`
# (one run, every entry) against `gcc -E` run entry by entry with each
# entry's own command, in its directory, as a build would run it. Both run
# in this one script, one after the other, ROUNDS times, so that a loaded
# machine weighs on both alike; prints wall time and peak RSS of each and
# the ratio of the best walls.
#   bench/project_speed.sh SORNIK DIR [ROUNDS] [extra sornik options...]
# DIR holds compile_commands.json (for instance a CMake build folder
# configured with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON).
set -euo pipefail
sornik=$1
dir=$2
rounds=${3:-3}
shift $(($# < 3 ? $# : 3))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each entry's command turned into a preprocessing command: its -c and
# -o FILE dropped, -E -o /dev/null added; words as the database gives them.
python3 - "$dir/compile_commands.json" > "$work/gcc.sh" <<'PY'
import json, shlex, sys
for e in json.load(open(sys.argv[1])):
    words = e.get("arguments") or shlex.split(e["command"])
    out, skip = [], False
    for w in words[1:]:
        if skip: skip = False; continue
        if w == "-o": skip = True; continue
        if w == "-c" or w.startswith("-o"): continue
        out.append(w)
    print("cd %s && gcc -E -o /dev/null %s 2>/dev/null || true" % (shlex.quote(e["directory"]), " ".join(map(shlex.quote, out))))
PY
entries=$(wc -l < "$work/gcc.sh")
echo "$entries entries in $dir/compile_commands.json"

measure() {  # name, command...: appends "name wall_seconds peak_kb" to the results
  local name=$1
  shift
  /usr/bin/time -f "result $name %e %M" -o "$work/one" "$@" > /dev/null 2> /dev/null || true
  grep '^result ' "$work/one" | cut -d' ' -f2- >> "$work/results"
}

for ((round = 1; round <= rounds; round++)); do
  measure gcc-E-per-file bash "$work/gcc.sh"
  measure sornik-p bash -c '"$0" --cpp -p "$1" "${@:2}"' "$sornik" "$dir" "$@"
  measure sornik-p-j1 bash -c '"$0" --cpp -p "$1" -j 1 "${@:2}"' "$sornik" "$dir" "$@"
done
awk '{ if (!($1 in wall) || $2 + 0 < wall[$1]) wall[$1] = $2 + 0; if ($3 + 0 > rss[$1]) rss[$1] = $3 + 0; n[$1]++ }
     END {
       for (k in wall) printf "%-16s best wall %7.2f s   peak RSS %7.1f MB   (%d rounds)\n", k, wall[k], rss[k] / 1024, n[k]
       if (wall["sornik-p"] > 0) printf "gcc -E per file / sornik -p: %.1fx faster (wall)\n", wall["gcc-E-per-file"] / wall["sornik-p"]
     }' "$work/results"
