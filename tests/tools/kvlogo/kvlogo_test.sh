#!/bin/sh
# kvlogo end to end: a one-pixel white 24-bit bitmap converts with M3 into a
# one-bit file named by the product's rule beside it, whose pixel is white;
# a file that is not a bitmap is refused with exit 1.
set -eu
kvlogo=$1 dir=$2
rm -rf "$dir" && mkdir -p "$dir"
printf '\102\115\072\000\000\000\000\000\000\000\066\000\000\000\050\000\000\000\001\000\000\000\001\000\000\000\001\000\030\000\000\000\000\000\004\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\377\377\377\000' > "$dir/white.bmp"
"$kvlogo" convert "$dir/white.bmp" --halftone m3
"$kvlogo" info "$dir/whiteTemp.bmp"
od -An -tx1 -j62 -N1 "$dir/whiteTemp.bmp"
printf 'not a bitmap' > "$dir/text.bmp"
if "$kvlogo" convert "$dir/text.bmp"; then echo "text accepted"; exit 1; else echo "refused with $?"; fi
