#!/usr/bin/env bash
# Copies the shipped files into a staging folder for the package, with their names in
# UTF-8: the program names its files in Windows-1252, which CMake and CPack cannot carry,
# and the working directory's copy turns them back.
set -euo pipefail
from="$1"
to="$2"
rm -rf "$to"
mkdir -p "$to"
cd "$from"
find . -type f -print0 | while IFS= read -r -d '' file; do
  name="$(printf '%s' "$file" | iconv -f WINDOWS-1252 -t UTF-8)"
  mkdir -p "$to/$(dirname "$name")"
  cp -p "$file" "$to/$name"
done
