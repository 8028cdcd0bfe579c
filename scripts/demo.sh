#!/usr/bin/env bash
# Installs what is missing, builds the tool, and lays out the built-in example
# graph (a graph with symmetry, trees, a multi-edge and a loop) into demo.svg.
# Builds only what the demo needs; the folder stays usable for scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKW_BUILD_TOOLS=ON
cmake --build build --target kwslay kwvrsl40
build/bin/kwslay demo -o demo.svg
echo "wrote $(pwd)/demo.svg"
