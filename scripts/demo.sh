#!/usr/bin/env bash
# Installs what is missing, builds, and lays out the built-in example graph
# (a graph with symmetry, trees, a multi-edge and a loop) into demo.svg.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKW_BUILD_TESTS=OFF -DKW_BUILD_BENCH=OFF
cmake --build build
if [ -x build/bin/kwslay ]; then
  build/bin/kwslay demo -o demo.svg
else
  build/bin/kwsexample
fi
