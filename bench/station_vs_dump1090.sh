#!/usr/bin/env bash
# The whole station against dump1090-mutability: a headless station and dump1090 --net-only
# run side by side on free loopback ports and get the same recorded frames at the same
# moments from one evenly paced sender (build/bench/frame_sender), each on its designed
# input. Prints each process's CPU time per frame (utime + stime from /proc/PID/stat over the
# sending and 1.5 s after it, so the station's last poll is counted), their ratio, and the
# station's drops and worst main-cycle tick from its next status line.
#   bench/station_vs_dump1090.sh BUILD_DIR FRAMES_FILE [RATE=5000] [SECONDS=20]
# Environment:
#   INPUT=udp     station: one UDP datagram per frame to 7933 + offset; dump1090: raw TCP
#   INPUT=beast   both Beast binary over TCP: the station connects (--net-input ...,beast) to
#                 the sender, dump1090 takes it on its Beast input port
#   INPUT=raw     both raw "*HEX;" lines over TCP (--net-input ...,raw for the station)
#   STATION_ENV="QT_NO_GLIB="    extra environment of the station: here GLib's event
#                                dispatcher instead of Qt's own, the headless default (any
#                                non-empty value, "0" too, chooses Qt's own)
#   DUMP1090=/usr/bin/dump1090-mutability
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "usage: $0 BUILD_DIR FRAMES_FILE [RATE] [SECONDS]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
frames=$2
rate=${3:-5000}
seconds=${4:-20}
input=${INPUT:-udp}
dump1090=${DUMP1090:-$(command -v dump1090-mutability || true)}
sender="$build/bench/frame_sender"
[ -x "$build/aerovamini" ] || { echo "no $build/aerovamini" >&2; exit 2; }
[ -x "$sender" ] || { echo "no $sender (ninja frame_sender)" >&2; exit 2; }
[ -n "$dump1090" ] || { echo "dump1090-mutability is not installed" >&2; exit 2; }
[ -r "$frames" ] || { echo "cannot read $frames" >&2; exit 2; }

dir=$(mktemp -d)
station=
peer=
cleanup() {
    [ -n "$station" ] && kill -TERM "$station" 2>/dev/null && wait "$station" 2>/dev/null
    [ -n "$peer" ] && kill -TERM "$peer" 2>/dev/null && wait "$peer" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Ports in use by any TCP or UDP socket (hex in the /proc/net tables).
in_use() {
    local hex
    hex=$(printf ':%04X ' "$1")
    grep -qs -- "$hex" /proc/net/tcp /proc/net/tcp6 /proc/net/udp /proc/net/udp6
}
free_port() {
    local p
    while :; do
        p=$((40000 + RANDOM % 20000))
        in_use "$p" || { echo "$p"; return; }
    done
}
listening() { grep -qs -- "$(printf ':%04X 00000000:0000 0A' "$1")" /proc/net/tcp; }
wait_for() {  # wait_for SECONDS COMMAND...
    local until=$((SECONDS + $1))
    shift
    while ! "$@"; do
        [ "$SECONDS" -lt "$until" ] || return 1
        sleep 0.05
    done
}

# dump1090 on five free loopback ports (raw in/out, BaseStation out, Beast in/out).
ri=$(free_port); ro=$(free_port); sbs=$(free_port); bi=$(free_port); bo=$(free_port)
"$dump1090" --net-only --quiet --net-bind-address 127.0.0.1 --net-heartbeat 0 \
    --net-ri-port "$ri" --net-ro-port "$ro" --net-sbs-port "$sbs" --net-bi-port "$bi" \
    --net-bo-port "$bo" >"$dir/dump1090.out" 2>&1 &
peer=$!
wait_for 10 listening "$ri" || { echo "dump1090 did not start" >&2; cat "$dir/dump1090.out" >&2; exit 1; }

# The station on a port offset whose ports are all free; another offset when it fails.
serve=$(free_port)
station_args=()
case "$input" in
    udp) ;;
    beast|raw) station_args=(--net-input "127.0.0.1:$serve,$input") ;;
    *) echo "INPUT is udp, raw or beast" >&2; exit 2 ;;
esac
read -r -a station_env <<<"${STATION_ENV:-}"
for attempt in 1 2 3; do
    offset=$((20000 + RANDOM % 5000))
    mkdir -p "$dir/station$attempt"
    env "${station_env[@]}" "$build/aerovamini" --headless --station-dir "$dir/station$attempt" \
        --port-offset "$offset" "${station_args[@]}" >"$dir/out" 2>"$dir/err" &
    station=$!
    if wait_for 15 grep -qs "Aerova mini Edition" "$dir/err" && kill -0 "$station" 2>/dev/null &&
        ! grep -qs "Cannot open the receiver input" "$dir/err"; then
        break
    fi
    kill -TERM "$station" 2>/dev/null && wait "$station" 2>/dev/null
    station=
done
[ -n "$station" ] || { echo "the station did not start" >&2; cat "$dir/err" >&2; exit 1; }

case "$input" in
    udp) targets=(--udp "127.0.0.1:$((7933 + offset))" --raw "127.0.0.1:$ri")
         inputs="station UDP datagrams, dump1090 raw TCP" ;;
    beast) targets=(--serve-beast "$serve" --beast "127.0.0.1:$bi")
           inputs="both Beast TCP" ;;
    raw) targets=(--serve-raw "$serve" --raw "127.0.0.1:$ri")
         inputs="both raw TCP" ;;
esac

# What each costs doing nothing, for reference.
sleep 1
s0=$(ticks "$station"); p0=$(ticks "$peer")
sleep 2
s1=$(ticks "$station"); p1=$(ticks "$peer")

result=$("$sender" --file "$frames" --rate "$rate" --seconds "$seconds" "${targets[@]}")
sleep 1.5
s2=$(ticks "$station"); p2=$(ticks "$peer")
statuses=$(grep -c "live targets" "$dir/out" || true)
sent=$(sed -n 's/.*frames=\([0-9]*\).*/\1/p' <<<"$result")

# The station's drops and worst tick: its first status line after the run.
more_statuses() { [ "$(grep -c "live targets" "$dir/out")" -gt "$statuses" ]; }
wait_for 12 more_statuses || echo "no status line from the station after the run" >&2
status=$(grep "live targets" "$dir/out" | tail -n 1)

per_frame() { awk -v t="$1" -v hz="$hz" -v n="$sent" 'BEGIN { printf "%.2f", t / hz * 1e6 / n }'; }
idle() { awk -v t="$1" -v hz="$hz" 'BEGIN { printf "%.1f", t / hz * 1000 / 2 }'; }
station_us=$(per_frame $((s2 - s1)))
peer_us=$(per_frame $((p2 - p1)))
echo "# $(date -u +%FT%TZ) $(nproc) cpus, load $(cut -d' ' -f1-3 /proc/loadavg), dump1090 $(dpkg-query -W -f='${Version}' dump1090-mutability 2>/dev/null || echo '?')"
echo "frames:   $result ($inputs)"
echo "station:  $(per_frame $((s2 - s1))) us CPU per frame ($(((s2 - s1) * 1000 / hz)) ms), idle $(idle $((s1 - s0))) ms/s, env ${STATION_ENV:-default}"
echo "dump1090: $peer_us us CPU per frame ($(((p2 - p1) * 1000 / hz)) ms), idle $(idle $((p1 - p0))) ms/s"
echo "ratio station/dump1090: $(awk -v a="$station_us" -v b="$peer_us" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }')"
echo "station status: ${status:-none}"
