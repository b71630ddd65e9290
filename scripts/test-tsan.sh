#!/usr/bin/env bash
# Builds the communication layer's tests with ThreadSanitizer and runs them: the poll
# thread and the user-interface thread share the line, the poll table and the records.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build/tsan}
jobs=${JOBS:-$(nproc)}

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_SANITIZE=OFF \
    -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
    -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread
cmake --build "$build_dir" -j "$jobs" --target comm_tests comm_e2e_tests

export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
ctest --test-dir "$build_dir" -R '^comm\.' --output-on-failure -j "$jobs" --timeout 300
