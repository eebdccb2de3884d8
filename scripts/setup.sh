#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (only what is missing) and builds into ./build
# (the targets given as arguments, or everything).
# Idempotent: a second run installs nothing and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make pkg-config qt6-base-dev qt6-multimedia-dev libxlsxwriter-dev libzip-dev
          fonts-liberation2 xvfb xauth libgl-dev locales)
# Live results on the local network: Qt HTTP server (its CMake package needs Qt WebSockets), QR codes.
packages+=(qt6-httpserver-dev qt6-websockets-dev libqrencode-dev)
# Qt's own dialogs (file, printer) in German.
packages+=(qt6-translations-l10n)
./scripts/install-packages.sh "${packages[@]}"

# The tests run under a German locale as well: generate de_DE.UTF-8 where it is missing.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    if grep -q '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
        $sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
        echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    fi
    $sudo locale-gen
fi
# --packages-only: stop after installing (scripts/package.sh builds on its own).
[ "${1:-}" = "--packages-only" ] && exit 0

# CI treats warnings as errors; elsewhere the cached choice stays, so switching
# between the run and test commands never forces a full rebuild.
opts=()
[ -n "${CI:-}" ] && opts+=(-DAK_WERROR=ON)
[ -f build/CMakeCache.txt ] || opts+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
cmake -S . -B build "${opts[@]}" >/dev/null
# Arguments name the targets to build (default: everything).
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
