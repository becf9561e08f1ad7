#!/usr/bin/env bash
# Builds every fuzz target with clang and runs each for a bounded time on a
# copy of its seeds. A crash stops the run with the reproducing input kept
# in build-fuzz/crashes.
# Usage: scripts/fuzz.sh [seconds per target]
set -euo pipefail
seconds=${1:-20}
cd "$(dirname "$0")/.."
bash scripts/deps.sh clang libclang-rt-14-dev
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_BUILD_FUZZ=ON \
  -DQUILLORA_BUILD_TESTS=OFF >/dev/null
targets=()
for src in tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$src" .cpp)"); done
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
mkdir -p build-fuzz/crashes
status=0
for t in "${targets[@]}"; do
  work="build-fuzz/corpus/$t"
  rm -rf "$work"
  mkdir -p "$work"
  [ -d "tests/fuzz/corpus/$t" ] && cp -r "tests/fuzz/corpus/$t/." "$work/"
  log="build-fuzz/$t.log"
  if build-fuzz/tests/fuzz/"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/crashes/$t-" "$work" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $t: ${seconds}s, ${runs:-?} inputs, no fault"
  else
    echo "fuzz $t: FAULT, see $log"
    tail -n 30 "$log"
    status=1
  fi
done
exit $status
