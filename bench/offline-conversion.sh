#!/usr/bin/env bash
# Times the offline conversion of a text three ways in one run:
#   ours      parlino convert --engine offline (eSpeak NG and LAME in-process,
#             encoding beside synthesis), as run by OURS_CMD below
#   pipeline  espeak-ng --stdout -v en-us -f TEXT | lame -b 48 - out.mp3
#   espeak    espeak-ng -v en-us -f TEXT -w out.wav (synthesis alone)
# and prints the audio duration, the best of RUNS wall times, real-time
# factors, ours/pipeline and our peak memory. Target: ours at most 0.9 x the
# pipeline, peak memory under 50 MB.
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
PIPELINE_CMD="espeak-ng --stdout -v en-us -f '$text' | lame -b 48 - '$work/pipeline.mp3' 2>/dev/null"
ESPEAK_CMD="espeak-ng -v en-us -f '$text' -w '$work/espeak.wav'"

for tool in espeak-ng lame /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "offline-conversion: $tool is missing (scripts/install-deps)" >&2; exit 2; }
done

now() { date +%s%N; }

run() {
    bash -c "$1" >/dev/null || { echo "offline-conversion: failed: $1" >&2; exit 1; }
}

# best_of COMMAND: sets best to the shortest wall time, in seconds, of RUNS
# runs after one warm-up.
best_of() {
    local shortest=0 t0 t1 elapsed i
    run "$1"
    for ((i = 0; i < runs; i++)); do
        t0=$(now)
        run "$1"
        t1=$(now)
        elapsed=$((t1 - t0))
        if ((shortest == 0 || elapsed < shortest)); then shortest=$elapsed; fi
    done
    best=$(awk -v ns="$shortest" 'BEGIN { printf "%.3f", ns / 1e9 }')
}

seconds_of() {
    if command -v ffprobe >/dev/null; then
        ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 "$1"
    else
        echo 0
    fi
}

best_of "$OURS_CMD"
ours=$best
best_of "$PIPELINE_CMD"
pipeline=$best
best_of "$ESPEAK_CMD"
espeak=$best
peak_kb=$(/usr/bin/time -f %M bash -c "$OURS_CMD" 2>&1 >/dev/null | tail -1)

audio=$(seconds_of "$out")
wav_audio=$(awk -v b="$(stat -c %s "$work/espeak.wav")" 'BEGIN { printf "%.3f", (b - 44) / 44100 }')

awk -v text="$(basename "$text")" -v chars="$(wc -m <"$text")" -v runs="$runs" \
    -v audio="$audio" -v wav="$wav_audio" -v ours="$ours" -v pipeline="$pipeline" \
    -v espeak="$espeak" -v peak="$peak_kb" -v bytes="$(stat -c %s "$out")" 'BEGIN {
    printf "text            %s, %d characters\n", text, chars
    kbps = 0
    if (audio > 0) kbps = bytes * 8 / audio / 1000
    printf "audio           %.3f s (our MP3, %d bytes, %.1f kbit/s); espeak-ng -w: %.3f s\n",
           audio, bytes, kbps, wav
    printf "best of %d runs (wall time, real-time factor):\n", runs
    printf "  ours          %.3f s   RTF %.4f\n", ours, ours / wav
    printf "  pipeline      %.3f s   RTF %.4f   (espeak-ng --stdout | lame -b 48)\n", pipeline, pipeline / wav
    printf "  espeak -w     %.3f s   RTF %.4f   (synthesis alone)\n", espeak, espeak / wav
    printf "ours / pipeline %.2f     (target <= 0.90)\n", ours / pipeline
    printf "our peak memory %.1f MB  (target < 50 MB)\n", peak / 1024
}'
