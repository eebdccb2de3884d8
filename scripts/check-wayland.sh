#!/usr/bin/env bash
# Runs the program in Wayland sessions with two monitors and checks the spectator
# windows there, as an operator's GNOME laptop on Debian 12 has it:
#   - the program goes through XWayland (platform xcb) by itself;
#   - with "Monitor" = 1 the time display and the top ten cover exactly the second
#     monitor, and the keyboard stays with the main window (F5 starts the run);
#   - with "Monitor" = 0 the time display covers the operator's monitor, takes the
#     keyboard, and Escape hides it.
# Two nested compositors, each with two 1280x800 monitors side by side:
#   mutter  GNOME's compositor, headless with two virtual monitors
#   weston  Weston's X11 backend on Xvfb with two outputs (its headless backend has
#           a single output and no seat; Xwayland 22 then crashes as soon as a
#           program moves the pointer, which the main window does at start)
# Keys reach the program through the compositor's own input where it has one
# (Weston: typed into its Xvfb window), else through XTEST on XWayland (mutter).
# Screenshots land in the output folder; look at them.
#
#   scripts/check-wayland.sh [--program PATH] [--out DIR] [mutter] [weston]
set -uo pipefail
cd "$(dirname "$0")/.."

program=$PWD/build/bin/ackerklassik
out=/tmp/ak-wayland
compositors=()
while [ $# -gt 0 ]; do
    case $1 in
    --program) program=$(realpath "$2"); shift ;;
    --out) out=$(realpath -m "$2"); shift ;;
    mutter | weston) compositors+=("$1") ;;
    *) echo "unknown argument: $1"; exit 2 ;;
    esac
    shift
done
[ ${#compositors[@]} -gt 0 ] || compositors=(mutter weston)
[ -x "$program" ] || { echo "no program at $program (build it first)"; exit 2; }

need=()
for p in weston:weston xwayland:Xwayland mutter:mutter dbus:dbus-run-session xvfb:Xvfb xdotool:xdotool \
    x11-utils:xwininfo imagemagick:import libglib2.0-bin:gdbus; do
    command -v "${p#*:}" >/dev/null || need+=("${p%%:*}")
done
# Qt's Wayland plugin, for the native run a user may choose.
dpkg-query -W -f='${Status}' qt6-wayland 2>/dev/null | grep -q "install ok installed" || need+=(qt6-wayland)
if [ ${#need[@]} -gt 0 ]; then
    s=""; [ "$(id -u)" -eq 0 ] || s=sudo
    DEBIAN_FRONTEND=noninteractive $s apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null ||
        { echo "cannot install ${need[*]}"; exit 2; }
fi

mkdir -p "$out"
work=$(mktemp -d)
pids=()
failures=0
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    sleep 0.5
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

say() { echo "$*"; }
check() { # check <description> <condition command...>
    local what=$1; shift
    if "$@"; then say "  ok   $what"; else say "  FAIL $what"; failures=$((failures + 1)); fi
}
free_display() {
    local n=$1
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    echo $n
}
wait_for() { # wait_for <tenths> <command...>
    local i
    for ((i = 0; i < $1; i++)); do "${@:2}" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

# X geometry of a window on the XWayland display: "x y w h" in global coordinates.
geometry() {
    [ -n "$1" ] || return 1
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /^  Width/{w=$NF} /^  Height/{h=$NF} END{print x, y, w, h}'
}
mapped() { [ -n "$1" ] && xwininfo -id "$1" | grep -q "IsViewable"; }
override_redirect() { [ -n "$1" ] && xwininfo -id "$1" | grep -q "Override Redirect State: yes"; }
managed() { [ -n "$1" ] && ! override_redirect "$1"; }
hidden() { [ -n "$1" ] && ! mapped "$1"; }
find_window() { xdotool search --name "$1" 2>/dev/null | head -n 1; }
# The X window that has the keyboard, as the main window's id (its frame counts too).
focus_is() {
    local f; f=$(xdotool getwindowfocus 2>/dev/null)
    [ -n "$1" ] && [ -n "$f" ] || return 1
    [ "$f" = "$1" ] || xwininfo -children -id "$f" 2>/dev/null | grep -q "$(printf '0x%x' "$1")"
}
# Two images of a window a second apart differ: its contents move (the clock runs).
changing() {
    [ -n "$1" ] || return 1
    import -window "$1" "$work/a.png" 2>/dev/null && sleep 1 && import -window "$1" "$work/b.png" 2>/dev/null &&
        [ "$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1)" != 0 ]
}

# Starts the program in the session; its report goes to $work/<name>.log.
start_program() { # start_program <name> <home>
    env -u QT_QPA_PLATFORM -u QT_QPA_PLATFORMTHEME "${session_env[@]}" HOME="$2" \
        LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 ACKERKLASSIK_CHECK_DATA=1 "$program" >"$work/$1.log" 2>&1 &
    app=$!
    pids+=($app)
    wait_for 150 find_window "^Acker Klassik 0.90$" || { cat "$work/$1.log"; return 1; }
    main=$(find_window "^Acker Klassik 0.90$")
    sleep 1
}
stop_program() {
    kill "$app" 2>/dev/null
    wait "$app" 2>/dev/null
}

# A settings file with the given monitor: the program writes its settings at a
# normal exit (Alt+B), then the one value is changed.
prepare_home() { # prepare_home <home> <monitor>
    mkdir -p "$1"
    start_program first "$1" || return 1
    focus_main
    press alt+b
    wait_for 100 sh -c "! kill -0 $app" || { stop_program; return 1; }
    sed -i "s/^Monitor=.*/Monitor=$2/" "$1/.config/Ruvanta-Werk/Acker Klassik.conf"
}

# The checks, the same in every session. second_monitor: "x y w h" of monitor 2.
run_checks() { # run_checks <label>
    local label=$1 home1=$work/$1-home1 home0=$work/$1-home0 td tt
    say "$label: preparing settings"
    prepare_home "$home1" 1 || { say "  FAIL first start and Alt+B"; failures=$((failures + 1)); return; }
    cp -r "$home1" "$home0" && sed -i 's/^Monitor=.*/Monitor=0/' "$home0/.config/Ruvanta-Werk/Acker Klassik.conf"

    say "$label: Monitor = 1 (second monitor)"
    start_program second "$home1" || { say "  FAIL start"; failures=$((failures + 1)); return; }
    check "runs through XWayland (report: $(grep Plattform "$work/second.log" | sed 's/.*: //'))" \
        grep -qx 'ackerklassik: Plattform: xcb' "$work/second.log"
    focus_main
    check "main window has the keyboard at start" focus_is "$main"
    press alt+2
    wait_for 50 find_window "^Monitor 2$"
    td=$(find_window "^Monitor 2$")
    sleep 1.5
    check "time display shown" mapped "$td"
    check "time display covers monitor 2 ($second_monitor): $(geometry "$td")" \
        test "$(geometry "$td")" = "$second_monitor"
    check "time display bypasses the window manager" override_redirect "$td"
    check "keyboard back with the main window" focus_is "$main"
    press F5
    sleep 0.5
    check "F5 reached the main window: the time display counts" changing "$td"
    screenshot "$label-monitor1-time"
    press alt+1
    sleep 1.5
    # The top ten: the program's other large top-level window (it has no title of its own).
    tt=$(xwininfo -root -children | awk -v m="$(printf '0x%x' "$main")" -v t="$(printf '0x%x' "$td")" \
        '/\("ackerklassik"/ && $1 != m && $1 != t { split($(NF-1), g, "x"); if (g[1] + 0 > 100) { print $1; exit } }')
    check "top ten shown" mapped "$tt"
    check "time display hidden" hidden "$td"
    check "top ten covers monitor 2: $(geometry "$tt" 2>/dev/null)" test "$(geometry "$tt" 2>/dev/null)" = "$second_monitor"
    check "keyboard still with the main window" focus_is "$main"
    screenshot "$label-monitor1-top10"
    press alt+0
    sleep 1
    check "Alt+0 hides the top ten" hidden "$tt"
    stop_program

    say "$label: Monitor = 0 (the operator's monitor)"
    start_program zero "$home0" || { say "  FAIL start"; failures=$((failures + 1)); return; }
    focus_main
    press alt+2
    wait_for 50 find_window "^Monitor 2$"
    td=$(find_window "^Monitor 2$")
    sleep 1.5
    check "time display covers monitor 1 ($first_monitor): $(geometry "$td")" \
        test "$(geometry "$td")" = "$first_monitor"
    check "time display is a managed window there" managed "$td"
    check "time display has the keyboard" focus_is "$td"
    screenshot "$label-monitor0-time"
    press Escape
    sleep 1
    check "Escape hides it" hidden "$td"
    stop_program
    return 0
}

run_mutter() {
    local run=$work/mutter-run
    mkdir -p "$run" && chmod 700 "$run"
    cat >"$work/mutter.sh" <<EOF
#!/bin/sh
echo "\$DBUS_SESSION_BUS_ADDRESS" > "$work/mutter.bus"
echo \$\$ > "$work/mutter.pid"
exec mutter --wayland --headless --virtual-monitor 1280x800 --virtual-monitor 1280x800 --wayland-display=ak-mutter
EOF
    chmod +x "$work/mutter.sh"
    XDG_RUNTIME_DIR=$run HOME=$work dbus-run-session -- "$work/mutter.sh" >"$work/mutter.log" 2>&1 &
    pids+=($!)
    # dbus-run-session does not end mutter with it: mutter is stopped by its own id.
    wait_for 100 test -s "$work/mutter.pid" && pids+=($(cat "$work/mutter.pid"))
    wait_for 150 grep -q "Using public X11 display" "$work/mutter.log" || { cat "$work/mutter.log"; return 1; }
    local xdisp; xdisp=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$work/mutter.log" | head -n 1)
    wait_for 100 sh -c "ls $run/.mutter-Xwaylandauth*"
    export DISPLAY=$xdisp XAUTHORITY=$(ls "$run"/.mutter-Xwaylandauth* | head -n 1)
    session_env=(XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY=ak-mutter DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY"
        XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME)
    # The monitors as mutter lays them out (logical monitors of its display configuration).
    local layout
    layout=$(DBUS_SESSION_BUS_ADDRESS=$(cat "$work/mutter.bus") gdbus call --session --dest org.gnome.Mutter.DisplayConfig \
        --object-path /org/gnome/Mutter/DisplayConfig --method org.gnome.Mutter.DisplayConfig.GetCurrentState |
        grep -oE "\((-?[0-9]+), (-?[0-9]+), [0-9.]+, (uint32 )?[0-9]+, (true|false), \[\('Meta-[0-9]+'" |
        sed -E "s/\((-?[0-9]+), (-?[0-9]+), .*'(Meta-[0-9]+)'/\3 \1 \2/")
    say "mutter $(mutter --version | head -n 1 | sed 's/^mutter //'): monitors $(echo $layout)"
    first_monitor="$(echo "$layout" | awk '$1=="Meta-0"{print $2, $3}') 1280 800"
    second_monitor="$(echo "$layout" | awk '$1=="Meta-1"{print $2, $3}') 1280 800"
    focus_main() { timeout 5 xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true; }
    press() { xdotool key "$@"; }
    # mutter without GNOME Shell has no screenshot service: the windows' own images.
    screenshot() {
        local shots=() w
        for w in $(xdotool search --onlyvisible --name "^(Acker Klassik.*|Monitor 2)$" 2>/dev/null); do
            [ "$(geometry "$w" | cut -d' ' -f3)" -gt 100 ] || continue
            import -window "$w" "$work/shot-$w.png" 2>/dev/null && shots+=("$work/shot-$w.png")
        done
        [ ${#shots[@]} -gt 0 ] && convert "${shots[@]}" -resize x800 -background '#303030' -splice 8x0 +append \
            "$out/$1.png" && say "  shot $out/$1.png (window images)"
    }
    run_checks mutter
    return 0
}

run_weston() {
    local run=$work/weston-run host
    mkdir -p "$run" && chmod 700 "$run"
    host=:$(free_display 150)
    Xvfb "$host" -screen 0 2600x820x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    wait_for 100 xdpyinfo -display "$host"
    DISPLAY=$host XDG_RUNTIME_DIR=$run weston --backend=x11-backend.so --output-count=2 --width=1280 --height=800 \
        --use-pixman --xwayland --debug --socket=ak-weston --idle-time=0 --log="$work/weston.log" \
        >"$work/weston.out" 2>&1 &
    pids+=($!)
    wait_for 150 grep -q "xserver listening on display" "$work/weston.log" || { cat "$work/weston.log"; return 1; }
    local xdisp; xdisp=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" | head -n 1)
    # Weston opens one host window per output, both at the origin: put the second beside the first.
    local screen1="" i
    for i in $(seq 1 100); do
        screen1=$(DISPLAY=$host xdotool search --name "Weston Compositor - screen1" 2>/dev/null | head -n 1)
        [ -n "$screen1" ] && break
        sleep 0.1
    done
    [ -n "$screen1" ] && DISPLAY=$host xdotool windowmove "$screen1" 1290 0
    export DISPLAY=$xdisp
    unset XAUTHORITY
    weston_host=$host
    weston_run=$run
    session_env=(XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY=ak-weston DISPLAY="$DISPLAY" XDG_SESSION_TYPE=wayland
        XDG_CURRENT_DESKTOP=Weston)
    local graph; graph=$(XDG_RUNTIME_DIR=$run WAYLAND_DISPLAY=ak-weston timeout 5 weston-debug scene-graph 2>/dev/null)
    first_monitor=$(echo "$graph" | awk '/^Output 0/{f=1} f&&/position:/{gsub(/[(),>-]/," "); print $2, $3, $4-$2, $5-$3; exit}')
    second_monitor=$(echo "$graph" | awk '/^Output 1/{f=1} f&&/position:/{gsub(/[(),>-]/," "); print $2, $3, $4-$2, $5-$3; exit}')
    say "$(weston --version): outputs at $first_monitor and $second_monitor"
    # Real input: a click on the main window and keys typed into Weston's host window.
    focus_main() {
        local g; g=$(geometry "$main")
        DISPLAY=$weston_host xdotool mousemove $(( $(echo $g | cut -d' ' -f1) + 300 )) $(( $(echo $g | cut -d' ' -f2) + 40 )) click 1
        sleep 0.5
    }
    press() { DISPLAY=$weston_host xdotool key "$@"; }
    # Weston's own picture of both outputs (the screenshooter repaints every output first).
    screenshot() {
        (cd "$work" && rm -f wayland-screenshot-*.png &&
            XDG_RUNTIME_DIR=$weston_run WAYLAND_DISPLAY=ak-weston timeout 10 weston-screenshooter >/dev/null 2>&1 &&
            mv wayland-screenshot-*.png "$out/$1.png") && say "  shot $out/$1.png (compositor screenshot)"
    }
    run_checks weston

    # For comparison: the native Wayland platform, chosen by the user.
    say "weston: with QT_QPA_PLATFORM=wayland set by the user (no check, what happens)"
    env "${session_env[@]}" QT_QPA_PLATFORM=wayland HOME="$work/weston-home1" ACKERKLASSIK_CHECK_DATA=1 \
        "$program" >"$work/native.log" 2>&1 &
    app=$!
    pids+=($app)
    sleep 4
    DISPLAY=$weston_host xdotool mousemove 400 300 click 1
    sleep 0.5
    press alt+2
    sleep 2
    say "  $(grep Plattform "$work/native.log" | sed 's/^ackerklassik: //')"
    XDG_RUNTIME_DIR=$run WAYLAND_DISPLAY=ak-weston timeout 5 weston-debug scene-graph 2>/dev/null |
        awk '/top-level window .Monitor 2/{f=1} f&&/position:/{print "  Monitor 2 at " $2, $3, $4, $5, $6; f=0}
             f&&/outputs:/{print "  on output " $2 " " $3; f=0}'
    screenshot weston-native-wayland-time
    stop_program
    return 0
}

for c in "${compositors[@]}"; do
    case $c in
    mutter) run_mutter || { say "mutter: session did not start"; failures=$((failures + 1)); } ;;
    weston) run_weston || { say "weston: session did not start"; failures=$((failures + 1)); } ;;
    esac
done
if [ $failures -eq 0 ]; then say "Wayland check: all passed"; else say "Wayland check: $failures failed"; fi
[ $failures -eq 0 ]
