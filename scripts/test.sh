#!/usr/bin/env bash
# Set-up, build and run every test headless (offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cd build
# Once in the neutral locale and once in German (decimal comma, localised system texts).
failed=0
for loc in C.UTF-8 de_DE.UTF-8; do
    echo "== ctest under LC_ALL=$loc"
    LC_ALL=$loc QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" || failed=1
done
exit $failed
