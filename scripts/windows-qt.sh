#!/usr/bin/env bash
# Builds the static Qt for 64-bit Windows that make windows links against, and keeps it outside
# the clone so that every later build reuses it:
#
#   scripts/windows-qt.sh            prints the folder of the Qt, building it first if need be
#
# The source is Debian's own qt6-base package of the same version as the host Qt installed
# here, whose moc, rcc and uic a cross build runs. apt fetches it through a configuration of
# its own in the cache folder, so that the system's package sources stay as they are; each file
# is checked against the checksums of the .dsc. Only Core, Gui, Widgets and Test are built, with
# Qt's bundled image, font and text libraries, so that a program linked against it needs no DLL
# beside it. It takes about twenty minutes on two cores.
#
# ZORVIK_CACHE (default ~/.cache/zorvik) is where the source and the Qt are kept; MIRROR is the
# Debian mirror (deb.debian.org by default); JOBS the number of compile jobs (2).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${ZORVIK_CACHE:-$HOME/.cache/zorvik}"
mirror="${MIRROR:-http://deb.debian.org/debian}"
security_mirror="${SECURITY_MIRROR:-http://deb.debian.org/debian-security}"
jobs="${JOBS:-2}"

say() { echo "windows-qt: $*" >&2; }

package_version="$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null || true)"
if [ -z "$package_version" ]; then
  say "qt6-base-dev-tools is not installed; its moc, rcc and uic are needed"
  exit 1
fi
# 6.4.2+dfsg-10 -> 6.4.2
version="${package_version%%[+~-]*}"
prefix="$cache/qt-$version-mingw"
stamp="$prefix/.complete"

# The features left out are what the editor never uses. The tablet support needs wintab, which
# Debian's source does not carry. Qt 6.4 goes without Direct2D, and then without DirectWrite 3,
# whose font database would otherwise be left unlinked; later Qt (6.8 in Debian 13) builds its
# Windows font database only with DirectWrite and Direct2D, so there they stay as Qt finds them.
case "$version" in
  6.[0-4].*) font_features=(-no-feature-direct2d -no-feature-directwrite3) ;;
  *) font_features=() ;;
esac
options=(
  -release -static -static-runtime
  -xplatform win32-g++ -qt-host-path /usr
  -nomake examples -nomake tests -nomake benchmarks
  -no-pkg-config -no-opengl -no-dbus -no-icu
  -qt-zlib -qt-libjpeg -qt-libpng -qt-pcre -qt-harfbuzz -qt-freetype -qt-doubleconversion
  -no-feature-vulkan -no-feature-sql -no-feature-network -no-feature-printsupport
  -no-feature-concurrent -no-feature-xml -no-feature-tabletevent "${font_features[@]}"
)
# A Qt built from another source or with other options is built again: the stamp holds what
# this one was made from.
fingerprint="$(printf '%s\n' "$package_version" "${options[@]}" | cat - "$root/cmake/mingw-w64.cmake" |
  sha256sum | cut -c1-16)"
built() { [ "$(cat "$stamp" 2>/dev/null)" = "$fingerprint" ]; }

if built; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
exec 9>"$cache/.qt-$version.lock"
if ! flock -n 9; then
  say "another build of the Qt is running; waiting for it"
  flock 9
fi
if built; then
  echo "$prefix"
  exit 0
fi

for tool in x86_64-w64-mingw32-g++-posix dpkg-source cmake ninja; do
  if ! command -v "$tool" >/dev/null; then
    say "$tool is missing (make check-windows installs what is needed)"
    exit 1
  fi
done

# --- The source, through a private apt configuration ------------------------------------------
codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
apt_dir="$cache/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
cat >"$apt_dir/sources.list" <<SOURCES
deb-src [signed-by=$keyring] $mirror $codename main
deb-src [signed-by=$keyring] $mirror $codename-updates main
deb-src [signed-by=$keyring] $security_mirror $codename-security main
SOURCES
apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=/dev/null"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o "APT::Sandbox::User=root"
)

downloads="$cache/source-$package_version"
dsc_name="qt6-base_${package_version#*:}.dsc"
mkdir -p "$downloads"
if [ ! -f "$downloads/$dsc_name" ]; then
  say "fetching the source of qt6-base $package_version"
  apt-get "${apt_options[@]}" -qq update
  (cd "$downloads" && apt-get "${apt_options[@]}" -q source --download-only "qt6-base=$package_version") >&2
fi

say "checking the source against $dsc_name"
# The lines after "Checksums-Sha256:" up to the next field: " <sha256> <size> <name>"
checksums="$(awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0} on && NF == 3 {print $1 "  " $3}' "$downloads/$dsc_name")"
if [ -z "$checksums" ]; then
  say "$dsc_name lists no checksums"
  exit 1
fi
(cd "$downloads" && sha256sum --quiet -c - <<<"$checksums")

source_dir="$downloads/qt6-base"
if [ ! -f "$source_dir/.extracted" ]; then
  say "unpacking the source"
  rm -rf "$source_dir"
  dpkg-source --no-check -x "$downloads/$dsc_name" "$source_dir" >/dev/null
  touch "$source_dir/.extracted"
fi

# --- The build ------------------------------------------------------------------------------
build_dir="$cache/build-qt-$version-mingw"
mkdir -p "$build_dir"
say "configuring Qt $version for x86_64-w64-mingw32 in $build_dir"
(
  cd "$build_dir"
  "$source_dir/configure" -prefix "$prefix" "${options[@]}" \
    -- -G Ninja "-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-w64.cmake" \
    "-DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
) >"$build_dir/configure.log" 2>&1 || {
  tail -n 40 "$build_dir/configure.log" >&2
  say "configure failed; the whole log is $build_dir/configure.log"
  exit 1
}

say "building with $jobs jobs (about twenty minutes on two cores; the log is $build_dir/build.log)"
started=$(date +%s)
nice -n 10 cmake --build "$build_dir" --parallel "$jobs" >"$build_dir/build.log" 2>&1 &
builder=$!
while kill -0 "$builder" 2>/dev/null; do
  sleep 30
  progress="$(grep -o '^\[[0-9]*/[0-9]*\]' "$build_dir/build.log" | tail -n 1 || true)"
  [ -z "$progress" ] || say "building $progress, $((($(date +%s) - started) / 60)) min"
done
if ! wait "$builder"; then
  grep -m1 'FAILED:' "$build_dir/build.log" >&2 || true
  grep -m5 -A4 'error:' "$build_dir/build.log" >&2 || tail -n 40 "$build_dir/build.log" >&2
  say "the build failed; the whole log is $build_dir/build.log"
  exit 1
fi

say "installing into $prefix"
rm -rf "$prefix"
cmake --install "$build_dir" >"$build_dir/install.log" 2>&1
echo "$fingerprint" >"$stamp"
# The downloaded source stays, for a build of the same version elsewhere; the unpacked tree and
# the build folder are not needed any more.
rm -rf "$build_dir" "$source_dir"
say "Qt $version for Windows is ready, $(du -sh "$prefix" | cut -f1)"
echo "$prefix"
