#!/usr/bin/env bash
# walk_screenshots.sh OUT_DIR COMMAND [ARGS...]
# Runs a Windows test program (under Wine, on the current X display) that
# asks for screenshots of its windows: it writes NAME.rect ("x y w h") into
# KIT_SHOT_DIR and waits for NAME.taken. Each request is answered with
# OUT_DIR/NAME.png, taken from the display with a margin of desktop around
# the window. Exits with the program's status, or 1 when a saved image is
# blank.
set -uo pipefail
out=$1; shift
mkdir -p "$out"
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
export KIT_SHOT_DIR=$shots

"$@" &
pid=$!
status=0
margin=8
serve() {
  for rect in "$shots"/*.rect; do
    [ -e "$rect" ] || continue
    name=$(basename "$rect" .rect)
    read -r x y w h < <(tr -d '\r' < "$rect")
    rm -f "$rect"
    png="$out/$name.png"
    import -window root -crop "$((w + 2 * margin))x$((h + 2 * margin))+$((x - margin))+$((y - margin))" +repage "$png"
    size=$(stat -c %s "$png" 2>/dev/null || echo 0)
    colours=$(convert "$png" -format %k info: 2>/dev/null || echo 0)
    echo "screenshot: $png (${w}x${h} window at $x,$y; $size bytes, $colours colours)"
    if [ "$size" -lt 1000 ] || [ "$colours" -lt 4 ]; then
      echo "screenshot: $png is empty" >&2
      status=1
    fi
    touch "$shots/$name.taken"
  done
}
while kill -0 "$pid" 2>/dev/null; do
  serve
  sleep 0.1
done
wait "$pid"
code=$?
[ "$code" -ne 0 ] && exit "$code"
exit "$status"
