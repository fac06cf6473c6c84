#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) in
# build/fuzz and runs each for SECONDS (default 60), two at a time, on a copy
# of its seed corpus under build/fuzz/runs. Prints executions, coverage and
# any crash reproducer per target; exits 1 when any target failed.
# Usage: tools/fuzz.sh [SECONDS] [target...]
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
[ $# -gt 0 ] && shift
BUILD=build/fuzz
CXX_FUZZ=${CXX_FUZZ:-clang++-14}
RSS_MB=${RSS_MB:-2048}

cmake -S . -B "$BUILD" -DQUILLREEL_FUZZ=ON -DCMAKE_CXX_COMPILER="$CXX_FUZZ" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target fuzz_targets -j2 >/dev/null

TARGETS=${*:-$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')}

# One target: a work corpus seeded from the repository, a log, a crash folder.
run_one() {
  name=$1
  work=$BUILD/runs/$name
  mkdir -p "$work/corpus" "$work/crashes"
  [ -d "fuzz/corpus/$name" ] && cp -n fuzz/corpus/"$name"/* "$work/corpus/" 2>/dev/null || true
  set +e
  "$BUILD/bin/$name" "$work/corpus" -max_total_time="$SECONDS_EACH" -rss_limit_mb="$RSS_MB" \
    -artifact_prefix="$work/crashes/" -print_final_stats=1 >"$work/log" 2>&1
  echo $? >"$work/rc"
  set -e
}

# Two targets at a time: the machine is shared.
set -- $TARGETS
while [ $# -gt 0 ]; do
  run_one "$1" &
  first=$!
  if [ $# -gt 1 ]; then run_one "$2" & second=$!; shift; else second=; fi
  shift
  wait $first
  [ -n "$second" ] && wait $second
done

failed=0
printf '%-20s %5s %12s %8s %8s %8s  %s\n' target rc executions cov ft corpus result
for name in $TARGETS; do
  work=$BUILD/runs/$name
  rc=$(cat "$work/rc")
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n1)
  last=$(grep -E '^#[0-9]+' "$work/log" | tail -n1)
  cov=$(echo "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
  ft=$(echo "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
  corpus=$(ls "$work/corpus" | wc -l)
  crash=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$work/log" | tail -n1)
  if [ "$rc" = 0 ] && ! grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$work/log"; then
    result=ok
  else
    result="FAILED ${crash:-see $work/log}"
    failed=1
  fi
  printf '%-20s %5s %12s %8s %8s %8s  %s\n' "$name" "$rc" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$corpus" "$result"
done
exit $failed
