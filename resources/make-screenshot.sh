#!/usr/bin/env bash
# Takes the screenshot the AppStream data shows (linux/screenshot.png) from
# the real window: the program started on an invisible X server (Xvfb) with a
# ready look given as its argument, as a double-click on the file opens it,
# and the window grabbed with ImageMagick's import once it stops changing.
# Needs xvfb, xauth, xdotool and imagemagick; exits 77 without them. Run it
# after changing what the window shows and commit the result:
#   resources/make-screenshot.sh build/src/lunoris resources/linux/screenshot.png
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: $0 <lunoris executable> <out.png>" >&2
    exit 2
fi
for tool in xvfb-run xauth xdotool import convert identify; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed (Debian: xvfb xauth xdotool imagemagick): no screenshot" >&2
        exit 77
    fi
done

app=$(readlink -f "$1")
out=$2
look="$(cd "$(dirname "$0")" && pwd)/looks/12 h, denní a noční.lns"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The window as a user meets it: the desktop's platform, not a test's
# offscreen one, at the scale and with the style it starts with.
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
    QT_AUTO_SCREEN_SCALE_FACTOR QT_FONT_DPI

# Under AddressSanitizer, libxkbcommon-x11 hands strndup a length past its
# unterminated buffer while the X connection opens; strict string checks
# count that as an overflow of ours and abort before the window shows.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi

export SHOT_APP=$app SHOT_LOOK=$look SHOT_WORK=$work
xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
    set -euo pipefail
    "$SHOT_APP" "$SHOT_LOOK" >"$SHOT_WORK/app.log" 2>&1 &
    app=$!
    trap "kill $app 2>/dev/null || true" EXIT
    window=
    for _ in $(seq 200); do
        window=$(xdotool search --onlyvisible --classname lunoris 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        kill -0 "$app" 2>/dev/null || { cat "$SHOT_WORK/app.log" >&2; exit 1; }
        sleep 0.1
    done
    [ -n "$window" ] || { echo "no window appeared" >&2; exit 1; }
    # The look is loaded and the preview drawn after the window shows: wait
    # until two grabs a moment apart are the same.
    import -window "$window" "ppm:$SHOT_WORK/before.ppm"
    for _ in $(seq 80); do
        sleep 0.25
        import -window "$window" "ppm:$SHOT_WORK/now.ppm"
        if cmp -s "$SHOT_WORK/before.ppm" "$SHOT_WORK/now.ppm"; then
            eval "$(xdotool getwindowgeometry --shell "$window")"
            echo "${WIDTH}x${HEIGHT}" >"$SHOT_WORK/size"
            exit 0
        fi
        mv "$SHOT_WORK/now.ppm" "$SHOT_WORK/before.ppm"
    done
    echo "the window did not settle" >&2
    exit 1
'
# A plain RGB PNG without time stamps: the same window gives the same bytes.
convert "$work/now.ppm" -strip -define png:exclude-chunks=date,time "PNG24:$out"
size=$(identify -format '%wx%h' "$out")
if [ "$size" != "$(cat "$work/size")" ]; then
    echo "the picture is $size, the window $(cat "$work/size")" >&2
    exit 1
fi
echo "$out: the window, $size"
