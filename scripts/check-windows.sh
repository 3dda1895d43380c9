#!/usr/bin/env bash
# Checks the Windows build on this machine from what Debian provides (make check-windows):
#
#   1. the packages: mingw-w64, Wine, NSIS, Xvfb (scripts/install-deps.sh windows)
#   2. the static Qt for Windows, built once and kept in ~/.cache/zorvik (scripts/windows-qt.sh)
#   3. make windows: zorvik.exe and the suite
#   4. a Wine prefix of its own, with Liberation Sans standing in for Arial
#   5. every suite under Wine, offscreen
#   6. make package-windows: the installer and the portable .zip
#   7. the installer run silently in the prefix, which puts zorvik.exe under Program Files
#   8. the installed zorvik.exe started under Xvfb with the windows platform, until its main
#      window "Zorvik v1.0" shows
#
# Each step prints its time; the last line is "windows ok", or names the step that failed. The
# steps' output goes to WINDOWS_BUILD/check-windows/ (WINDOWS_BUILD is build-windows).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/${WINDOWS_BUILD:-build-windows}"
logs="$build/check-windows"
version=1.0

# Debian 12 keeps the 64-bit loader out of PATH.
find_wine() {
  local candidate
  for candidate in wine64 /usr/lib/wine/wine64 wine /usr/lib/wine/wine; do
    if command -v "$candidate" >/dev/null; then
      command -v "$candidate"
      return
    fi
  done
  return 1
}

# Its server lies beside the loader.
find_wineserver() {
  local server
  server="$(dirname "$(find_wine)")/wineserver"
  if [ -x "$server" ]; then
    echo "$server"
  else
    command -v wineserver
  fi
}

# The part run inside Xvfb: starts the program and waits for its main window.
if [ "${1:-}" = --start-program ]; then
  exe="$2"
  "$(find_wine)" "$exe" &
  program=$!
  status=1
  for _ in $(seq 1 60); do
    if xdotool search --onlyvisible --name '^Zorvik v1\.0$' >/dev/null 2>&1; then
      status=0
      break
    fi
    if ! kill -0 "$program" 2>/dev/null; then
      echo "the program ended before its window showed" >&2
      break
    fi
    sleep 1
  done
  if [ "$status" -eq 0 ]; then
    echo "window: $(xdotool search --onlyvisible --name '^Zorvik v1\.0$' getwindowname | head -n 1)"
    import -window root "$logs/started.png" 2>/dev/null || true
  fi
  kill "$program" 2>/dev/null || true
  "$(find_wineserver)" -k 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  exit "$status"
fi

mkdir -p "$logs"
started_all=$(date +%s)

format_time() {
  printf '%d min %02d s' $(($1 / 60)) $(($1 % 60))
}

# step NAME COMMAND...: runs the command with its output in NAME.log, and prints its time.
step() {
  local name="$1"
  shift
  local started=$(date +%s)
  printf '%-12s ' "$name"
  if "$@" >"$logs/$name.log" 2>&1; then
    echo "$(format_time $(($(date +%s) - started)))"
  else
    echo "FAILED after $(format_time $(($(date +%s) - started)))"
    tail -n 30 "$logs/$name.log"
    echo "windows failed: $name (the whole log is $logs/$name.log)"
    exit 1
  fi
}

export WINEPREFIX="$build/wine"
export WINEDEBUG=-all
# No offer to install Wine's .NET and HTML engines in the new prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

make_prefix() {
  local wine
  wine="$(find_wine)"
  rm -rf "$WINEPREFIX"
  "$wine" wineboot --init
  "$(find_wineserver)" -w
  "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
    /d 'Liberation Sans' /f
  "$(find_wineserver)" -w
}

run_suites() {
  ctest --test-dir "$build" --output-on-failure -V -j 2
}

# "16 of 16 suites passed, 472 cases passed, 1 skipped"
suite_counts() {
  local log="$logs/suites.log"
  grep -E '[0-9]+% tests passed' "$log" | sed -E 's/.*passed, ([0-9]+) tests failed out of ([0-9]+)/\2 \1/' |
    awk '{printf "%d of %d suites passed", $1 - $2, $1}'
  grep -E '^[0-9]+: Totals: ' "$log" |
    awk '{passed += $3; failed += $5; skipped += $7}
         END {printf ", %d cases passed, %d failed, %d skipped\n", passed, failed, skipped}'
}

install_program() {
  local wine installed
  wine="$(find_wine)"
  "$wine" "$build/zorvik-$version-win64.exe" /S
  "$(find_wineserver)" -w
  installed="$WINEPREFIX/drive_c/Program Files/Zorvik"
  ls -l "$installed" "$installed/bin"
  [ -f "$installed/bin/zorvik.exe" ] && [ -f "$installed/Uninstall.exe" ]
}

start_program() {
  xvfb-run -a -s '-screen 0 1280x1024x24' "$root/scripts/check-windows.sh" --start-program 'C:\Program Files\Zorvik\bin\zorvik.exe'
}

step packages "$root/scripts/install-deps.sh" windows
step qt "$root/scripts/windows-qt.sh"
step build make -C "$root" windows WINDOWS_BUILD="$build"
step prefix make_prefix
step suites run_suites
echo "             $(suite_counts)"
step package make -C "$root" package-windows WINDOWS_BUILD="$build"
step install install_program
step start start_program
grep '^window:' "$logs/start.log" | sed 's/^/             /'
echo "all          $(format_time $(($(date +%s) - started_all)))"
echo "windows ok"
