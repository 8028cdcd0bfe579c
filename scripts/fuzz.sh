#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (build-fuzz), then runs each target for a fixed
# time on its seed corpus and regression inputs. Any crash, leak, timeout,
# out-of-memory or sanitizer report fails the script; the input that caused
# it is left in build-fuzz/findings/<target>/ (copy it into
# fuzz/regressions/<target>/ once the fault is fixed).
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#
# Defaults: 60 seconds, every target (oml model dot graphml layout).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(oml model dot graphml layout)
build=${KW_FUZZ_BUILD_DIR:-build-fuzz}

bash scripts/deps.sh
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKW_BUILD_FUZZ=ON -DKW_SANITIZE=ON -DKW_BUILD_TESTS=OFF -DKW_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_targets

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
# Memory the renderer and font libraries keep for the whole process is not ours.
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  findings="$build/findings/$t"
  mkdir -p "$corpus" "$findings"
  # The seeds and regression inputs are read, never written: new inputs go
  # to the build directory's own corpus.
  echo "== fuzz_$t: $seconds s"
  # A target without findings has no regression folder (git keeps no empty ones).
  seeds=("fuzz/corpus/$t")
  [ -d "fuzz/regressions/$t" ] && seeds+=("fuzz/regressions/$t")
  if ! "$build/bin/fuzz_$t" "$corpus" "${seeds[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -artifact_prefix="$findings/" -print_final_stats=1 2>"$build/fuzz_$t.log"; then
    status=1
    echo "fuzz_$t FAILED; the input is in $findings/:"
    ls -l "$findings"
    grep -E "ERROR|invariant broken|runtime error|Timeout|out-of-memory|leak" "$build/fuzz_$t.log" | head -20 || true
  fi
  grep -E "^stat::number_of_executed_units|^stat::new_units_added|^stat::peak_rss_mb|cov: " "$build/fuzz_$t.log" | tail -4 || true
done
exit $status
