#!/bin/sh
# Renders the windows with the screenshot tool (offscreen, German regional settings)
# and copies the pictures of the operator's manual into data/help/bilder.
#   ./scripts/manual_pictures.sh [build folder]      (default: build)
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target akshots
out=/tmp/acker-klassik-bilder
rm -rf "$out"
mkdir -p "$out"
LC_ALL=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen "$build/bin/akshots" "$out"
mkdir -p "$here/data/help/bilder"
cp "$out"/handbuch/*.png "$here/data/help/bilder/"
echo "pictures in $here/data/help/bilder"
