#!/bin/sh
# Installs this build into a staging folder (prefix /usr) and checks the tree an
# install gives: program, data, menu entry, icons, AppStream metadata, manual
# page and documents, nothing elsewhere; then starts the installed program
# (offscreen) and checks that it finds its data in the staged share folder.
# Usage: check_install.sh <build folder>
set -eu
build=$1
stage=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$stage"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

DESTDIR=$stage/root cmake --install "$build" --prefix /usr >/dev/null
r=$stage/root

for f in usr/bin/ackerklassik \
    usr/share/ackerklassik/gongs/chimes.wav usr/share/ackerklassik/gongs/ding.wav \
    usr/share/ackerklassik/gongs/chord.wav usr/share/ackerklassik/template/protokoll.docx \
    usr/share/ackerklassik/help/index.html usr/share/ackerklassik/help/help.css \
    usr/share/applications/ackerklassik.desktop \
    usr/share/metainfo/example.ruvanta_werk.ackerklassik.metainfo.xml \
    usr/share/man/man1/ackerklassik.1.gz \
    usr/share/doc/ackerklassik/copyright usr/share/doc/ackerklassik/changelog.gz \
    usr/share/lintian/overrides/ackerklassik; do
    [ -f "$r/$f" ] || fail "not installed: /$f"
done
[ -x "$r/usr/bin/ackerklassik" ] || fail "/usr/bin/ackerklassik is not executable"

# Icons: a PNG of the named size in every freedesktop size folder.
for n in 16 22 24 32 48 64 128 256 512; do
    png=$r/usr/share/icons/hicolor/${n}x${n}/apps/ackerklassik.png
    [ -f "$png" ] || fail "icon ${n}x${n} missing"
    # Width and height are the big-endian words at bytes 16 and 20 of the PNG header.
    set -- $(od -An -tu1 -j16 -N8 "$png")
    w=$(( ($1 << 24) + ($2 << 16) + ($3 << 8) + $4 ))
    h=$(( ($5 << 24) + ($6 << 16) + ($7 << 8) + $8 ))
    [ "$w" = "$n" ] && [ "$h" = "$n" ] || fail "icon ${n}x${n} is ${w}x${h}"
done

# Nothing lands outside the program's own places.
stray=$(cd "$r" && find . -type f | sed 's#^\./#/#' | grep -v -E \
    '^/usr/bin/ackerklassik$|^/usr/share/(ackerklassik|doc/ackerklassik)/|^/usr/share/applications/ackerklassik\.desktop$|^/usr/share/metainfo/example\.ruvanta_werk\.ackerklassik\.metainfo\.xml$|^/usr/share/icons/hicolor/[0-9]+x[0-9]+/apps/ackerklassik\.png$|^/usr/share/man/man1/ackerklassik\.1\.gz$|^/usr/share/lintian/overrides/ackerklassik$' || true)
[ -z "$stray" ] || fail "unexpected files installed: $stray"

# The menu entry starts the installed program with the installed icon.
desktop=$r/usr/share/applications/ackerklassik.desktop
grep -qx 'Exec=ackerklassik' "$desktop" || fail "Exec line of the menu entry"
grep -qx 'Icon=ackerklassik' "$desktop" || fail "Icon line of the menu entry"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$r/usr/share/metainfo/example.ruvanta_werk.ackerklassik.metainfo.xml" \
        >"$stage/appstream.log" 2>&1 || { cat "$stage/appstream.log"; fail "appstreamcli validate"; }
fi

# The installed program, started offscreen, reports its data in the staged share folder.
mkdir -p "$stage/home" && chmod 700 "$stage/home"
HOME=$stage/home XDG_CONFIG_HOME=$stage/home/.config XDG_DATA_HOME=$stage/home/.local/share \
    XDG_RUNTIME_DIR=$stage/home QT_QPA_PLATFORM=offscreen ACKERKLASSIK_CHECK_DATA=1 \
    "$r/usr/bin/ackerklassik" 2>"$stage/report" >/dev/null &
pid=$!
i=0
while ! grep -q '^ackerklassik: Daten:' "$stage/report" 2>/dev/null; do
    kill -0 "$pid" 2>/dev/null || { cat "$stage/report"; fail "the installed program ended at start"; }
    i=$((i + 1))
    [ $i -le 300 ] || fail "no data report within 30 s"
    sleep 0.1
done
cat "$stage/report"
grep -qx 'ackerklassik: Daten: vollständig' "$stage/report" || fail "data incomplete"
share=$r/usr/share/ackerklassik
for what in Datenordner 'Gong TIMER' 'Gong Anhalten' 'Gong Eliminieren' Vorlage Handbuch; do
    grep -q "^ackerklassik: $what: $share[/:]" "$stage/report" || fail "$what not looked up in $share"
done
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the installed program ended within a second of starting"
echo "install layout and data lookup: ok"
