#!/usr/bin/env bash
# Makes the .deb from the build tree, as "cpack --config build/CPackConfig.cmake"
# does, and checks it with lintian: no error and no warning. The info and
# pedantic tags it finds are listed.
set -euo pipefail
cpack=$1 build=$2 out=$3

if ! command -v lintian >/dev/null; then
    echo "lintian is not installed (Debian package: lintian): the package is not checked"
    exit 77
fi
rm -rf "$out"
"$cpack" --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
packages=("$out"/*.deb)
[ -f "${packages[0]}" ] || { echo "cpack made no .deb in $out"; exit 1; }
lintian --display-info --pedantic --fail-on error,warning "${packages[@]}"
echo "lintian: no error, no warning"
