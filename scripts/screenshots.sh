#!/usr/bin/env bash
# Pictures for the README: every module window of the picture table, opened offscreen by
# the program's shell on the virtual line of sim/lines/demo.line, and the widget gallery.
# Writes docs/screenshots/*.png. A build directory may be given (default build/screenshots).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/screenshots}"
out="$root/docs/screenshots"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target tamsel_screenshots widget_gallery -j2

export QT_QPA_PLATFORM=offscreen
# The pictures do not depend on leaks found at exit in a sanitized build.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
mkdir -p "$out"
"$build/bin/tamsel_screenshots" "$root/sim/lines/demo.line" "$out"
"$build/bin/widget_gallery" --screenshot "$out/widgets.png"
echo "$out/widgets.png"
