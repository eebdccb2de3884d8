#!/usr/bin/env bash
# Fuzzing with libFuzzer (clang): the text protocol reader, the workbook reader, the settings
# reader and the live server's request path, each a target in tests/fuzz with a seed corpus in
# tests/fuzz/corpus/<target>. Builds ./build-fuzz (-DAK_FUZZ=ON: the sanitizers and the
# fuzzer's coverage), installing clang and libFuzzer where missing.
#
#   scripts/fuzz.sh --ci                  every target for a fixed number of runs with seed 1;
#                                         fails on any crash, broken check, leak or timeout
#   scripts/fuzz.sh [SECONDS] [TARGET...] each target (default: all) for SECONDS (default 600)
#                                         with a corpus that grows in build-fuzz/work/<target>
#       --merge        afterwards add what the work corpus covers beyond the committed corpus
#                      to tests/fuzz/corpus/<target> (minimised); otherwise it is left alone
#   scripts/fuzz.sh --make-corpus         writes the generated seeds anew (protocols, workbooks
#                                         and settings from the program's own writers, requests)
#
# Findings land in build-fuzz/findings/<target>-crash-... (rerun one with
# build-fuzz/bin/<target> <file>); the full output of each run in build-fuzz/logs/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."

targets_all=(fuzz_protocol_text fuzz_workbook fuzz_settings fuzz_live_request)
# Runs per target in CI mode (the settings target writes and reads two files per input, about
# 400 inputs a second: its 20 000 runs take about a minute).
ci_runs=20000

mode=time
seconds=600
merge=0
targets=()
for a in "$@"; do
    case "$a" in
    --ci) mode=ci ;;
    --merge) merge=1 ;;
    --make-corpus) mode=corpus ;;
    fuzz_*) targets+=("$a") ;;
    '' | *[!0-9]*)
        echo "unknown argument: $a" >&2
        exit 2
        ;;
    *) seconds=$a ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=("${targets_all[@]}")

# What the fuzz build needs beyond the program's own packages.
./scripts/setup.sh --packages-only
./scripts/install-packages.sh clang libclang-rt-14-dev libfuzzer-14-dev

build=build-fuzz
opts=(-DAK_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DCMAKE_BUILD_TYPE=RelWithDebInfo)
command -v ccache >/dev/null && opts+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
[ -n "${CI:-}" ] && opts+=(-DAK_WERROR=ON)
start=$(date +%s)
cmake -S . -B "$build" "${opts[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target akfuzz
echo "== fuzz build: $(($(date +%s) - start)) s"

if [ "$mode" = corpus ]; then
    "$build/bin/fuzz_make_corpus" tests/fuzz/corpus
    echo "== seeds written to tests/fuzz/corpus"
    exit 0
fi

mkdir -p "$build/findings" "$build/logs"
failed=0
for t in "${targets[@]}"; do
    corpus=tests/fuzz/corpus/$t
    log=$build/logs/$t.log
    args=(-seed=1 -timeout=30 -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$build/findings/$t-")
    [ -f "tests/fuzz/dict/$t.dict" ] && args+=(-dict="tests/fuzz/dict/$t.dict")
    # Leaks are looked for once, when the run ends (LeakSanitizer; a leak fails the run):
    # checking after every input would scan the whole heap after nearly every input of the
    # targets whose Qt caches grow, some 30 times slower.
    args+=(-detect_leaks=0)
    if [ "$mode" = ci ]; then
        work=$(mktemp -d)
        args+=(-runs=$ci_runs)
    else
        work=$build/work/$t
        mkdir -p "$work"
        args+=(-max_total_time="$seconds")
    fi
    t0=$(date +%s)
    rc=0
    "$build/bin/$t" "${args[@]}" "$work" "$corpus" >"$log" 2>&1 || rc=$?
    t1=$(date +%s)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1 | sed 's/^#[0-9]*[[:space:]]*[A-Z]*[[:space:]]*//')
    echo "== $t: ${runs:-?} runs in $((t1 - t0)) s (${speed:-?}/s); $last"
    if [ $rc -ne 0 ]; then
        failed=1
        echo "!! $t FAILED (exit $rc); the end of $log:"
        grep -E 'ERROR|runtime error|invariant|SUMMARY|Test unit written' "$log" | head -20 || true
    fi
    if [ "$mode" = ci ]; then
        rm -rf "$work"
    elif [ $merge -eq 1 ] && [ $rc -eq 0 ]; then
        "$build/bin/$t" -merge=1 -detect_leaks=0 "$corpus" "$work" >>"$log" 2>&1
        echo "   merged into $corpus: $(find "$corpus" -type f | wc -l) files"
    fi
done
echo "== fuzzing: $(($(date +%s) - start)) s in all"
exit $failed
