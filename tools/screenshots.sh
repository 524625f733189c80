#!/usr/bin/env bash
# Screenshots of the main window in each button-bar mode at several window sizes, taken under
# Xvfb on a generated table of 2000 books. Builds what it needs first. The pictures go to
# screenshots/ (kept out of git) as main-<mode>-<width>x<height>.png, mode 1 speed buttons,
# 2 lettered buttons, 3 none.
#
#   tools/screenshots.sh [build-dir] [output-dir]
#
# Needs xvfb-run and ImageMagick's import.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$root/screenshots}

for tool in xvfb-run import; do
    command -v "$tool" > /dev/null || { echo "screenshots: $tool is missing" >&2; exit 1; }
done
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
cmake --build "$build" --target volumara table_bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/config" "$out"
"$build/bin/table_bench" --generate 2000 "$work/home/SAMPLE.DBF" > /dev/null

for size in 640x480 800x600 1024x768; do
    width=${size%x*}
    height=${size#*x}
    for mode in 1 2 3; do
        printf '[Misc]\r\nButton Bar=%s\r\nMain Window Left=0\r\nMain Window Top=0\r\n' "$mode" \
            > "$work/config/VLMBOOK.INI"
        printf 'Main Window Width=%s\r\nMain Window Height=%s\r\n' "$width" "$height" \
            >> "$work/config/VLMBOOK.INI"
        printf 'Last Database=%s\r\nShow Tips=No\r\n' "$work/home/SAMPLE.DBF" \
            >> "$work/config/VLMBOOK.INI"
        picture="$out/main-$mode-$size.png"
        # No window manager runs, so the window sits at 0,0 without a frame: the top-left
        # width x height of the screen is the whole window.
        VOLUMARA_HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
            xvfb-run -a -s "-screen 0 $((width + 64))x$((height + 64))x24" \
            bash -c '"$1" & pid=$!
                     sleep "${SCREENSHOT_DELAY:-3}"
                     import -window root -crop "$2+0+0" +repage "$3"
                     kill "$pid"; wait "$pid" 2> /dev/null || true' \
            screenshot "$build/bin/volumara" "$size" "$picture"
        echo "$picture"
    done
done
