#!/usr/bin/env bash
# Renders the PNG sizes of the icon from its SVG (needs rsvg-convert, from
# the package librsvg2-bin). The PNGs are kept in the repository, so a build
# needs neither this script nor the tool.
set -euo pipefail
cd "$(dirname "$0")/icons/hicolor"
for size in 16 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" scalable/apps/TavikRepView.svg -o "${size}x${size}/apps/TavikRepView.png"
done
