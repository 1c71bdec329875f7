#!/usr/bin/env bash
# The project's two commands (see README.md):
#   ./velmora.sh demo   build the plug-in and render the built-in demo through it
#   ./velmora.sh test   build everything and run every test
# Each installs the Debian packages it needs when they are missing.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${VELMORA_BUILD_DIR:-$ROOT/build}"
JOBS="${VELMORA_JOBS:-$(nproc)}"

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libsndfile1-dev libcairo2-dev libx11-dev
                libgdk-pixbuf-2.0-dev libplist-dev)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev xvfb python3
               clang libclang-rt-14-dev lsp-plugins-vst dpf-plugins-vst zam-plugins)

say() { printf '\n== %s\n' "$*"; }

ensure_packages() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return
    fi
    say "Installing Debian packages: ${missing[*]}"
    local sudo=()
    if ((EUID != 0)); then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    local dir="$1"
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    ninja -C "$dir" -j "$JOBS"
}

run_demo() {
    ensure_packages "${BUILD_PACKAGES[@]}"
    say "Building Velmora"
    configure_and_build "$BUILD" -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
    say "Rendering the demo through build/Velmora.vst"
    mkdir -p "$BUILD/demo"
    (cd "$BUILD/demo" && "$BUILD/tools/render/velmora-render" "$@")
}

# A second tree built with ThreadSanitizer runs the test in which one thread
# sets parameters while another processes.
run_thread_sanitizer() {
    local dir="$BUILD-tsan"
    say "ThreadSanitizer: parameter changes during processing"
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELMORA_SANITIZE=thread -DVELMORA_BUILD_BENCH=OFF >/dev/null
    ninja -C "$dir" -j "$JOBS" Velmora velmora_parameter_race_tests
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
        ctest --test-dir "$dir" -R ParameterRace --output-on-failure --no-tests=error
}

# The preset loader takes bytes from users' files: a bounded libFuzzer run under
# AddressSanitizer and UndefinedBehaviorSanitizer.
run_fuzzer() {
    local dir="$BUILD-fuzz"
    local seconds="${VELMORA_FUZZ_SECONDS:-60}"
    say "Fuzzing the FXP/FXB loader for ${seconds} s"
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELMORA_BUILD_FUZZ=ON -DVELMORA_SANITIZE="address;undefined" \
        -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF >/dev/null
    ninja -C "$dir" -j "$JOBS" fxp_fuzzer
    local corpus="$dir/fuzz-corpus"
    rm -rf "$corpus" && mkdir -p "$corpus" && cp "$ROOT"/fuzz/corpus/* "$corpus"/
    VELMORA_BUNDLE="$dir/Velmora.vst" "$dir/fuzz/fxp_fuzzer" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=4096 -close_fd_mask=2 -print_final_stats=1 "$corpus"
}

run_tests() {
    ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    say "Building Velmora with its tests and benchmarks"
    configure_and_build "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON
    run_thread_sanitizer
    run_fuzzer
    say "Running the test suites"
    ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" --no-tests=error
}

case "${1:-}" in
    demo) shift; run_demo "$@" ;;
    test) run_tests ;;
    *)
        echo "usage: $0 demo [renderer options] | test" >&2
        exit 2
        ;;
esac
