#!/usr/bin/env bash
# Renders the pictures from their SVG sources: the 16 x 16 icons and the logo
# compiled into the application, the Linux theme icons and the Windows icon.
# Needs rsvg-convert (Debian: librsvg2-bin) and python3. Run it after
# changing any SVG under svg/ and commit the results.
set -euo pipefail
cd "$(dirname "$0")"

icons="app_icon year first_shift font shift_colors field_size border target_folder
       confirm save load red green blue"
for name in $icons; do
    rsvg-convert --width 16 --height 16 --format png -o "icon/16/$name.png" "svg/$name.svg"
done
rsvg-convert --width 256 --height 116 --format png -o other/logo_velmo.png svg/logo_velmo.svg

for size in 16 32 48 64 128 256; do
    mkdir -p "linux/hicolor/${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" --format png \
        -o "linux/hicolor/${size}x${size}/apps/lunoris.png" svg/app_icon.svg
done
mkdir -p linux/hicolor/scalable/apps
cp svg/app_icon.svg linux/hicolor/scalable/apps/lunoris.svg

mkdir -p windows
python3 tools/pngtool.py rgba icon/16/*.png other/logo_velmo.png linux/hicolor/*/apps/lunoris.png
python3 tools/pngtool.py ico icon/16/app_icon.png windows/lunoris.ico
