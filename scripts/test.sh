#!/usr/bin/env bash
# Installs what is missing, checks the tree's format, builds, and runs every
# test: once as a normal build, a package smoke test, a short run of every
# fuzzer, and once more with AddressSanitizer and UndefinedBehaviorSanitizer. Each ctest run starts and
# stops a private print server for the printing tests (scripts/print-server.sh); the sync tests start
# their own CardDAV/CalDAV servers on 127.0.0.1. The sanitizer run leaves out the tests labelled slow
# (a thousand records through a server, a sync killed again and again): they run the same code as
# the rest, a record at a time, and take minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
scripts/format.sh --check
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
scripts/package-smoke.sh build
# A short run of every fuzzer (half a minute each; longer runs: scripts/fuzz.sh 600).
scripts/fuzz.sh "${VELMORA_FUZZ_SECONDS:-30}"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE slow
