#!/bin/sh
# Stress against time limit on a 5,000-node graph; see bench/time_limit.py.
#   bench/time_limit.sh [--kwslay PROGRAM] [--reps N]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
work=${KWPEERS_WORK:-/tmp/kwtimelimit}
mkdir -p "$work"
. "$here/find_kwslay.sh"
shift "$kwslay_shift"
${CXX:-c++} -O2 -std=c++17 -Wall -Wextra -o "$work/kwpeer_quality" "$here/peer_quality.cpp"
exec /usr/bin/python3 "$here/time_limit.py" --kwslay "$kwslay" --quality "$work/kwpeer_quality" --work "$work" "$@"
