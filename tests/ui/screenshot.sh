#!/usr/bin/env bash
# screenshot.sh WINE_EXEC PREFIX PROGRAM.exe SAMPLE OUT.png
# Runs the sample-dialog program under Wine on a virtual X display, saves a
# PNG of the dialog window to OUT.png and checks that it shows something.
set -euo pipefail
wine_exec=$1 prefix=$2 program=$3 sample=$4 out=$5

# One virtual display for Wine and for the screenshot tool.
if [ -z "${KIT_SCREENSHOT_DISPLAY:-}" ]; then
  exec env KIT_SCREENSHOT_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }

"$wine_exec" "$prefix" "$program" "$sample" "$(winpath "$work/rect")" "$(winpath "$work/taken")" &
pid=$!
for _ in $(seq 1 600); do
  [ -s "$work/rect" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$work/rect" ]; then
  echo "screenshot: the dialog never reported its rectangle" >&2
  wait "$pid" || true
  exit 1
fi
# The program writes its line in Windows text mode (CR LF).
read -r x y w h < <(tr -d '\r' < "$work/rect")
# The dialog plus a margin of the desktop around it.
margin=8
import -window root -crop "$((w + 2 * margin))x$((h + 2 * margin))+$((x - margin))+$((y - margin))" +repage "$out"
touch "$work/taken"
wait "$pid"

size=$(stat -c %s "$out")
colours=$(convert "$out" -format %k info:)
echo "screenshot: $out (${w}x${h} window at $x,$y; $size bytes, $colours colours)"
# A blank or one-colour image means nothing was drawn.
if [ "$size" -lt 1000 ] || [ "$colours" -lt 4 ]; then
  echo "screenshot: the image is empty" >&2
  exit 1
fi
