#!/bin/bash
# The test document's two pages, into the current folder: page1.pgm (a
# receipt with a QR code) and page2.pgm (shapes), 395 dots wide.
set -euo pipefail
qrencode -s 6 -m 2 -o qr.png "KIT-RECEIPT-0042"
convert -size 395x900 xc:white -font DejaVu-Sans -pointsize 28 -fill black -annotate +10+40 'Receipt 0042' \
  -annotate +10+90 'Coffee   3.50' qr.png -geometry +10+150 -composite -depth 8 page1.pgm
convert -size 395x600 xc:white -fill black -draw 'rectangle 20,20 370,80' -draw 'circle 197,300 197,380' \
  -depth 8 page2.pgm
