#!/usr/bin/env bash
# Installs dependencies, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build_dir=${BUILD_DIR:-build/test}
jobs=${JOBS:-$(nproc)}

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_SANITIZE=ON
cmake --build "$build_dir" -j "$jobs"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j "$jobs" --timeout 300

# The plain unit tests once more, each program in a random order and twice over in one
# process: a test that leans on what another one left behind (or that leaves something
# behind) fails here. The seed of the order is printed first.
for unit in catalogue_tests comm_tests driver_tests jbus_tests project_tests; do
  echo "shuffled twice: $unit"
  "$build_dir/bin/$unit" --gtest_shuffle --gtest_repeat=2 --gtest_brief=1
done

# The layers that run threads, once more under ThreadSanitizer.
if [ -x scripts/test-tsan.sh ]; then
  scripts/test-tsan.sh
fi

# A few seconds of every fuzz target, so that a regression on hostile input shows here.
scripts/fuzz.sh "${FUZZ_SECONDS:-5}"
