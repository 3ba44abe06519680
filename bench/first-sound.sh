#!/usr/bin/env bash
# Time to first sound of the offline voice: runs build/bench/first_sound on
# data/text_en_5k.txt against a private PulseAudio server with a null sink
# (nothing is heard, nothing touches the user's sound), and prints the median
# time from Play to the first audio frame handed to the device beside the
# time a whole conversion of the same text takes. Target: at most 0.25 s.
#
#   bench/first-sound.sh            # after a release build in build/
#   RUNS=15 BUILD_DIR=out bench/first-sound.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
text=${TEXT:-$root/data/text_en_5k.txt}
runs=${RUNS:-7}

for tool in pulseaudio pactl; do
    command -v "$tool" >/dev/null || { echo "first-sound: $tool is missing (scripts/install-deps)" >&2; exit 2; }
done

run=$(mktemp -d)
chmod 700 "$run"
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$run"
}
trap cleanup EXIT

printf 'autospawn = no\n' > "$run/client.conf"
export XDG_RUNTIME_DIR=$run PULSE_CLIENTCONFIG=$run/client.conf
export PULSE_SERVER=unix:$run/pulse-native DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    -L "module-native-protocol-unix socket=$run/pulse-native auth-anonymous=1" \
    -L "module-null-sink sink_name=bench" >/dev/null 2>&1 &
server=$!
for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl set-default-sink bench

"$build/bench/first_sound" "$text" "$runs"
