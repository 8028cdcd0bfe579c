#!/bin/sh
# Side-by-side benchmark of kwslay against Graphviz neato (Kamada-Kawai and
# stress majorization) and igraph's Kamada-Kawai on the same graphs.
#
#   bench/peers.sh [--kwslay PROGRAM] [peers.py options…]
#
# kwslay defaults to the first of build-perf, build, build-tool under the
# source tree that holds bin/kwslay. Other options go to bench/peers.py (see
# bench/peers.py --help), for example
#   bench/peers.sh --reps 5 --graphs grid10,sparse1000
#   bench/peers.sh --variant "kwslay-old=/tmp/old/bin/kwslay"
#   bench/peers.sh --variant "kwslay-t0.2=build/bin/kwslay:--set terminationValue=0.2"
# Needs Graphviz (neato), python3-igraph and a C++ compiler; prints a Markdown
# table on standard output.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
work=${KWPEERS_WORK:-/tmp/kwpeers}
mkdir -p "$work"

. "$here/find_kwslay.sh"
shift "$kwslay_shift"
command -v neato >/dev/null || { echo "peers.sh: neato not found (apt-get install graphviz)" >&2; exit 2; }
py=/usr/bin/python3
"$py" -c "import igraph" 2>/dev/null || { echo "peers.sh: $py has no igraph (apt-get install python3-igraph)" >&2; exit 2; }

# The quality measure is a small standalone program.
${CXX:-c++} -O2 -std=c++17 -Wall -Wextra -o "$work/kwpeer_quality" "$here/peer_quality.cpp"

exec "$py" "$here/peers.py" --kwslay "$kwslay" --quality "$work/kwpeer_quality" --python "$py" --work "$work" "$@"
