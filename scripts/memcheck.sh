#!/usr/bin/env bash
# Runs the event-day test (tests/widgets/tst_event_day.cpp) under valgrind memcheck and reports
# definite leaks and memory errors; fails when one of them has a frame in the program's own code.
# tests/valgrind/qt-system.supp is for one-time allocations of Qt and system libraries, each entry
# with its reason; it has none so far.
#
#   scripts/memcheck.sh [build folder]          (default: build)
#
# Valgrind makes the test 30 to 50 times slower, so the day is shorter: AK_EVENT_DAY_RUNS runs
# (default 60) with the same events. The full log and the XML stay in <build>/memcheck/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build}
runs=${AK_EVENT_DAY_RUNS:-60}

# valgrind before the build: the test asks valgrind's header whether it runs under memcheck.
./scripts/install-packages.sh valgrind python3
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target tst_event_day -j"$(nproc)"

out="$(cd "$build" && pwd)/memcheck"
mkdir -p "$out" "$out/home"
chmod 700 "$out/home" # Qt wants its runtime folder private
status=0
# The test's environment as under ctest: offscreen, a home folder of its own.
# QtTest's watchdog would end a day of several hundred runs: valgrind gets four hours.
env AK_EVENT_DAY_RUNS="$runs" QTEST_FUNCTION_TIMEOUT=14400000 QT_QPA_PLATFORM=offscreen HOME="$out/home" XDG_RUNTIME_DIR="$out/home" \
    XDG_CONFIG_HOME="$out/home/config" XDG_DATA_HOME="$out/home/data" \
    valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --num-callers=40 --track-origins=no --suppressions="$root/tests/valgrind/qt-system.supp" \
    --xml=yes --xml-file="$out/event_day.xml" --log-file="$out/event_day.log" \
    "$build/bin/tst_event_day" >"$out/test_output.txt" 2>&1 || status=$?

grep -E "event day:|PASS|FAIL|Totals" "$out/test_output.txt" || true
report=0
python3 "$root/scripts/memcheck_report.py" "$out/event_day.xml" "$root" || report=$?
if [ "$status" -ne 0 ]; then
    echo "memcheck: the test failed under valgrind (exit $status), see $out/test_output.txt" >&2
    exit 1
fi
exit "$report"
