#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
# No layer may use one above it; checked before anything is built.
./scripts/check-layers.sh
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
# A private runtime folder, as a desktop session would have (mode 700).
XDG_RUNTIME_DIR="$(mktemp -d)"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 300
