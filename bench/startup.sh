#!/usr/bin/env bash
# Start-up benchmark: the editor (parlino --quit-after-show: launch to the
# editor's first paint, then exit) beside a minimal Qt Widgets program with a
# similar set of widgets (startup_floor), both offscreen.
# Reports hyperfine wall times, callgrind instruction counts and peak memory,
# with the editor/floor ratios; the targets on instructions are 1.3x the floor
# for the empty editor and 1.5x with the sample document.
# Usage: bench/startup.sh [BUILD_DIR]   (default: build)
# RUNS=n sets the hyperfine runs (40); KEEP_WORK=1 keeps the sample document.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
editor="$build/parlino"
floor="$build/bench/startup_floor"
for tool in hyperfine valgrind /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "startup.sh: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done
[ -x "$editor" ] && [ -x "$floor" ] || { echo "startup.sh: build parlino and startup_floor first" >&2; exit 1; }

work=$(mktemp -d)
if [ -n "${KEEP_WORK:-}" ]; then echo "work files in $work"; else trap 'rm -rf "$work"' EXIT; fi
export QT_QPA_PLATFORM=offscreen HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
       XDG_RUNTIME_DIR="$work/run" QT_LOGGING_RULES="*.debug=false"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# A 5,000-character text with 500 effect spans (5 characters every 10), and the
# same text as plain text for the floor.
awk 'BEGIN {
  words = "The harbour town of Kelmsworth sits at the mouth of a slow river and lives by the tides. ";
  while (length(text) < 5000) text = text words;
  text = substr(text, 1, 5000);
  printf "%s", text > "'"$work/doc.txt"'";
  split("Emphasis strong|Say as cardinal|Volume loud|Date dmy|Time time|Sub alias", kinds, "|");
  printf "{\"text\": \"%s\", \"effects\": [", text;
  for (i = 0; i < 500; i++) {
    k = kinds[i % 6 + 1]; n = index(k, " ");
    while (substr(k, n + 1) ~ / /) n += index(substr(k, n + 1), " ");
    printf "%s{\"effect\": \"%s\", \"location\": %d, \"length\": 5, \"value\": \"%s\"}",
           (i ? ", " : ""), substr(k, 1, n - 1), i * 10, substr(k, n + 1);
  }
  printf "]}\n";
}' > "$work/doc.json"

runs="${RUNS:-40}"
hyperfine -N --warmup 5 --runs "$runs" --export-json "$work/wall.json" \
  -n floor "$floor" \
  -n editor "$editor --quit-after-show" \
  -n "floor+text" "$floor $work/doc.txt" \
  -n "editor+500 spans" "$editor --quit-after-show --load $work/doc.json" >/dev/null

mean_ms() { grep -o '"mean": [0-9.e+-]*' "$work/wall.json" | sed -n "$1p" | awk '{ printf "%.1f", $2 * 1000 }'; }
instructions() { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 |
  awk '/Collected :/ { print $NF }'; }
peak_kib() { # median of five runs
  for _ in 1 2 3 4 5; do /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; done | sort -n | sed -n 3p; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '%-18s %10s %14s %12s\n' "program" "wall ms" "instructions" "peak KiB"
declare -A wall ins mem
i=1
for name in floor editor "floor+text" "editor+500 spans"; do
  case "$name" in
    floor) cmd=("$floor") ;;
    editor) cmd=("$editor" --quit-after-show) ;;
    "floor+text") cmd=("$floor" "$work/doc.txt") ;;
    *) cmd=("$editor" --quit-after-show --load "$work/doc.json") ;;
  esac
  wall[$name]=$(mean_ms $i)
  ins[$name]=$(instructions "${cmd[@]}")
  mem[$name]=$(peak_kib "${cmd[@]}")
  printf '%-18s %10s %14s %12s\n' "$name" "${wall[$name]}" "${ins[$name]}" "${mem[$name]}"
  i=$((i + 1))
done
echo
echo "editor / floor:              wall $(ratio "${wall[editor]}" "${wall[floor]}")x," \
     "instructions $(ratio "${ins[editor]}" "${ins[floor]}")x (target 1.3x)," \
     "peak memory $(ratio "${mem[editor]}" "${mem[floor]}")x"
echo "editor+500 spans / floor+text: wall $(ratio "${wall[editor+500 spans]}" "${wall[floor+text]}")x," \
     "instructions $(ratio "${ins[editor+500 spans]}" "${ins[floor+text]}")x (target 1.5x)," \
     "peak memory $(ratio "${mem[editor+500 spans]}" "${mem[floor+text]}")x"
