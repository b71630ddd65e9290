#!/usr/bin/env bash
# Starts the program on the virtual line: a line of emulated modules published as COM1
# in a private ports directory, and tamsel2 looking at it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/demo"
line_file="${1:-$root/sim/lines/demo.line}"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_TESTS=OFF >/dev/null
targets=(kvsim linkor modtyp)
for optional in tamsel2 linkorctl; do
  if cmake --build "$build" --target help | grep -q "^$optional:"; then
    targets+=("$optional")
  fi
done
cmake --build "$build" --target "${targets[@]}" -j2

ports="$(mktemp -d /tmp/tamsel2-demo-ports.XXXXXX)"
export LINKOR_PORTS="$ports"
"$build/bin/kvsim" --ports "$ports" --com 1 "$line_file" &
sim_pid=$!
cleanup() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  rm -rf "$ports"
}
trap cleanup EXIT INT TERM

for _ in $(seq 100); do
  [ -e "$ports/COM1" ] && break
  sleep 0.1
done

if [ -x "$build/bin/tamsel2" ]; then
  cd "$build/bin"
  ./tamsel2
elif [ -x "$build/bin/linkorctl" ]; then
  echo "The virtual line is COM1 (LINKOR_PORTS=$ports). Try:"
  echo "  $build/bin/linkorctl --help"
  "$build/bin/linkorctl" scan --port COM1 || true
  echo "Press Ctrl-C to stop the virtual line."
  wait "$sim_pid"
else
  echo "The virtual line is COM1: $ports/COM1 (LINKOR_PORTS=$ports)."
  echo "Press Ctrl-C to stop it."
  wait "$sim_pid"
fi
