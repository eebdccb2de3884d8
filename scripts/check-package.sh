#!/usr/bin/env bash
# Tests the Debian package on a fresh Debian 12: builds it (scripts/package.sh),
# installs it with apt into a minimal debootstrap chroot, checks that the menu
# entry's command starts the installed program (offscreen) from /usr/bin with
# its gongs, template and manual found under /usr/share/ackerklassik, then
# purges it and checks that no file is left behind (a second install and purge
# with the dependencies already present must give the same file tree back).
#
# Run as root from the project's folder. The first run downloads a minimal
# Debian into ${TMPDIR:-/tmp}/ak-package (a few minutes); logs go there too.
#   --no-build          test the ackerklassik_*.deb already in the project folder
#   --screenshot FILE   also start the menu entry's command under Xvfb in the
#                       chroot and save the screen as FILE (PNG; needs ImageMagick)
set -uo pipefail
cd "$(dirname "$0")/.."

build=1
shot=""
while [ $# -gt 0 ]; do
    case $1 in
    --no-build) build=0 ;;
    --screenshot) shot=$(realpath -m "$2"); shift ;;
    *) echo "unknown argument: $1"; exit 2 ;;
    esac
    shift
done
[ "$(id -u)" -eq 0 ] || { echo "run as root (chroot)"; exit 2; }
tools=(debootstrap)
[ -n "$shot" ] && tools+=(imagemagick)
./scripts/install-packages.sh "${tools[@]}" || { echo "cannot install ${tools[*]}"; exit 2; }

root=${TMPDIR:-/tmp}/ak-package
run=$root/run
log=$root/log
mkdir -p "$root" "$root/archives/partial"
: >"$log"
step() { echo "== $*" | tee -a "$log"; }
fail() { echo "FAIL: $*" | tee -a "$log"; exit 1; }
in_root() { chroot "$run" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }

if [ $build -eq 1 ]; then
    step "building the package"
    ./scripts/package.sh >>"$log" 2>&1 || fail "scripts/package.sh (see $log)"
fi
deb=$(ls ackerklassik_*.deb 2>/dev/null | tail -n 1)
[ -n "$deb" ] || fail "no ackerklassik_*.deb in $PWD"

if [ ! -f "$root/base.tar" ]; then
    step "debootstrap of a minimal Debian 12"
    mirror=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null)
    [ -n "$mirror" ] || mirror=http://deb.debian.org/debian
    rm -rf "$root/base"
    debootstrap --variant=minbase bookworm "$root/base" "$mirror" >>"$log" 2>&1 || fail "debootstrap"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        cp /etc/apt/sources.list.d/debian.sources "$root/base/etc/apt/sources.list.d/" &&
            rm -f "$root/base/etc/apt/sources.list"
    fi
    tar -C "$root/base" -cf "$root/base.tar" . && rm -rf "$root/base"
fi

cleanup() {
    # Stop what still runs inside, then unmount.
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$run" ] && kill -9 "${p#/proc/}" 2>/dev/null
    done
    for m in var/cache/apt/archives dev/pts dev proc; do umount "$run/$m" 2>/dev/null; done
}
trap cleanup EXIT
cleanup
rm -rf "$run" && mkdir -p "$run" && tar -C "$run" -xf "$root/base.tar"
cp /etc/resolv.conf "$run/etc/resolv.conf"
mount -t proc proc "$run/proc" && mount --bind /dev "$run/dev" && mount --bind /dev/pts "$run/dev/pts"
mount --bind "$root/archives" "$run/var/cache/apt/archives"
in_root apt-get update -qq >>"$log" 2>&1 || fail "apt-get update in the chroot"
if [ -n "$shot" ]; then
    step "installing Xvfb for the screenshot"
    in_root apt-get install -y -qq xvfb >>"$log" 2>&1 || fail "installing xvfb"
fi

# Every path outside the package manager's own records, caches, logs and the
# scratch folders where the program runs.
snapshot() {
    chroot "$run" find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /run \
        -o -path /root -o -path /var/cache -o -path /var/log -o -path /var/lib/apt -o -path /var/lib/dpkg \) \
        -prune -o -print | LC_ALL=C sort >"$1"
}
snapshot "$root/before.txt"

cp "$deb" "$run/root/"
step "apt install ./$deb"
chroot "$run" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
    sh -c "cd /root && apt install -y ./$deb" >>"$log" 2>&1 || fail "apt install ./$deb"
in_root dpkg-query -W -f='${Status}\n' ackerklassik | grep -q "install ok installed" || fail "not installed"
in_root dpkg -L ackerklassik | LC_ALL=C sort >"$root/files.txt"

step "starting the menu entry's command"
desktop=$run/usr/share/applications/ackerklassik.desktop
[ -f "$desktop" ] || fail "no menu entry /usr/share/applications/ackerklassik.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | head -n 1)
exe=$(in_root sh -c "command -v ${exec_line%% *}")
[ "$exe" = /usr/bin/ackerklassik ] || fail "the menu entry runs '$exe', not /usr/bin/ackerklassik"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$run/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no 48x48 icon named $icon"

# Starts the command in the chroot with a scratch home; extra environment as arguments.
start_program() {
    rm -rf "$run/tmp/akhome" && mkdir -p "$run/tmp/akhome/run" && chmod 700 "$run/tmp/akhome/run"
    chroot "$run" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp/akhome XDG_RUNTIME_DIR=/tmp/akhome/run \
        "$@" sh -c "exec $exec_line" >"$root/program.out" 2>&1 &
    prog=$!
}
start_program QT_QPA_PLATFORM=offscreen ACKERKLASSIK_CHECK_DATA=1
for i in $(seq 1 300); do
    grep -q '^ackerklassik: Daten:' "$root/program.out" && break
    kill -0 $prog 2>/dev/null || { cat "$root/program.out"; fail "the program ended at start"; }
    sleep 0.1
done
cat "$root/program.out" | tee -a "$log"
[ "$(readlink /proc/$prog/exe)" = "$run/usr/bin/ackerklassik" ] || fail "the running program is not /usr/bin/ackerklassik"
grep -qx 'ackerklassik: Daten: vollständig' "$root/program.out" || fail "data not found"
for what in Datenordner 'Gong TIMER' 'Gong Anhalten' 'Gong Eliminieren' Vorlage Handbuch; do
    grep -q "^ackerklassik: $what: /usr/share/ackerklassik[/:]" "$root/program.out" ||
        fail "$what not under /usr/share/ackerklassik"
done
sleep 5
kill -0 $prog 2>/dev/null || fail "the program ended within 5 s"
kill $prog; wait $prog 2>/dev/null
step "the installed program runs, data found under /usr/share/ackerklassik"

if [ -n "$shot" ]; then
    step "screenshot of the menu entry's command under Xvfb"
    rm -rf "$run/tmp/fb" && mkdir -p "$run/tmp/fb"
    chroot "$run" env -i PATH=/usr/bin:/bin Xvfb :7 -screen 0 1280x800x24 -fbdir /tmp/fb -nolisten tcp \
        >>"$log" 2>&1 &
    xvfb=$!
    for i in $(seq 1 100); do [ -e "$run/tmp/.X11-unix/X7" ] && break; sleep 0.1; done
    start_program DISPLAY=:7
    sleep 8
    kill -0 $prog 2>/dev/null || { cat "$root/program.out"; fail "the program ended under Xvfb"; }
    convert "xwd:$run/tmp/fb/Xvfb_screen0" "$shot" || fail "converting the screenshot"
    kill $prog $xvfb; wait $prog $xvfb 2>/dev/null
    echo "screenshot: $shot" | tee -a "$log"
fi

step "apt purge"
in_root apt-get purge -y ackerklassik >>"$log" 2>&1 || fail "apt-get purge"
in_root dpkg-query -W -f='${Status}\n' ackerklassik 2>/dev/null | grep -q . &&
    fail "dpkg still knows the package: $(in_root dpkg-query -W -f='${Status}' ackerklassik)"
left=""
while read -r f; do
    [ -e "$run$f" ] && [ ! -d "$run$f" ] && left="$left $f"
done <"$root/files.txt"
[ -z "$left" ] || fail "files left after purge:$left"

step "second install and purge with the dependencies present"
snapshot "$root/clean.txt"
in_root sh -c "cd /root && apt-get install -y ./$deb" >>"$log" 2>&1 || fail "second install"
snapshot "$root/installed.txt"
in_root apt-get purge -y ackerklassik >>"$log" 2>&1 || fail "second purge"
snapshot "$root/purged.txt"
added=$(comm -13 "$root/clean.txt" "$root/installed.txt" | wc -l)
[ "$added" -gt 0 ] || fail "the second install added no files"
if ! diff -u "$root/clean.txt" "$root/purged.txt" >"$root/purge.diff"; then
    cat "$root/purge.diff"
    fail "the file tree differs after the purge"
fi
leftover=$(comm -13 "$root/before.txt" "$root/purged.txt" | grep -i ackerklassik || true)
[ -z "$leftover" ] || fail "left behind: $leftover"
echo "package ok: installs with apt, starts from its menu entry with its data found; purge leaves nothing ($added paths added and removed again)" |
    tee -a "$log"
