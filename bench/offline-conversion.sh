#!/usr/bin/env bash
# Times the offline conversion of a text three ways in one run:
#   ours      parlino convert --engine offline (eSpeak NG and LAME in-process,
#             encoding beside synthesis), as run by OURS_CMD below
#   pipeline  espeak-ng --stdout -v VOICE -f TEXT | lame -b 48 - out.mp3
#   espeak    espeak-ng -v VOICE -f TEXT -w out.wav (synthesis alone)
# VOICE is the eSpeak voice ours speaks with (en-US-Standard-B is en-us+f3),
# so that all three synthesise the same speech. The runs take turns, so that
# the load of the machine weighs on all three alike. It prints the audio
# duration, the best of RUNS wall times, real-time factors, ours over the
# pipeline and over espeak -w, and our peak memory. Targets: ours at most 0.9
# x the pipeline and 1.3 x espeak -w alone, peak memory under 50 MB.
# PARTS_CMD is timed as well: build/bench/offline_convert given the text in
# parts of 1,000 bytes, two at a time (PARTS_CMD= leaves it out).
#
#   bench/offline-conversion.sh            # after a release build in build/
#   RUNS=15 BUILD_DIR=out bench/offline-conversion.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
text=${TEXT:-$root/data/text_en_5k.txt}
runs=${RUNS:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out=$work/ours.mp3

# The conversion under test; it must write $out.
OURS_CMD=${OURS_CMD:-"'$build/parlino' convert --engine offline --voice en-US-Standard-B --force --output '$out' '$text'"}
voice=${VOICE:-en-us+f3}
PIPELINE_CMD="espeak-ng --stdout -v $voice -f '$text' | lame -b 48 - '$work/pipeline.mp3' 2>/dev/null"
ESPEAK_CMD="espeak-ng -v $voice -f '$text' -w '$work/espeak.wav'"
# The engine alone given the text in parts, as a conversion in parts sends them.
PARTS_CMD=${PARTS_CMD-"'$build/bench/offline_convert' --part-bytes 1000 '$text' '$work/parts.mp3'"}

for tool in espeak-ng lame /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "offline-conversion: $tool is missing (scripts/install-deps)" >&2; exit 2; }
done

now() { date +%s%N; }

run() {
    bash -c "$1" >/dev/null 2>"$work/stderr" || {
        echo "offline-conversion: failed: $1: $(tail -3 "$work/stderr")" >&2
        exit 1
    }
}

# time_of COMMAND: the wall time of one run, in nanoseconds.
time_of() {
    local t0 t1
    t0=$(now)
    run "$1"
    t1=$(now)
    echo $((t1 - t0))
}

# best_of NAME=COMMAND...: one warm-up each, then RUNS rounds in which each
# command runs once; sets best[NAME] to its shortest wall time in seconds.
declare -A best
best_of() {
    local entry name elapsed i
    declare -A shortest
    for entry in "$@"; do run "${entry#*=}"; done
    for ((i = 0; i < runs; i++)); do
        for entry in "$@"; do
            name=${entry%%=*}
            elapsed=$(time_of "${entry#*=}")
            if [ -z "${shortest[$name]:-}" ] || ((elapsed < shortest[$name])); then
                shortest[$name]=$elapsed
            fi
        done
    done
    for entry in "$@"; do
        name=${entry%%=*}
        best[$name]=$(awk -v ns="${shortest[$name]}" 'BEGIN { printf "%.3f", ns / 1e9 }')
    done
}

seconds_of() {
    if command -v ffprobe >/dev/null; then
        ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 "$1"
    else
        echo 0
    fi
}

commands=("ours=$OURS_CMD" "pipeline=$PIPELINE_CMD" "espeak=$ESPEAK_CMD")
[ -z "$PARTS_CMD" ] || commands+=("parts=$PARTS_CMD")
best_of "${commands[@]}"
peak_kb=$(/usr/bin/time -f %M bash -c "$OURS_CMD" 2>&1 >/dev/null | tail -1)

audio=$(seconds_of "$out")
wav_audio=$(awk -v b="$(stat -c %s "$work/espeak.wav")" 'BEGIN { printf "%.3f", (b - 44) / 44100 }')

awk -v text="$(basename "$text")" -v chars="$(wc -m <"$text")" -v runs="$runs" \
    -v audio="$audio" -v wav="$wav_audio" -v ours="${best[ours]}" -v pipeline="${best[pipeline]}" \
    -v espeak="${best[espeak]}" -v parts="${best[parts]:-}" -v voice="$voice" -v peak="$peak_kb" \
    -v bytes="$(stat -c %s "$out")" 'BEGIN {
    printf "text            %s, %d characters, eSpeak voice %s\n", text, chars, voice
    kbps = 0
    if (audio > 0) kbps = bytes * 8 / audio / 1000
    printf "audio           %.3f s (our MP3, %d bytes, %.1f kbit/s); espeak-ng -w: %.3f s\n",
           audio, bytes, kbps, wav
    printf "best of %d runs, taking turns (wall time, real-time factor):\n", runs
    printf "  ours          %.3f s   RTF %.4f\n", ours, ours / wav
    if (parts != "")
        printf "  parts         %.3f s   RTF %.4f   (the engine alone, in parts)\n", parts, parts / wav
    printf "  pipeline      %.3f s   RTF %.4f   (espeak-ng --stdout | lame -b 48)\n", pipeline, pipeline / wav
    printf "  espeak -w     %.3f s   RTF %.4f   (synthesis alone)\n", espeak, espeak / wav
    printf "ours / pipeline %.2f     (target <= 0.90)\n", ours / pipeline
    printf "ours / espeak -w  %.2f   (target <= 1.30)\n", ours / espeak
    if (parts != "")
        printf "parts / espeak -w %.2f\n", parts / espeak
    printf "our peak memory %.1f MB  (target < 50 MB)\n", peak / 1024
}'
