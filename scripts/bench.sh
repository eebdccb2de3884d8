#!/usr/bin/env bash
# Builds in Release and runs every benchmark (not part of the test command).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release -j"$(nproc)"
for b in build-release/bin/bench_*; do
    echo "== $(basename "$b")"
    QT_QPA_PLATFORM=offscreen "$b" -median 9 "$@"
done
