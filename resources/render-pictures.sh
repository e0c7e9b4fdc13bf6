#!/usr/bin/env bash
# Renders the pictures from their SVG sources: the 16 x 16 icons and the logo
# compiled into the application, each with its @2x and @3x variants for
# screens of device pixel ratio 2 and 3, the Linux theme icons and the
# Windows icon. Needs rsvg-convert (Debian: librsvg2-bin) and python3. Run it
# after changing any SVG under svg/ and commit the results.
set -euo pipefail
cd "$(dirname "$0")"

# SOURCE TARGET WIDTH HEIGHT: the toolkit finds "name@2x" and "name@3x" beside "name"
# by itself and draws them at a third or half their pixel size.
render() {
    local source=$1 target=$2 width=$3 height=$4
    rsvg-convert --width "$width" --height "$height" --format png -o "$target.png" "$source"
    for ratio in 2 3; do
        rsvg-convert --width $((width * ratio)) --height $((height * ratio)) --format png \
            -o "$target@${ratio}x.png" "$source"
    done
}

icons="app_icon year first_shift font shift_colors field_size border target_folder
       confirm save load red green blue"
for name in $icons; do
    render "svg/$name.svg" "icon/16/$name" 16 16
done
render svg/logo_velmo.svg other/logo_velmo 256 116

for size in 16 32 48 64 128 256; do
    mkdir -p "linux/hicolor/${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" --format png \
        -o "linux/hicolor/${size}x${size}/apps/lunoris.png" svg/app_icon.svg
done
mkdir -p linux/hicolor/scalable/apps
cp svg/app_icon.svg linux/hicolor/scalable/apps/lunoris.svg

# The Windows icon in the sizes Explorer and the taskbar ask for.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
ico_sizes="16 24 32 48 64 128 256"
for size in $ico_sizes; do
    rsvg-convert --width "$size" --height "$size" --format png -o "$scratch/$size.png" svg/app_icon.svg
done

python3 tools/pngtool.py rgba icon/16/*.png other/logo_velmo*.png linux/hicolor/*/apps/lunoris.png "$scratch"/*.png
mkdir -p windows
python3 tools/pngtool.py ico "$scratch"/*.png windows/lunoris.ico
