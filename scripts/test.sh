#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once as released,
# once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test --parallel "$jobs"
(cd build-test && ctest --output-on-failure --parallel "$jobs")

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DLUNORIS_SANITIZE=ON -DLUNORIS_BUILD_BENCH=OFF
cmake --build build-sanitize --parallel "$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-sanitize && ctest --output-on-failure --parallel "$jobs")
