#!/usr/bin/env bash
# What a user pays for a busy receiver: a headless station fed by aerovasim over UDP 7933
# (default 2000 aircraft, 5000 frames/s) for a while. Prints the station's last status line,
# its CPU time (user + system, and the share of one core) and its peak resident memory.
#   bench/station_load.sh [BUILD_DIR] [SECONDS] [AIRCRAFT] [FRAMES_PER_S]
set -euo pipefail
build=${1:-build}
seconds=${2:-60}
aircraft=${3:-2000}
rate=${4:-5000}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
offset=$((20000 + RANDOM % 5000))
"$build/aerovamini" --headless --station-dir "$dir" --port-offset "$offset" >"$dir/out" 2>"$dir/err" &
station=$!
sleep 1
"$build/aerovasim" --aircraft "$aircraft" --vehicles 0 --rate "$rate" --lat 52.52 --lon 1.16 \
    --port-offset "$offset" --duration "$seconds" >/dev/null
ticks=$(getconf CLK_TCK)
read -r -a stat <"/proc/$station/stat"
cpu=$(((stat[13] + stat[14]) * 100 / ticks))  # utime + stime, hundredths of a second
peak=$(awk '/VmHWM/ {print $2}' "/proc/$station/status")
kill -TERM "$station"
wait "$station" || true
tail -n 1 "$dir/out"
printf 'station CPU %d.%02d s over %d s (%d%% of one core), peak RSS %d MB\n' \
    $((cpu / 100)) $((cpu % 100)) "$seconds" $((cpu / (seconds + 1))) $((peak / 1024))
