#!/usr/bin/env bash
# Installs what is missing, builds the release and starts Quorvale.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVALE_BUILD_TESTS=OFF >/dev/null
cmake --build build --target quorvale
exec build/bin/quorvale "$@"
