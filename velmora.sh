#!/usr/bin/env bash
# The project's three commands (see README.md):
#   ./velmora.sh demo      build the plug-in and render the built-in demo through it
#   ./velmora.sh test      build everything and run every test
#   ./velmora.sh package   build the Debian package
# Each installs the Debian packages it needs when they are missing.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# The demo builds here; the test trees are $BUILD-test, $BUILD-tsan and $BUILD-asan,
# the package's $BUILD-package.
BUILD="${VELMORA_BUILD_DIR:-$ROOT/build}"
JOBS="${VELMORA_JOBS:-$(nproc)}"

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libsndfile1-dev libcairo2-dev libx11-dev
                libgdk-pixbuf-2.0-dev libplist-dev lv2-dev)
# jalv's GTK 3 and Qt 5 front ends host the LV2 panel in the tests, against a
# JACK server on its dummy backend; suil's Qt 5 wrapper needs libqt5x11extras5,
# which it only recommends.
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev xvfb python3
               clang clang-format libclang-rt-14-dev lsp-plugins-vst dpf-plugins-vst zam-plugins lilv-utils sordi
               jalv jackd2 libqt5x11extras5 lintian man-db)
PACKAGE_PACKAGES=(help2man dpkg-dev)

say() { printf '\n== [%d s] %s\n' "$SECONDS" "$*"; }

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

# configure DIR OPTIONS...: every setting a tree relies on is given on every
# run, so whatever configured the tree before (the other command, or someone by
# hand) cannot change what gets built.
configure() {
    local dir="$1"
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
}

GCC=(-DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++)
CLANG=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)

# The demo's tree holds the plug-in and tools alone; the test trees sit beside it.
run_demo() {
    ensure_packages "${BUILD_PACKAGES[@]}"
    say "Building Velmora"
    configure "$BUILD" "${GCC[@]}" -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=OFF -DVELMORA_SANITIZE= \
        -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_FUZZ=OFF
    ninja -C "$BUILD" -j "$JOBS"
    say "Rendering the demo through build/Velmora.vst"
    mkdir -p "$BUILD/demo"
    (cd "$BUILD/demo" && "$BUILD/tools/render/velmora-render" "$@")
}

# run_ctest DIR [CTEST OPTIONS...]: the tree's tests, or those the options
# select. The test command installs everything the suites need, so a test that
# skipped means something broke, and fails the run as a failed test does;
# ctest run by hand lets a skip pass.
run_ctest() {
    local dir="$1"
    shift
    local results
    results="$(cd "$dir" && pwd)/ctest-results.xml"
    rm -f "$results"
    ctest --test-dir "$dir" --output-on-failure --no-tests=error --output-junit "$results" "$@"
    local skipped
    # The count stands in the suite's attributes, before the first case.
    skipped="$(sed '/<testcase/,$d' "$results" | grep -o 'skipped="[0-9]*"' | tr -dc '0-9' || true)"
    if [[ "$skipped" != 0 ]]; then
        echo "velmora.sh: ${skipped:-an unknown number of} tests skipped in $dir (listed above as Skipped);" \
            "the test command installs everything the suites need, so a skip is a failure here" >&2
        return 1
    fi
}

# The Release tree of the package, hardened with Debian's build flags; sets
# PACKAGE_FILE to the package it writes.
build_package() {
    local dir="$BUILD-package" flags=()
    say "Building the Debian package (Release)"
    # The changelog's and manual pages' dates are the last commit's.
    local -x SOURCE_DATE_EPOCH
    SOURCE_DATE_EPOCH="$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || date +%s)"
    local buildflags=(env DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get) cppflags ldflags
    cppflags="$(cd "$ROOT" && "${buildflags[@]}" CPPFLAGS)"
    ldflags="$(cd "$ROOT" && "${buildflags[@]}" LDFLAGS)"
    flags+=("-DCMAKE_C_FLAGS=$(cd "$ROOT" && "${buildflags[@]}" CFLAGS) $cppflags")
    flags+=("-DCMAKE_CXX_FLAGS=$(cd "$ROOT" && "${buildflags[@]}" CXXFLAGS) $cppflags")
    flags+=("-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags"
            "-DCMAKE_MODULE_LINKER_FLAGS=$ldflags")
    configure "$dir" "${GCC[@]}" -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=OFF -DVELMORA_SANITIZE= \
        -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_FUZZ=OFF -DVELMORA_BUILD_PACKAGE=ON \
        "${flags[@]}"
    ninja -C "$dir" -j "$JOBS" velmora-deb
    PACKAGE_FILE="$(cat "$dir/velmora-deb-path.txt")"
}

run_package() {
    ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
    build_package
    say "Wrote $PACKAGE_FILE"
    dpkg-deb --field "$PACKAGE_FILE" Package Version Installed-Size Depends
    echo "Install it with: apt install $PACKAGE_FILE"
    echo "Remove it with:  apt remove velmora"
}

# The package checked as a user would use it, without installing it.
run_package_checks() {
    build_package
    say "Checking the package"
    "$ROOT/tests/package/check-package.sh" "$PACKAGE_FILE"
}

# g++ with warnings as errors: every suite, and the benchmarks built.
run_main_tests() {
    local dir="$BUILD-test"
    say "Building Velmora with its tests and benchmarks (g++)"
    configure "$dir" "${GCC[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON -DVELMORA_SANITIZE= \
        -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCH=ON -DVELMORA_BUILD_FUZZ=OFF
    ninja -C "$dir" -j "$JOBS"
    say "Running the test suites"
    run_ctest "$dir" -j "$JOBS"
}

# ThreadSanitizer on the tests in which host threads set parameters, rename
# programs, read names and send every interface opcode while another processes,
# and restore VST3 states and move VST3 controls while the processor runs.
run_thread_sanitizer() {
    local dir="$BUILD-tsan"
    say "ThreadSanitizer: host threads around processing"
    configure "$dir" "${GCC[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=OFF -DVELMORA_SANITIZE=thread \
        -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_FUZZ=OFF
    ninja -C "$dir" -j "$JOBS" Velmora VelmoraVst3 velmora_race_tests velmora_vst3_race_tests
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_ctest "$dir" -R 'ParameterRace|OpcodeRace|Vst3Race'
}

# clang with AddressSanitizer and UndefinedBehaviorSanitizer: every suite
# again, then a bounded libFuzzer run of each fuzz target on what users and
# hosts hand the plug-in: preset files, preset property lists, the text files
# in the bundle, a host's calls to the Audio Unit and a VST3 host's saved state.
run_address_sanitizer() {
    local dir="$BUILD-asan"
    say "AddressSanitizer and UndefinedBehaviorSanitizer: building the tests and the fuzzers (clang)"
    configure "$dir" "${CLANG[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON \
        -DVELMORA_SANITIZE="address;undefined" -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCH=OFF \
        -DVELMORA_BUILD_FUZZ=ON
    ninja -C "$dir" -j "$JOBS"
    say "Running the test suites under AddressSanitizer and UndefinedBehaviorSanitizer"
    run_ctest "$dir" -j "$JOBS"
    run_fuzzer "$dir" fxp_fuzzer "the FXP/FXB parser" 25
    run_fuzzer "$dir" preset_plist_fuzzer "preset property lists" 15
    run_fuzzer "$dir" resource_text_fuzzer "TDParameters.txt and TDFactoryPresets.txt" 15
    run_fuzzer "$dir" component_resources_fuzzer "what an Audio Unit reads in: ClassInfo and its resource files" 30
    run_fuzzer "$dir" au_host_fuzzer "the Audio Unit driven by a hostile host" 60
    run_fuzzer "$dir" vst3_state_fuzzer "the VST3 component state, to both halves of the face" 20
}

# run_fuzzer DIR TARGET WHAT SECONDS: a bounded run from the target's seed
# corpus, with its dictionary of tokens when it has one; VELMORA_FUZZ_SECONDS, when set, replaces SECONDS for every target.
# Any crash, sanitizer report, leak or input that takes over 10 s fails it;
# the input that did is left in the build tree's fuzz folder.
run_fuzzer() {
    local dir="$1" target="$2" what="$3"
    local seconds="${VELMORA_FUZZ_SECONDS:-$4}"
    say "Fuzzing ${what} for ${seconds} s"
    local corpus="$dir/fuzz-corpus/$target"
    rm -rf "$corpus" && mkdir -p "$corpus" && cp "$ROOT/fuzz/corpus/$target"/* "$corpus"/
    local dictionary=()
    if [[ -f "$ROOT/fuzz/$target.dict" ]]; then
        dictionary=(-dict="$ROOT/fuzz/$target.dict")
    fi
    VELMORA_BUNDLE="$dir/Velmora.vst" "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=4096 -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$dir/fuzz/$target-" \
        "${dictionary[@]}" "$corpus"
}

# Every C++ file of the tree in the one style of .clang-format.
check_format() {
    say "Checking the C++ style (clang-format)"
    if ! git -C "$ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        echo "not a git checkout: style check skipped"
        return
    fi
    (cd "$ROOT" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror)
}

run_tests() {
    ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
    check_format
    run_main_tests
    run_package_checks
    run_thread_sanitizer
    run_address_sanitizer
}

case "${1:-}" in
    demo) shift; run_demo "$@" ;;
    test) run_tests ;;
    package) run_package ;;
    *)
        echo "usage: $0 demo [renderer options] | test | package" >&2
        exit 2
        ;;
esac
