#!/bin/sh
# Stress against time limit on a 5,000-node graph; see bench/time_limit.py.
#   bench/time_limit.sh [--kwslay PROGRAM] [--reps N]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
work=${KWPEERS_WORK:-/tmp/kwtimelimit}
mkdir -p "$work"
kwslay=""
for d in build-perf build build-tool; do
  if [ -x "$src/$d/bin/kwslay" ]; then kwslay="$src/$d/bin/kwslay"; break; fi
done
case "${1:-}" in
  --kwslay) kwslay=$2; shift 2 ;;
esac
[ -n "$kwslay" ] || { echo "time_limit.sh: no kwslay found; pass --kwslay PROGRAM" >&2; exit 2; }
${CXX:-c++} -O2 -std=c++17 -Wall -Wextra -o "$work/kwpeer_quality" "$here/peer_quality.cpp"
exec /usr/bin/python3 "$here/time_limit.py" --kwslay "$kwslay" --quality "$work/kwpeer_quality" --work "$work" "$@"
