#!/usr/bin/env bash
# ./build.sh run   install missing packages, build (Release), run the station
#                  (headless on demo traffic when there is no display)
# ./build.sh test  install missing packages, then every check CI runs: the floor and format
#                  checks, the normal build and its tests, a Release compile, the AddressSanitizer
#                  + UBSan build and its tests, the ThreadSanitizer build of the servers' and
#                  end-to-end tests, and a short libFuzzer run of every parser of outside input
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

configure_and_build() {  # dir, cmake arguments..., [--target name]...
    local dir=$1
    shift
    local args=() targets=()
    while (($#)); do
        if [[ $1 == --target ]]; then
            targets+=(--target "$2")
            shift 2
        else
            args+=("$1")
            shift
        fi
    done
    cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
    cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
}

run_tests() {  # dir, ctest arguments...
    local dir=$1
    shift
    # Window tests need a real X server with Mesa: give them a virtual one.
    local wrap=()
    if [[ -z "${DISPLAY:-}" ]] && command -v xvfb-run >/dev/null; then
        wrap=(xvfb-run -a -s "-screen 0 1280x1024x24")
    fi
    (cd "$dir" && "${wrap[@]}" ctest --output-on-failure -j "$(nproc)" --timeout 300 "$@")
}

check_sources() {
    .ci/check-floors
    # The tracked sources are formatted with the repository's .clang-format.
    git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run -Werror
    echo "format: every tracked source matches .clang-format"
}

fuzz_smoke() {
    # Every parser of outside input gets a short libFuzzer run under ASan/UBSan.
    configure_and_build build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAEROVA_FUZZ=ON -DAEROVA_GUI=OFF \
        -DAEROVA_BUILD_TESTS=OFF -DAEROVA_BUILD_BENCH=OFF --target aerova_fuzzers
    local failed=0
    for fuzzer in build-fuzz/fuzz/fuzz_*; do
        [[ -x "$fuzzer" && -f "$fuzzer" ]] || continue
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

normal_build() {
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAEROVA_WERROR=ON "${data[@]}"
    run_tests build
}

release_compile() {
    # The optimiser of a packager's build: GCC 12 at -O3 must compile every target clean.
    configure_and_build build-release -DCMAKE_BUILD_TYPE=Release -DAEROVA_WERROR=ON "${data[@]}"
}

address_sanitizer() {
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DAEROVA_SANITIZE=address \
        -DAEROVA_WERROR=ON -DAEROVA_BUILD_BENCH=OFF "${data[@]}"
    # Mesa, D-Bus and fontconfig keep memory to the end of a window test: not ours.
    # LeakSanitizer's record of the dynamic thread-local storage that the libraries a window
    # test loads at run time hold goes wrong with this glibc now and again, and its thread
    # walk then crashes ("Tracer caught signal 11"); it is not kept.
    ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS=suppressions="$here/radar/lsan_gui.supp" run_tests build-asan
}

thread_sanitizer() {
    # The servers' and the end-to-end tests: everything that runs threads.
    configure_and_build build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAEROVA_SANITIZE=thread \
        -DAEROVA_WERROR=ON -DAEROVA_GUI=OFF -DAEROVA_BUILD_BENCH=OFF "${data[@]}" \
        --target aerova_threaded_tests
    TSAN_OPTIONS="suppressions=$here/tests/tsan.supp" run_tests build-tsan -L threads
}

stage() {  # name, function
    local started=$SECONDS
    echo "=== $1"
    "$2"
    echo "=== $1: $((SECONDS - started)) s"
}

case "${1:-}" in
run)
    install_packages
    # A user's build: optimised, and a newer compiler's new warning never stops it.
    configure_and_build build-run -DCMAKE_BUILD_TYPE=Release -DAEROVA_BUILD_TESTS=OFF \
        -DAEROVA_BUILD_BENCH=OFF --target aerovamini
    # The station directory (settings, logs, lists) lives beside that build.
    mkdir -p "$here/build-run/station"
    args=(--station-dir "$here/build-run/station" --demo)
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
        args=(--headless "${args[@]}")
    fi
    shift
    exec build-run/aerovamini "${args[@]}" "$@"
    ;;
test)
    install_packages
    if [[ ! -d "${AEROVA_DATA_DIR:-$here/../shared/data}" ]]; then
        echo "note: no recordings at ${AEROVA_DATA_DIR:-$here/../shared/data}; the real-data tests are not run"
    fi
    data=()
    [[ -n "${AEROVA_DATA_DIR:-}" ]] && data=(-DAEROVA_DATA_DIR="$AEROVA_DATA_DIR")
    stage "floors and format" check_sources
    stage "build and tests" normal_build
    stage "Release compile" release_compile
    stage "AddressSanitizer and UBSan" address_sanitizer
    stage "ThreadSanitizer" thread_sanitizer
    stage "fuzzing" fuzz_smoke
    echo "all checks passed in $SECONDS s"
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
