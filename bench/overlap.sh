#!/bin/sh
# Overlapping node boxes and normalized stress of kwslay's drawings of the
# real graphs in a corpus (DOT and GraphML files), with --overlap=keep and
# --overlap=remove; prints a Markdown table on standard output.
#
#   bench/overlap.sh [--kwslay PROGRAM] [CORPUS]
#
# CORPUS defaults to /work/shared/corpus. Files kwslay
# refuses (invalid on purpose, say) are listed as refused.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
. "$here/find_kwslay.sh"
shift "$kwslay_shift"
corpus=${1:-/work/shared/corpus}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
quality="/usr/bin/python3 $here/overlap_quality.py"

echo "| file | nodes | pairs keep | pairs remove | stress keep | stress remove | change |"
echo "|---|---:|---:|---:|---:|---:|---:|"
files=0; refused=0; left=0; sum=0
for f in $(find "$corpus" -type f \( -name '*.gv' -o -name '*.dot' -o -name '*.graphml' \) | sort); do
  name=${f#"$corpus"/}
  if ! "$kwslay" layout "$f" -o "$work/keep.json" --overlap=keep --quiet 2>/dev/null ||
     ! "$kwslay" layout "$f" -o "$work/remove.json" --overlap=remove --quiet 2>/dev/null; then
    echo "| $name | refused | | | | | |"; refused=$((refused + 1)); continue
  fi
  n=$(/usr/bin/python3 -c "import json,sys; print(len(json.load(open(sys.argv[1]))['nodes']))" "$work/keep.json")
  set -- $($quality "$work/keep.json") $($quality "$work/remove.json")
  change=$(/usr/bin/python3 -c "import sys; a,b=float(sys.argv[1]),float(sys.argv[2]); print('%+.1f %%' % (100*(b-a)/a) if a>0 else '')" "$2" "$4")
  echo "| $name | $n | $1 | $3 | $2 | $4 | $change |"
  files=$((files + 1)); [ "$3" -eq 0 ] || left=$((left + 1))
  sum=$(/usr/bin/python3 -c "import sys; a,b,s=float(sys.argv[1]),float(sys.argv[2]),float(sys.argv[3]); print(s+((b-a)/a if a>0 else 0.0))" "$2" "$4" "$sum")
done
/usr/bin/python3 -c "import sys; print('\n%s files laid out, %s refused; files with overlaps left after remove: %s; mean stress change %+.1f %%' % (sys.argv[1], sys.argv[2], sys.argv[3], 100*float(sys.argv[4])/max(1,int(sys.argv[1]))))" "$files" "$refused" "$left" "$sum"
