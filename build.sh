#!/usr/bin/env bash
# ./build.sh run   install missing packages, build, run the station
#                  (headless on demo traffic when there is no display)
# ./build.sh test  install missing packages, build and run every test, normal and sanitizer builds
set -euo pipefail
cd "$(dirname "$0")"
here=$(pwd)

install_packages() {
    local missing=()
    while read -r pkg; do
        [[ -z "$pkg" || "$pkg" == \#* ]] && continue
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done < packages.txt
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [[ $(id -u) -ne 0 ]] && sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

configure_and_build() {  # dir, cmake arguments..., [--target name]
    local dir=$1
    shift
    local args=() target=()
    while (($#)); do
        if [[ $1 == --target ]]; then
            target=(--target "$2")
            shift 2
        else
            args+=("$1")
            shift
        fi
    done
    cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
    cmake --build "$dir" -j "$(nproc)" "${target[@]}"
}

run_tests() {  # dir
    # Window tests need a real X server with Mesa: give them a virtual one.
    local wrap=()
    if [[ -z "${DISPLAY:-}" ]] && command -v xvfb-run >/dev/null; then
        wrap=(xvfb-run -a -s "-screen 0 1280x1024x24")
    fi
    (cd "$1" && "${wrap[@]}" ctest --output-on-failure -j "$(nproc)" --timeout 300)
}

fuzz_smoke() {
    # Every parser of outside input gets a short libFuzzer run under ASan/UBSan.
    configure_and_build build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAEROVA_BUILD_TESTS=OFF -DAEROVA_BUILD_BENCH=OFF \
        -DAEROVA_FOLDERS="base;platform;core;fuzz" --target aerova_fuzzers
    local failed=0
    for fuzzer in build-fuzz/fuzz/fuzz_*; do
        [[ -x "$fuzzer" ]] || continue
        if "$fuzzer" -max_total_time="${AEROVA_FUZZ_SECONDS:-20}" -print_final_stats=1 \
            >"$fuzzer.log" 2>&1; then
            echo "fuzz: $(basename "$fuzzer") $(grep -m1 'stat::number_of_executed_units' "$fuzzer.log" | awk '{print $2}') runs, no findings"
        else
            echo "fuzz: $(basename "$fuzzer") FAILED, see $fuzzer.log"
            tail -40 "$fuzzer.log"
            failed=1
        fi
    done
    return $failed
}

case "${1:-}" in
run)
    install_packages
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAEROVA_BUILD_TESTS=OFF -DAEROVA_BUILD_BENCH=OFF
    mkdir -p "$here/station"
    args=(--station-dir "$here/station" --demo)
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
        args=(--headless "${args[@]}")
    fi
    shift
    exec build/aerovamini "${args[@]}" "$@"
    ;;
test)
    install_packages
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    run_tests build
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DAEROVA_SANITIZE=ON -DAEROVA_BUILD_BENCH=OFF
    # Mesa, D-Bus and fontconfig keep memory to the end of a window test: not ours.
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS=suppressions="$here/radar/lsan_gui.supp" run_tests build-asan
    fuzz_smoke
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
