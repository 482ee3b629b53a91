#!/usr/bin/env bash
# Draws the application icon and the start window's picture with ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
IM=/usr/bin/convert
serif=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf

# Icon: a navy tile with a white page and a downward arrow.
$IM -size 64x64 xc:none \
  -fill '#1d3557' -draw 'roundrectangle 2,2 61,61 12,12' \
  -fill white -draw 'polygon 18,10 38,10 46,18 46,54 18,54' \
  -fill '#a8dadc' -draw 'polygon 38,10 46,18 38,18' \
  -fill '#e63946' -draw 'rectangle 29,22 35,36' -draw 'polygon 24,35 40,35 32,46' \
  icons/lunovex.png

# Picture: a stack of journal volumes on a shelf.
$IM -size 190x270 gradient:'#2b4a75'-'#16283f' \
  -fill '#0f1c2e' -draw 'rectangle 10,232 180,244' \
  -fill '#e9c46a' -draw 'rectangle 22,70 52,232' \
  -fill '#2a9d8f' -draw 'rectangle 55,50 83,232' \
  -fill '#e76f51' -draw 'rectangle 86,86 112,232' \
  -fill '#f1faee' -draw 'rectangle 115,60 145,232' \
  -fill '#a8dadc' -draw 'polygon 150,232 176,232 166,96 142,100' \
  -fill '#16283f' -draw 'rectangle 26,90 48,94' -draw 'rectangle 26,200 48,204' \
  -draw 'rectangle 59,70 79,74' -draw 'rectangle 59,200 79,204' \
  -draw 'rectangle 119,80 141,84' -draw 'rectangle 119,200 141,204' \
  -fill white -font "$serif" -pointsize 22 -gravity north -annotate +0+12 'M & V' \
  images/cover.png

# State icons of the download list, 16x16, in the order Waiting, Downloading, Finished, Failed.
$IM -size 16x16 xc:none -fill '#9aa5b1' -draw 'circle 8,8 8,1' -fill white -draw 'rectangle 7,4 8,8' -draw 'rectangle 7,8 11,9' icons/state-waiting.png
$IM -size 16x16 xc:none -fill '#2a6fdb' -draw 'circle 8,8 8,1' -fill white -draw 'rectangle 7,3 9,8' -draw 'polygon 4,8 12,8 8,13' icons/state-downloading.png
$IM -size 16x16 xc:none -fill '#2a9d5c' -draw 'circle 8,8 8,1' -stroke white -strokewidth 2 -fill none -draw 'polyline 4,8 7,11 12,5' icons/state-finished.png
$IM -size 16x16 xc:none -fill '#d64545' -draw 'circle 8,8 8,1' -stroke white -strokewidth 2 -draw 'line 5,5 11,11' -draw 'line 11,5 5,11' icons/state-failed.png
