#!/usr/bin/env bash
# Renders the icon's PNG sizes from data/org.quillon.Quillon.svg into
# data/icons/ (run after changing the SVG; the PNGs are committed, so the
# build needs no SVG renderer). Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data"
for n in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$n" -h "$n" org.quillon.Quillon.svg -o "icons/${n}x${n}.png"
done
