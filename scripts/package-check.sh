#!/usr/bin/env bash
# Builds the Debian package and checks it without installing it: the files it holds, the
# desktop entry, the man pages, and that the unpacked programs find their libraries and
# the unpacked driver.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TAMSEL_PACKAGE_BUILD:-$root/build/pkg}"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target package

# The newest, should an older version's package still be there. (No "| head": with
# pipefail, a writer cut off early would count as a failure.)
packages="$(ls -t "$build"/tamsel2_*.deb)"
package="${packages%%$'\n'*}"
scratch="$(mktemp -d /tmp/tamsel2-package-check.XXXXXX)"
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT INT TERM

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

unpacked="$scratch/root"
dpkg -x "$package" "$unpacked"

# The files an installation must have.
expected=(
  usr/bin/tamsel2 usr/bin/linkorctl usr/bin/kvsim
  usr/lib/tamsel2/liblinkor.so usr/lib/tamsel2/libmodtyp.so
  usr/lib/tamsel2/tools/1450tools.so
  usr/share/tamsel2/tm2cmde.txt usr/share/tamsel2/template/tamsel2.ktp
  usr/share/tamsel2/help/Tamsel2.html usr/share/tamsel2/datafile/DVRX.t2v
  usr/share/tamsel2/lines/demo.line
  usr/share/applications/tamsel2.desktop
  usr/share/icons/hicolor/scalable/apps/tamsel2.svg
  usr/share/man/man1/tamsel2.1.gz usr/share/man/man1/linkorctl.1.gz
  usr/share/man/man1/kvsim.1.gz
  etc/xdg/Korvel/LINKOR.conf
)
for file in "${expected[@]}"; do
  [ -f "$unpacked/$file" ] || fail "the package lacks /$file"
done
# Nothing outside the places a package may use.
while IFS= read -r path; do
  case "$path" in
    ./ | ./etc/* | ./etc/ | ./usr/ | ./usr/bin/* | ./usr/lib/ | ./usr/lib/tamsel2/* | \
    ./usr/share/ | ./usr/share/tamsel2/* | ./usr/share/applications/* | \
    ./usr/share/icons/* | ./usr/share/man/*) ;;
    *) fail "unexpected path in the package: $path" ;;
  esac
done < <(dpkg-deb --fsys-tarfile "$package" | tar -t)
pass "file list"

depends="$(dpkg-deb -f "$package" Depends)"
grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks the Qt libraries: $depends"
if apt-get -s install "$package" >/dev/null 2>&1; then
  pass "apt-get can install it and its dependencies (simulated)"
else
  fail "apt-get cannot resolve the package's dependencies"
fi

if desktop-file-validate "$unpacked/usr/share/applications/tamsel2.desktop"; then
  pass "desktop entry"
else
  fail "desktop-file-validate refuses the desktop entry"
fi

for page in tamsel2 linkorctl kvsim; do
  warnings="$(MANWIDTH=80 man --warnings -l "$unpacked/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)" \
    || fail "man cannot render $page.1"
  [ -z "$warnings" ] || fail "man warns about $page.1: $warnings"
done
pass "man pages"

# The unpacked programs find the unpacked libraries through their RPATH.
for program in tamsel2 linkorctl kvsim; do
  libraries="$(ldd "$unpacked/usr/bin/$program")"
  if grep -q 'not found' <<<"$libraries"; then
    fail "$program lacks libraries: $(grep 'not found' <<<"$libraries")"
  fi
done
linkorctl="$unpacked/usr/bin/linkorctl"
"$linkorctl" --help >/dev/null || fail "linkorctl --help"
"$unpacked/usr/bin/kvsim" --help >/dev/null || fail "kvsim --help"
types="$(cd / && "$linkorctl" --driver "$unpacked/usr/lib/tamsel2" types)" || fail "linkorctl types"
grep -qx TRILO <<<"$types" || fail "linkorctl types through the unpacked driver lists no TRILO"

# The shipped "localize" setting names the folder the package puts the driver in; moved
# under the scratch root, it leads linkorctl there.
localize="$(sed -n 's/^localize=//p' "$unpacked/etc/xdg/Korvel/LINKOR.conf")"
[ -f "$unpacked$localize/liblinkor.so" ] || fail "localize=$localize holds no liblinkor.so"
mkdir -p "$scratch/xdg/Korvel"
printf '[General]\nlocalize=%s\n' "$unpacked$localize" >"$scratch/xdg/Korvel/LINKOR.conf"
types="$(cd / && XDG_CONFIG_DIRS="$scratch/xdg" "$linkorctl" types)" || true
grep -qx TRILO <<<"$types" || fail "linkorctl does not find the driver through the localize setting"
pass "linkorctl finds the unpacked driver"

# Started outside any folder of its own, tamsel2 fills a per-user working directory.
work="$scratch/data/tamsel2"
# exec: the process to stop at the end is tamsel2 itself, not a shell around it.
(cd "$scratch" && HOME="$scratch/home" XDG_DATA_HOME="$scratch/data" \
  QT_QPA_PLATFORM=offscreen XDG_CONFIG_DIRS="$scratch/xdg" \
  exec "$unpacked/usr/bin/tamsel2" >"$scratch/tamsel2.log" 2>&1) &
app_pid=$!
for _ in $(seq 300); do
  [ -f "$work/template/tamsel2.ktp" ] && [ -L "$work/help" ] && [ -L "$work/liblinkor.so" ] && break
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -f "$work/template/tamsel2.ktp" ] && [ -f "$work/tm2cmde.txt" ] && [ -f "$work/help/Tamsel2.html" ] \
  && [ -f "$work/liblinkor.so" ]; then
  pass "tamsel2 made its working directory $work"
else
  fail "tamsel2 made no working directory: $(cat "$scratch/tamsel2.log")"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed for $package" >&2
  exit 1
fi
echo "$package passed every check"
