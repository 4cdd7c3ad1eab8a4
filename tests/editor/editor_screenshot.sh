#!/usr/bin/env bash
# Takes a screenshot of the settings editor under Wine on the X display of the test run, for the
# README: editor_screenshot.sh <RollixConfig.exe> <output.png>; ROLLIX_SCREENSHOT_SUFFIX (such as -150, from
# scripts/scaled-screenshots.sh) is added to the name. Exit 77 (skipped) without a display.
set -euo pipefail

editor=$1
output=${2%.png}${ROLLIX_SCREENSHOT_SUFFIX:-}.png
[[ -n "${DISPLAY:-}" ]] || { echo "no DISPLAY: skipped"; exit 77; }
command -v import >/dev/null && command -v xwininfo >/dev/null || { echo "imagemagick or xwininfo missing: skipped"; exit 77; }

work=$(mktemp -d)
pid=
cleanup() {
    [[ -n "$pid" ]] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cp "$editor" "$work/RollixConfig.exe"
printf '[config]\r\nConvertToScroll=TRUE\r\nLinesToScroll=3\r\nActivateWindows=1\r\n' > "$work/rollix.ini"

# Without a window manager Wine draws no title bar unless it decorates the window itself; this asks
# for that for the editor only.
wine reg add 'HKCU\Software\Wine\AppDefaults\RollixConfig.exe\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true

wine "$work/RollixConfig.exe" >/dev/null 2>&1 &
pid=$!

# Wait (bounded) for the dialog's X window, then until it has been painted: two equal captures in a row.
geometry=
for _ in $(seq 1 100); do
    geometry=$(xwininfo -root -tree | sed -n 's/.*"Rollix Portable Settings": ("rollixconfig.exe".*  \([0-9]*x[0-9]*+[0-9-]*+[0-9-]*\)  .*/\1/p' | head -1)
    [[ -n "$geometry" ]] && break
    sleep 0.2
done
[[ -n "$geometry" ]] || { echo "the editor's window did not appear"; exit 1; }

mkdir -p "$(dirname "$output")"
previous=
for _ in $(seq 1 50); do
    import -window root -crop "$geometry" +repage "$work/shot.png"
    current=$(md5sum < "$work/shot.png")
    colours=$(identify -format '%k' "$work/shot.png")
    if [[ "$current" == "$previous" && "$colours" -gt 8 ]]; then
        cp "$work/shot.png" "$output"
        echo "saved $output ($geometry, $colours colours)"
        exit 0
    fi
    previous=$current
    sleep 0.3
done
echo "the editor's window was never painted"
exit 1
