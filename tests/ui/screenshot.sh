#!/usr/bin/env bash
# screenshot.sh WINE_EXEC PREFIX PROGRAM.exe [ARG...] OUT.png
# Runs a screenshot program under Wine on a virtual X display, saves a PNG of
# the window it reports to OUT.png and checks that it shows something. The
# program gets ARG... followed by the files of the hand-over (RECT TAKEN).
# With KIT_SCREENSHOT_DESKTOP=1 the program runs in a Wine virtual desktop,
# where Wine draws the title bars (with the window's small icon) itself;
# without a window manager it draws none.
set -euo pipefail
wine_exec=$1 prefix=$2 program=$3
shift 3
out=${!#}
args=("${@:1:$#-1}")

# One virtual display for Wine and for the screenshot tool.
if [ -z "${KIT_SCREENSHOT_DISPLAY:-}" ]; then
  exec env KIT_SCREENSHOT_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$wine_exec" "$prefix" "$program" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }

desktop=()
if [ "${KIT_SCREENSHOT_DESKTOP:-}" = 1 ]; then
  # The desktop window covers the display from its top left corner, so
  # window rectangles are screen positions as they are without it.
  desktop=(explorer /desktop=kitshot,1024x768)
  # One such run at a time in a prefix: Wine keeps the named desktop in the
  # prefix's server, and a second run on another X display would open its
  # windows in the first run's desktop window there (X error BadWindow).
  exec 8>"$prefix.desktop.lock"
  flock 8
fi
# (Not the lock: the prefix's server, which may outlive this run, must not hold it.)
"$wine_exec" "$prefix" "${desktop[@]}" "$program" "${args[@]}" "$(winpath "$work/rect")" "$(winpath "$work/taken")" 8>&- &
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
