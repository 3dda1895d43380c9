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
#   9. a map drawn there with the pointer, from "Uusi" to the clipboard, whose SRC is the
#      picture's path with a drive letter and backslashes
#
# Each step prints its time; the last line is "windows ok", or names the step that failed. The
# steps' output goes to WINDOWS_BUILD/check-windows/ (WINDOWS_BUILD is build-windows); the
# virtual screen is WINDOWS_DISPLAY, or a free one drawn above :100.
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

# The part run inside Xvfb that draws a map as a user would: "Uusi", the map's name, the chooser,
# kaupunki.jpg of examples/, "O.K", one rectangle dragged with the pointer, the area's "O.K",
# "Luo koodi" and "Kopioi koodi leikepöydälle"; then it reads the clipboard. The program runs in
# a Wine desktop of its own, which places and activates its windows as Windows does (with no
# window manager on the X server, Wine's windows take no clicks reliably). The pointer goes to
# the controls' places in the windows' client areas, in pixels at 96 dots per inch.
if [ "${1:-}" = --draw-map ]; then
  exe="$2"
  cd "$root/examples"
  "$(find_wine)" explorer /desktop=zorvik,1280x1024 "$exe" &
  program=$!
  stop() {
    kill "$program" 2>/dev/null || true
    "$(find_wineserver)" -k 2>/dev/null || true
    wait "$program" 2>/dev/null || true
  }
  trap stop EXIT

  # window TITLE: waits until a window of that title shows, and prints its id.
  window() {
    local id
    for _ in $(seq 1 60); do
      id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)"
      if [ -n "$id" ]; then
        echo "$id"
        return
      fi
      sleep 0.5
    done
    echo "no window $1" >&2
    return 1
  }
  gone() {
    for _ in $(seq 1 60); do
      xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
      sleep 0.5
    done
    echo "the window $1 stayed" >&2
    return 1
  }
  # client ID WIDTH HEIGHT: the top left corner of a window's client area of that size, inside
  # the frame Wine draws around it: borders alike on three sides, the title bar on top.
  # xdotool counts the place of a window inside Wine's desktop twice; xwininfo does not.
  client() {
    local info x y w h border
    info="$(xwininfo -id "$1")"
    x=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
    w=$(sed -n 's/^ *Width: *//p' <<<"$info")
    h=$(sed -n 's/^ *Height: *//p' <<<"$info")
    border=$(((w - $2) / 2))
    echo "$((x + border)) $((y + h - $3 - border))"
  }
  click() {
    xdotool mousemove "$1" "$2"
    sleep 0.3
    xdotool mousedown 1
    sleep 0.15
    xdotool mouseup 1
    sleep 0.8
  }

  # shown X Y TITLE: clicks until a window of that title shows; the program may still be busy
  # starting when its main window first shows.
  shown() {
    for _ in 1 2 3 4 5; do
      click "$1" "$2"
      for _ in 1 2 3 4; do
        xdotool search --onlyvisible --name "$3" >/dev/null 2>&1 && return 0
        sleep 0.5
      done
    done
    echo "no window $3" >&2
    return 1
  }

  read -r mx my < <(client "$(window '^Zorvik v1\.0$')" 582 474)
  shown $((mx + 524)) $((my + 41)) '^Uusi$'
  read -r nx ny < <(client "$(window '^Uusi$')" 217 118)
  xdotool type --delay 50 kaupunki
  shown $((nx + 187)) $((ny + 77)) '^Valitse kuvatiedosto$'
  read -r cx cy < <(client "$(window '^Valitse kuvatiedosto$')" 401 358)
  click $((cx + 233)) $((cy + 53))
  click $((cx + 56)) $((cy + 336))
  gone '^Valitse kuvatiedosto$'
  click $((nx + 35)) $((ny + 104))
  gone '^Uusi$'
  xdotool mousemove $((mx + 51)) $((my + 44))
  sleep 0.3
  xdotool mousedown 1
  for step in $(seq 1 10); do
    xdotool mousemove $((mx + 51 + step * 15)) $((my + 44 + step * 8))
    sleep 0.08
  done
  sleep 0.3
  import -window root "$logs/rubber-band.png" 2>/dev/null || true
  xdotool mouseup 1
  read -r ox oy < <(client "$(window '^Options$')" 146 200)
  click $((ox + 35)) $((oy + 184))
  gone '^Options$'
  click $((mx + 524)) $((my + 72))
  click $((mx + 524)) $((my + 109))
  import -window root "$logs/copied.png" 2>/dev/null || true
  markup="$(xclip -o -selection clipboard)"
  echo "markup: $markup"
  # The picture's path as the chooser wrote it: a drive letter and backslashes.
  grep -Eq '^<IMG SRC="[A-Z]:\\([^"\\/]+\\)+kaupunki\.jpg" USEMAP="#kaupunki"' <<<"$markup"
  grep -q '<AREA SHAPE="RECT" COORDS="[0-9]*,[0-9]*,[0-9]*,[0-9]*" HREF=' <<<"$markup"
  exit 0
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

# The virtual screen's number is WINDOWS_DISPLAY, or the first free one from a number drawn
# above 100: xvfb-run finds the numbers in use by their lock files, which an X server of another
# system on this machine (scripts/check-release.sh) keeps apart, while it shares the names of
# their sockets.
display=${WINDOWS_DISPLAY:-$((100 + RANDOM % 800))}

draw_map() {
  xvfb-run -a -n "$display" -s '-screen 0 1280x1024x24' \
    "$root/scripts/check-windows.sh" --draw-map 'C:\Program Files\Zorvik\bin\zorvik.exe'
}

start_program() {
  xvfb-run -a -n "$display" -s '-screen 0 1280x1024x24' \
    "$root/scripts/check-windows.sh" --start-program 'C:\Program Files\Zorvik\bin\zorvik.exe'
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
step draw draw_map
grep -o 'SRC="[^"]*"' "$logs/draw.log" | sed 's/^/             /'
echo "all          $(format_time $(($(date +%s) - started_all)))"
echo "windows ok"
