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
printf '%s\r\n' '[config]' 'ConvertToScroll=TRUE' 'LinesToScroll=3' 'ReverseScroll=1' 'ActivateWindows=1' \
    '[router]' 'ExcludedPrograms=mstsc.exe;msrdc.exe;osk.exe;krita.exe' 'ExcludedClasses=UnityWndClass' \
    'ShiftScrollsSideways=1' 'ReverseAxes=vertical' > "$work/rollix.ini"

# Without a window manager Wine draws no title bar unless it decorates the window itself; this asks
# for that for the editor only.
wine reg add 'HKCU\Software\Wine\AppDefaults\RollixConfig.exe\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true

wine "$work/RollixConfig.exe" >/dev/null 2>&1 &
pid=$!

# Wait (bounded) for the dialog's X window, then until it has been laid out and painted: the same geometry and
# two equal captures in a row (the window first shows at its template's size, then takes the size its rows need).
geometry_of_editor() {
    xwininfo -root -tree | sed -n 's/.*"Rollix Portable Settings": ("rollixconfig.exe".*  \([0-9]*x[0-9]*+[0-9-]*+[0-9-]*\)  .*/\1/p' | head -1
}
geometry=
for _ in $(seq 1 100); do
    geometry=$(geometry_of_editor)
    [[ -n "$geometry" ]] && break
    sleep 0.2
done
[[ -n "$geometry" ]] || { echo "the editor's window did not appear"; exit 1; }

mkdir -p "$(dirname "$output")"
previous=
for _ in $(seq 1 50); do
    geometry=$(geometry_of_editor)
    import -window root -crop "$geometry" +repage "$work/shot.png"
    current="$geometry $(md5sum < "$work/shot.png")"
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
