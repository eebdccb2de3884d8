#!/usr/bin/env bash
# Checks in a real browser that a live page notices a lost server and reconnects by itself:
# starts the demo server (the real main window offscreen, build/bin/aklivedemo), opens /uhr in a
# headless Chromium, stops the server after 8 s and starts it again 12 s later. The page's badge
# must read "verbunden", then "getrennt", then "verbunden" again, without a reload.
#   ./scripts/check-live-reconnect.sh [build folder]        (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
./scripts/install-packages.sh chromium python3-websocket curl
cmake --build "$build" --target aklivedemo >/dev/null
port=8097 devtools=9223
out=$(mktemp -d)
demo=""
browser=""
stop_demo() {
    if [ -n "$demo" ]; then
        kill "$demo" 2>/dev/null || true
        wait "$demo" 2>/dev/null || true
    fi
    demo=""
}
trap 'stop_demo; [ -n "$browser" ] && kill "$browser" 2>/dev/null; rm -rf "$out"' EXIT
start_demo() {
    QT_QPA_PLATFORM=offscreen "$build/bin/aklivedemo" "$port" phase2 >>"$out/demo.log" 2>&1 &
    demo=$!
    for _ in $(seq 50); do curl -fs "http://127.0.0.1:$port/api/state.json" >/dev/null 2>&1 && return; sleep 0.2; done
    echo "the demo server did not start"; exit 1
}
start_demo
chromium --headless=new --no-sandbox --disable-gpu --remote-debugging-port=$devtools about:blank \
    >"$out/chromium.log" 2>&1 &
browser=$!
for _ in $(seq 50); do curl -fs "http://127.0.0.1:$devtools/json/list" >/dev/null 2>&1 && break; sleep 0.2; done
/usr/bin/python3 scripts/live_badge.py $devtools "http://127.0.0.1:$port/uhr" 35 \
    >"$out/badge.log" 2>&1 &
reader=$!
sleep 8
stop_demo
sleep 12
start_demo
wait $reader
cat "$out/badge.log"
# The badge's history, repeats folded: verbunden, getrennt, verbunden.
history=$(awk '{print $3}' "$out/badge.log" | uniq | tr '\n' ' ')
if [ "$history" = "verbunden getrennt verbunden " ]; then
    echo "live page: lost server seen and reconnected by itself"
else
    echo "FAIL: badge went $history"
    exit 1
fi
