#!/usr/bin/env bash
# Makes the menu icons app/icons/48.png, 64.png and 128.png from the 32 px
# window icon app/zandrel.png, by nearest-neighbour upscaling (ImageMagick's
# -sample), which keeps the pixel art's hard edges; 48 px is 1.5 times, so
# every other pixel row and column is doubled. The PNGs are committed: run this
# only when app/zandrel.png changes. Needs the Debian package imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 48 64 128; do
    # -strip drops the time stamps, so the same icon gives the same bytes.
    convert app/zandrel.png -sample "${size}x${size}" -strip "png8:app/icons/${size}.png"
done
