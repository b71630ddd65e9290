#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a bounded time.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     default: 600 seconds, every target
# The seeds in fuzz/corpus/<target> are read; what a run learns goes to
# build/fuzz/corpus/<target>, so the seeds stay as they are.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-600}"
shift || true
build="$root/build/fuzz"

CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_FUZZ=ON -DTAMSEL_TESTS=OFF >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in "$root"/fuzz/corpus/*/; do
    targets+=("$(basename "$seeds")_fuzz")
  done
fi
cmake --build "$build" --target "${targets[@]}" -j2

# The libraries share the sanitizer runtime as a library of its own, loaded after the
# program's first libraries.
export ASAN_OPTIONS="verify_asan_link_order=0:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for target in "${targets[@]}"; do
  name="${target%_fuzz}"
  work="$build/corpus/$name"
  mkdir -p "$work" "$build/findings"
  log="$build/$name.log"
  if "$build/bin/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
      -artifact_prefix="$build/findings/$name-" "$work" "$root/fuzz/corpus/$name" \
      >"$log" 2>&1; then
    summary="$(grep -E 'DONE' "$log" | tail -1 || true)"
    echo "fuzz $name: ${summary:-no summary} (${seconds}s)"
  else
    echo "fuzz $name: FINDING, see $log and $build/findings/"
    tail -40 "$log"
    status=1
  fi
done
exit $status
