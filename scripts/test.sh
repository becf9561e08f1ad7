#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# Every parser of outside input under the fuzzer, for a bounded time each.
bash scripts/fuzz.sh "${QUILLORA_FUZZ_SECONDS:-20}"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_BUILD_TESTS=ON
cmake --build build-test -j"$(nproc)"
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
cd ..
# Once more with AddressSanitizer and UndefinedBehaviorSanitizer, leaks included.
bash scripts/sanitize.sh
