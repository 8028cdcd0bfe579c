# Sourced by the bench scripts: sets $kwslay to the first of build-perf,
# build, build-tool under the source tree $src that holds bin/kwslay, or to
# PROGRAM when the script's arguments start with --kwslay PROGRAM (which are
# then shifted off by the caller: see kwslay_shift). Exits 2 when none is found.
kwslay=""
kwslay_shift=0
for d in build-perf build build-tool; do
  if [ -x "$src/$d/bin/kwslay" ]; then kwslay="$src/$d/bin/kwslay"; break; fi
done
if [ "${1:-}" = "--kwslay" ]; then kwslay=${2:-}; kwslay_shift=2; fi
[ -n "$kwslay" ] || { echo "$(basename "$0"): no kwslay found; pass --kwslay PROGRAM" >&2; exit 2; }
