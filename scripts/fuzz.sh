#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 60) from its seed corpus, one per core at a time. A
# finding fails the run and leaves its input in build-fuzz/findings/.
# Usage: scripts/fuzz.sh [seconds per target] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"; shift || true
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_CXX_COMPILER=clang++-14 -DVELMORA_FUZZ=ON -DBUILD_TESTING=OFF -DVELMORA_BENCH=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(grep -ho 'velmora_add_fuzzer(fuzz_[a-z_]*' fuzz/CMakeLists.txt fuzz/*.cmake 2>/dev/null | sed 's/.*(//')
fi
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
mkdir -p build-fuzz/findings
# One fuzzer per core at a time; each keeps its output in a log of its own.
run_one() {
  local t="$1"
  # A fresh corpus from the committed seeds and a fixed seed, so a run here
  # walks the same inputs as a run anywhere else.
  local corpus="build-fuzz/corpus/${t#fuzz_}"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp fuzz/corpus/"${t#fuzz_}"/* "$corpus"/ 2>/dev/null || true
  ASAN_OPTIONS=detect_leaks=0 build-fuzz/fuzz/"$t" -max_total_time="$seconds" -seed=1 -rss_limit_mb=4096 \
    -artifact_prefix=build-fuzz/findings/"$t"- "$corpus" >build-fuzz/"$t".log 2>&1
}
mkdir -p build-fuzz
failed=()
cores="$(nproc)"
for ((first = 0; first < ${#targets[@]}; first += cores)); do
  batch=("${targets[@]:first:cores}")
  pids=()
  for t in "${batch[@]}"; do
    echo "== $t: ${seconds}s"
    run_one "$t" &
    pids+=($!)
  done
  for i in "${!batch[@]}"; do
    if ! wait "${pids[$i]}"; then failed+=("${batch[$i]}"); fi
    echo "== ${batch[$i]}"; tail -n 3 build-fuzz/"${batch[$i]}".log
  done
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing: a finding in ${failed[*]} (inputs in build-fuzz/findings/)"
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets ran without a finding"
