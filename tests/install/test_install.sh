#!/usr/bin/env bash
# Installs the build into a temporary folder as a package would, validates what a desktop reads
# (entry, AppStream metadata, icons), and starts the installed program once from a read-only
# prefix: its data must land in the user's folders and nothing in the prefix may change.
# Usage: test_install.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
cleanup() {
    [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >/dev/null
prefix="$work/dest/usr"
id=org.volumara.Books

[ -x "$prefix/bin/volumara" ] || fail "no program in bin"
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "AppStream metadata"
[ -s "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -s "$png" ] || fail "no ${size} px icon"
    # The PNG header holds width and height as big-endian words at bytes 16 and 20.
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "${size} px icon is ${width}x${height}"
done
[ -s "$prefix/share/volumara/help/getting-started.md" ] || fail "no help pages"
[ -x "$prefix/bin/volumara-cli" ] || fail "no volumara-cli in bin"
[ -s "$prefix/share/man/man1/volumara-cli.1" ] || fail "no manual page"
[ -s "$prefix/share/bash-completion/completions/volumara-cli" ] || fail "no bash completion"

# The sanitizer build's leak report is not what this test is about.
export ASAN_OPTIONS=detect_leaks=0
version=$("$prefix/bin/volumara" --version) || fail "--version exited with $?"
[[ "$version" == *"Version 3.0a"* ]] || fail "--version printed '$version'"

# The command-line program needs no display at all.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/volumara-cli" --help >/dev/null ||
    fail "volumara-cli --help without a display"

# First start of an installed program, from a prefix nobody may write to.
chmod -R a-w "$prefix"
before=$(cd "$prefix" && find . -printf '%p %s %T@\n' | sort)
home="$work/home"
mkdir -p "$home"
data="$home/.local/share/volumara"
env -u VOLUMARA_HOME -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
    "$prefix/bin/volumara" >"$work/program.log" 2>&1 &
pid=$!
for _ in $(seq 1 600); do
    [ -s "$data/MASTER.MDX" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/program.log" >&2; fail "the program ended at start"; }
    sleep 0.1
done
[ -s "$data/MASTER.DBF" ] || fail "MASTER.DBF not created in $data"
sleep 1 # let the first show and activation run
# Ending the session closes the program as its close box would: settings and lists are written.
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" = 0 ] || { cat "$work/program.log" >&2; fail "the program ended with $status on SIGTERM"; }
[ -s "$home/.config/VLMBOOK.INI" ] || fail "settings not written at close"
for list in AUTHOR LOCATION BOUGHT CATEGORY PUBLISH BOOKTYPE CHECKOUT CONDITION RATING; do
    [ -e "$data/$list.LST" ] || fail "$list.LST not written in $data"
done
after=$(cd "$prefix" && find . -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || fail "the installed prefix changed: $(diff <(echo "$before") <(echo "$after"))"
echo "installed layout and first start: ok"
