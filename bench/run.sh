#!/usr/bin/env bash
# Builds the benchmarks (release, no sanitizers) and prints one line per figure, each
# with its target. Benchmarks are not tests: nothing here fails on a slow machine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/bench"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_TESTS=OFF >/dev/null
benches=(kv_wire_bench jbus_bench)
for optional in comm_bench scan_bench monitor_bench; do
  if cmake --build "$build" --target help | grep -q "^$optional:"; then
    benches+=("$optional")
  fi
done
cmake --build "$build" --target "${benches[@]}" -j2 >/dev/null
echo "machine: $(nproc) cores, $(uname -sr), $(date -u +%Y-%m-%d)"
for b in "${benches[@]}"; do
  "$build/bin/$b" || echo "$b: failed"
done
