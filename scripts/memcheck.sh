#!/usr/bin/env bash
# One valgrind memcheck run of kwslay on a graph with trees, routed edges,
# bundles (multi-edges) and loops, read from a model file with connectors
# and written as OML: any memory error or definitely lost block fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${KW_MEMCHECK_BUILD_DIR:-build}
if [ ! -x "$build/bin/kwslay" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKW_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" --target kwslay
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# The DOT input is also drawn as a picture, through Graphviz's renderer
# (measured once before the layout and rendered after it, in one process).
for run in "fuzz/corpus/model/paths.model oml" "fuzz/corpus/dot/wheel.dot oml" "fuzz/corpus/dot/wheel.dot svg"; do
  set -- $run
  valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
    --show-leak-kinds=definite --track-origins=yes --quiet --suppressions=scripts/valgrind.supp \
    "$build/bin/kwslay" layout "$1" --route-edges --quiet -o "$out/result.$2" --to "$2"
  echo "memcheck clean: kwslay layout $1 --to $2"
done
