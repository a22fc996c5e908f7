#!/usr/bin/env bash
# Configures and builds the project into build/ (Release): everything, or
# only the targets named (./run.sh names the program: a quicker build that
# leaves the tests out).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" ${targets[@]+"${targets[@]}"}
