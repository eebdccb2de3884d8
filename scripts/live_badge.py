#!/usr/bin/python3
"""Opens a live page in a headless Chromium (its DevTools port given) and prints the page's
connection badge once a second. Used by scripts/check-live-reconnect.sh.

    live_badge.py DEVTOOLS_PORT PAGE_URL SECONDS
"""
import json
import sys
import time
import urllib.request

import websocket  # python3-websocket

port, url, seconds = sys.argv[1], sys.argv[2], int(sys.argv[3])
targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list"))
page = next(t for t in targets if t["type"] == "page")
ws = websocket.create_connection(page["webSocketDebuggerUrl"])
next_id = 0


def send(method, params=None):
    global next_id
    next_id += 1
    ws.send(json.dumps({"id": next_id, "method": method, "params": params or {}}))
    while True:
        answer = json.loads(ws.recv())
        if answer.get("id") == next_id:
            return answer


send("Page.navigate", {"url": url})
start = time.monotonic()
for _ in range(seconds):
    time.sleep(1)
    result = send("Runtime.evaluate", {"expression": "document.getElementById('verbindung').textContent",
                                        "returnByValue": True})
    badge = result["result"]["result"].get("value", "")
    print(f"{time.monotonic() - start:.0f} s: {badge}", flush=True)
ws.close()
