#!/usr/bin/env bash
# Peak memory of a long offline conversion. Generates a text of SIZE_KB
# kilobytes (default 1024: about 17 hours of speech, 15 to 20 minutes of work)
# (a little more: whole copies) by repeating data/text_en_5k.txt, and prints the peak resident memory
# (/usr/bin/time %M), wall time and audio length of
#   convert  parlino convert --engine offline (the whole command)
#   engine   build/bench/offline_convert --part-bytes PART_BYTES: the engine
#            alone, given the text in parts as a conversion in parts sends
#            them, two at a time, the frames written out as they come
# Target: under 60 MB each. Not part of ctest: it takes long.
#
#   bench/offline-memory.sh                 # after a release build in build/
#   SIZE_KB=100 ONLY=engine bench/offline-memory.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
size_kb=${SIZE_KB:-1024}
part_bytes=${PART_BYTES:-1000}
only=${ONLY:-}
target_mb=60
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

command -v /usr/bin/time >/dev/null || { echo "offline-memory: /usr/bin/time is missing" >&2; exit 2; }

# The text: whole copies of the sample, paragraphs apart.
text=$work/long.txt
sample=$root/data/text_en_5k.txt
: >"$text"
while (($(stat -c %s "$text") < size_kb * 1024)); do
    cat "$sample" >>"$text"
    printf '\n\n' >>"$text"
done

seconds_of() {
    if command -v ffprobe >/dev/null; then
        ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 "$1"
    else
        echo 0
    fi
}

# measure NAME COMMAND...: runs the command once and prints its line.
measure() {
    local name=$1 out=$work/$1.mp3
    shift
    local start end status=0
    start=$(date +%s%N)
    /usr/bin/time -o "$work/time" -f %M "$@" "$out" >/dev/null 2>"$work/err" || status=$?
    end=$(date +%s%N)
    if ((status != 0)); then
        echo "offline-memory: $name failed: $(tail -3 "$work/err")" >&2
        return 1
    fi
    # offline_convert says how much audio it made; its file has no length tag.
    local audio
    audio=$(sed -n 's/.* \([0-9.]*\) s of audio.*/\1/p' "$work/err")
    [ -n "$audio" ] || audio=$(seconds_of "$out")
    awk -v name="$name" -v kb="$(tail -1 "$work/time")" -v ns=$((end - start)) \
        -v audio="$audio" -v target=$target_mb 'BEGIN {
        mb = kb / 1024
        printf "%-8s peak %6.1f MB  %s  wall %7.1f s  audio %8.1f s\n", name, mb,
               mb < target ? "(ok)  " : "(over)", ns / 1e9, audio
    }'
}

printf 'text     %d KB, %d characters, parts of %d bytes for the engine\n' \
    "$size_kb" "$(wc -m <"$text")" "$part_bytes"
printf 'target   peak memory under %d MB\n' "$target_mb"
if [ "$only" != engine ]; then
    measure convert "$build/parlino" convert --engine offline --voice en-US-Standard-B --force \
        "$text" --output || true
fi
if [ "$only" != convert ]; then
    measure engine "$build/bench/offline_convert" --part-bytes "$part_bytes" --jobs 2 "$text"
fi
