#!/usr/bin/env bash
# Every test, headless, after the set-up (installs what is missing and builds):
#   1. the whole suite in build/, once under LC_ALL=C.UTF-8 and once under de_DE.UTF-8
#      (decimal comma, localised system texts);
#   2. the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/);
#   3. the tests of the threaded code under ThreadSanitizer (build-tsan/);
#   4. every fuzz target for a fixed number of inputs (scripts/fuzz.sh --ci).
# Steps 2-4 need clang, its sanitizer runtimes and libFuzzer, which are installed here when
# missing (not by the set-up: running the program does not need them).
#   ./scripts/test.sh            all of it (what CI runs)
#   ./scripts/test.sh --quick    step 1 only
# Every phase runs even when an earlier one failed; the summary at the end gives each phase's
# outcome, test counts, wall time and processor time, and the exit status is 1 if any failed.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
case "${1:-}" in
--quick) quick=1 ;;
'') ;;
*)
    echo "usage: $0 [--quick]" >&2
    exit 2
    ;;
esac

jobs=$(nproc)
summary=()
failed=0

# Sets cpu_now to the processor time (user + system) of all finished child processes so far,
# in seconds.
# "times" runs in this shell (a command substitution would report its own subshell's
# children, none); its second line holds the children's user and system time.
child_cpu() {
    times >"$logs/times"
    cpu_now=$(awk 'NR == 2 {
        s = 0
        for (i = 1; i <= NF; i++) { split($i, p, "m"); sub("s", "", p[2]); s += p[1] * 60 + p[2] }
        printf "%.0f", s }' "$logs/times")
}

# phase NAME COMMAND...: runs the command with a header, records outcome and times.
phase() {
    local name=$1
    shift
    echo
    echo "================================================================"
    echo "== $name"
    echo "================================================================"
    local t0 c0 rc=0
    t0=$(date +%s)
    child_cpu
    c0=$cpu_now
    "$@" || rc=$?
    child_cpu
    local wall=$(($(date +%s) - t0)) cpu=$((cpu_now - c0))
    local outcome=ok
    if [ "$rc" -ne 0 ]; then
        outcome="FAILED (exit $rc)"
        failed=1
    fi
    echo "== $name: $outcome, ${wall} s wall, ${cpu} s processor"
    summary+=("$(printf '%-36s %-18s %6s s wall %6s s processor' "$name" "$outcome" "$wall" "$cpu")")
}

# ctest_counts LOG LABEL: the pass count of each ctest run in the log, for the summary.
counts=()
ctest_counts() {
    local log=$1 label=$2 line
    while IFS= read -r line; do
        counts+=("$label: $line")
    done < <(grep -E '^[0-9]+% tests passed' "$log" || echo "no ctest result")
}

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# --- 1. Set-up, build, the whole suite in both locales (build/) -----------------------------
suite() {
    ./scripts/setup.sh || return
    # Tools some tests read the program's output back with: poppler (the printed PDF), zbar (the
    # live address's QR code), the desktop-entry and AppStream validators (the install layout).
    ./scripts/install-packages.sh poppler-utils zbar-tools desktop-file-utils appstream || return
    local loc rc=0
    for loc in C.UTF-8 de_DE.UTF-8; do
        echo "== ctest under LC_ALL=$loc"
        (cd build && LC_ALL=$loc QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") || rc=1
    done
    return $rc
}
suite_logged() {
    suite 2>&1 | tee "$logs/test.log"
    return "${PIPESTATUS[0]}"
}
phase "Set-up, build, suite (C.UTF-8, de_DE.UTF-8)" suite_logged
ctest_counts "$logs/test.log" "suite (C.UTF-8, then de_DE.UTF-8)"

if [ $quick -eq 1 ]; then
    printf '%s\n' "${summary[@]}" "${counts[@]}"
    exit $failed
fi

# Clang with its sanitizer runtimes, libFuzzer and the symbolizer that puts file and line into
# the reports: needed by CI only, so not in the operator's set-up.
install_clang() {
    ./scripts/install-packages.sh clang libclang-rt-14-dev libfuzzer-14-dev llvm
}
phase "Install clang and sanitizer runtimes" install_clang

# Debug information at -O1: instrumented tests stay fast and reports keep their lines.
# No benchmarks; no ccache (a clean checkout has none).
sanitizer_build() {
    local dir=$1 kind=$2
    cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
        -DAK_SANITIZE="$kind" -DAK_BUILD_BENCH=OFF -DAK_WERROR=ON >/dev/null &&
        cmake --build "$dir" -j"$jobs" --target aktests
}
# Runtime options and suppressions are test properties (tests/CMakeLists.txt).
sanitizer_tests() {
    local dir=$1 log=$2
    (cd "$dir" && LC_ALL=de_DE.UTF-8 ctest -j"$jobs" --output-on-failure) 2>&1 | tee "$log"
    return "${PIPESTATUS[0]}"
}

# --- 2. AddressSanitizer + UndefinedBehaviorSanitizer: the whole suite, leaks included ------
phase "ASan+UBSan build (build-asan/)" sanitizer_build build-asan address,undefined
phase "ASan+UBSan tests (de_DE.UTF-8)" sanitizer_tests build-asan "$logs/asan.log"
ctest_counts "$logs/asan.log" "ASan+UBSan, whole suite"

# --- 3. ThreadSanitizer: serial ports, barrier watcher, light barriers, live server ---------
phase "TSan build (build-tsan/)" sanitizer_build build-tsan thread
phase "TSan tests (de_DE.UTF-8)" sanitizer_tests build-tsan "$logs/tsan.log"
ctest_counts "$logs/tsan.log" "TSan, threaded subset"

# --- 4. Fuzz targets: a bounded, deterministic run of each ---------------------------------
if [ -f scripts/fuzz.sh ]; then
    phase "Fuzz targets (scripts/fuzz.sh --ci)" bash scripts/fuzz.sh --ci
else
    summary+=("$(printf '%-36s %s' "Fuzz targets" "skipped: no scripts/fuzz.sh")")
fi

echo
echo "================================================================"
echo "== Summary"
echo "================================================================"
printf '%s\n' "${summary[@]}"
echo
printf '%s\n' "${counts[@]}"
exit $failed
