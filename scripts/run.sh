#!/usr/bin/env bash
# Installs what is missing, builds the application and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DLUNORIS_BUILD_BENCH=OFF
cmake --build build --parallel "$(nproc)" --target lunoris-app

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<'MESSAGE'

Lunoris is built (build/src/lunoris), but there is no display to open its window on
(neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session, or under a virtual X server:

    apt-get install -y xvfb xauth && xvfb-run -a scripts/run.sh

MESSAGE
    exit 2
fi
exec build/src/lunoris "$@"
