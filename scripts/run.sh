#!/usr/bin/env bash
# Set-up, build and start the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh ackerklassik akdata
exec ./build/bin/ackerklassik
