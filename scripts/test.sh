#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test: unit, widget, real-engine, X11 (each X11 test starts its own Xvfb) and
# Wayland (each case starts its own headless sway; as root, sway runs as a user made for it).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --test
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVALE_SANITIZE=ON \
    >/dev/null
cmake --build build-asan -j "$(nproc)"
# The optimised build of the run command too: GCC warns differently at -O3, and warnings are errors.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVALE_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target quorvale

# A leak fails the test that leaked; the suppressions (set per test by CMake) cover only the
# process-lifetime caches of the libraries underneath.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
