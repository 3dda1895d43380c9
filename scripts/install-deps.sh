#!/usr/bin/env bash
# Installs the Debian packages one kind of work needs, and nothing when they are all present
# already. The package names exist on Debian 12 and Debian 13 alike; no compiler version is
# written here, so each release brings its own.
#
#   scripts/install-deps.sh run        build and start the editor (make run)
#   scripts/install-deps.sh test       the above, the sanitizer pass and the fuzz corpora
#   scripts/install-deps.sh fuzz       the fuzz targets (make fuzz)
#   scripts/install-deps.sh bench      the benchmarks (make bench)
#   scripts/install-deps.sh package    the .deb (make package)
#   scripts/install-deps.sh windows    the Windows build, its suite under Wine and its installer
#                                      (make windows, make package-windows, make check-windows)
#
# Several kinds may be named at once.
set -euo pipefail

# The build, with libjpeg-turbo, which the loader decodes JPEGs with directly; besides the
# build, Qt's Wayland platform, and the keepers that hold the copied map on the
# clipboard once the editor has ended (xclip on X11, wl-copy on Wayland).
run=(
  g++ make cmake ninja-build pkgconf
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-image-formats-plugins
  libgl-dev libxcb1-dev libjpeg-dev fonts-liberation fontconfig
  qt6-wayland xclip wl-clipboard
)
# libFuzzer and its sanitizers come with clang's runtime; the tests read the markup back
# with a real HTML5 parser.
fuzz=(clang libclang-rt-dev libgumbo-dev)
# The number text must not follow a locale with a decimal comma; Finnish has one. The
# accessibility suite turns Qt's accessibility on as a screen reader does, through the platform
# layer's headers.
test_only=(locales qt6-base-private-dev)
package=(dpkg-dev file)
# The cross compilers with C++11 threads, Wine to run the suite and the program, NSIS for the
# installer, and an X server with the tools that drive the program's window.
windows=(
  g++-mingw-w64-x86-64-posix wine64 nsis zip dpkg-dev ca-certificates
  xvfb xauth xdotool xclip x11-utils imagemagick
)

[ $# -gt 0 ] || set -- run

packages=()
want_locale=0
for kind in "$@"; do
  case "$kind" in
    run) packages+=("${run[@]}") ;;
    test) packages+=("${run[@]}" "${fuzz[@]}" "${test_only[@]}"); want_locale=1 ;;
    fuzz) packages+=("${run[@]}" "${fuzz[@]}") ;;
    bench) packages+=("${run[@]}") ;;
    package) packages+=("${run[@]}" "${package[@]}") ;;
    windows) packages+=("${run[@]}" "${windows[@]}") ;;
    *) echo "usage: $0 [run|test|fuzz|bench|package|windows]..." >&2; exit 2 ;;
  esac
done

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# shellcheck disable=SC2207 # package names have no spaces
missing=($(printf '%s\n' "${missing[@]}" | sort -u))

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # A fresh machine has no package lists yet; refresh them once before installing.
  if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
  fi
fi

if [ "$want_locale" -eq 1 ] && ! locale -a 2>/dev/null | grep -qx 'fi_FI\.utf8'; then
  echo "Generating the locale fi_FI.UTF-8"
  "${sudo[@]}" localedef -i fi_FI -c -f UTF-8 -A /usr/share/locale/locale.alias fi_FI.UTF-8
fi
