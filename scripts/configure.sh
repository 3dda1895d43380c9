#!/usr/bin/env bash
# Configures a build folder with Ninja: scripts/configure.sh FOLDER [cmake options...]
# The source folder is the project, or the one given with -S. A folder configured earlier with
# another generator is configured afresh, since CMake refuses to change it in place.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"
shift
source="$root"
options=()
while [ $# -gt 0 ]; do
  if [ "$1" = -S ]; then
    source="$2"
    shift 2
  else
    options+=("$1")
    shift
  fi
done

cache="$build/CMakeCache.txt"
if [ -f "$cache" ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$cache"; then
  rm -rf "$cache" "$build/CMakeFiles"
fi
cmake -S "$source" -B "$build" -G Ninja "${options[@]}"
