#!/usr/bin/env bash
# Checks that a fresh Debian system of one release sets Zorvik up, tests, packages and runs it
# the way README.md tells a user to:
#
#   scripts/check-release.sh SUITE        SUITE is bookworm (Debian 12) or trixie (Debian 13)
#   scripts/check-release.sh SUITE windows   the Windows build instead: make check-windows
#
# In a temporary folder it bootstraps a minimal SUITE system, runs there the apt-get line that
# README.md gives for a bare system, clones the committed HEAD of this repository, and runs
# make test and make package. It installs the .deb with apt and starts /usr/bin/zorvik under
# Xvfb until the main window "Zorvik v1.0" shows. Then it does the same in a second fresh
# system that holds nothing but the package, which proves the package's dependencies.
# With windows, the fresh system runs make check-windows after README's set-up, which builds
# the release's own Qt for Windows in it (twenty minutes and more, the first time: the Qt is
# kept in ~/.cache/zorvik/release-SUITE for the next check), and nothing else.
#
# It needs root and the Debian mirror (MIRROR and SECURITY_MIRROR, deb.debian.org by default),
# and takes a while: everything is built from nothing, the editor, the sanitized suite and the
# fuzz targets. Its output goes to build-releases/SUITE.log (with windows, SUITE-windows.log and
# the steps' logs in SUITE-windows/); it prints one line with the result and the time.
# The systems are removed at the end, their mounts undone first, whatever the outcome.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
suite="${1:-}"
kind="${2:-debian}"
case "$suite:$kind" in
  bookworm:debian | trixie:debian | bookworm:windows | trixie:windows) ;;
  *)
    echo "usage: $0 bookworm|trixie [windows]" >&2
    exit 2
    ;;
esac
if [ "$(id -u)" -ne 0 ]; then
  echo "$0 must run as root: it bootstraps systems and mounts into them" >&2
  exit 2
fi
mirror="${MIRROR:-http://deb.debian.org/debian}"
security_mirror="${SECURITY_MIRROR:-http://deb.debian.org/debian-security}"

logs="$root/build-releases"
mkdir -p "$logs"
check_name="$suite"
[ "$kind" = debian ] || check_name="$suite-$kind"
log="$logs/$check_name.log"
: >"$log"
started=$(date +%s)
step="preparing"
work=""

elapsed() {
  local seconds=$(($(date +%s) - started))
  printf '%d min %02d s' $((seconds / 60)) $((seconds % 60))
}

# Ends whatever still runs inside one of our systems, such as an X server left behind, so
# that their mounts can go.
stop_processes() {
  local process
  for process in /proc/[0-9]*; do
    case "$(readlink "$process/root" 2>/dev/null)" in
      "$work"/*) kill -KILL "${process#/proc/}" 2>/dev/null || true ;;
    esac
  done
}

# The mounts inside our systems, the kernel's own list of them, innermost first: the steps
# mount in processes of their own, and debootstrap mounts as well.
our_mounts() {
  awk -v inside="$work/" 'index($5, inside) == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

cleanup() {
  if [ -n "$step_group" ]; then
    kill -KILL -- "-$step_group" 2>/dev/null || true
  fi
  [ -n "$work" ] || return 0
  stop_processes
  local point
  for point in $(our_mounts); do
    umount "$point" || umount -l "$point" || echo "could not unmount $point"
  done
  # --one-file-system: a mount that would not go keeps what lies under it.
  rm -rf --one-file-system "$work" || echo "left behind: $work"
}

finish() {
  local status=$?
  set +e
  echo "==== cleaning up" >>"$log"
  cleanup >>"$log" 2>&1
  if [ "$status" -eq 0 ]; then
    printf '%-9s ok      %s\n' "$check_name" "$(elapsed)"
  else
    printf '%-9s FAILED  %s  at: %s  log: %s\n' "$check_name" "$(elapsed)" "$step" "$log"
  fi
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs one step with its output in the log; a failing step ends the check. Each step runs in a
# process group of its own (set -m), which an interruption ends as a whole; the wait, unlike a
# command in the foreground, lets the signal through at once.
set -m
step_group=""
run_step() {
  step="$1"
  shift
  echo "==== $step ($(date -u '+%F %T UTC'))" >>"$log"
  "$@" >>"$log" 2>&1 </dev/null &
  step_group=$!
  # Its status is the step's even where a caller tests it, which stops set -e here.
  local status=0
  wait "$step_group" || status=$?
  step_group=""
  return "$status"
}

# A minimal system of the release, with the kernel's file systems mounted and the mirror
# reachable, as a machine or a package builder would have it.
bootstrap() {
  local system="$1"
  mkdir -p "$system"
  debootstrap --variant=minbase "$suite" "$system" "$mirror"
  cat >"$system/etc/apt/sources.list" <<EOF
deb $mirror $suite main
deb $mirror $suite-updates main
deb $security_mirror $suite-security main
EOF
  cp /etc/resolv.conf "$system/etc/resolv.conf"
  mount -t proc proc "$system/proc"
  mount -t sysfs -o ro sysfs "$system/sys"
  mkdir -p "$system/dev/pts" "$system/dev/shm"
  local node
  for node in null:1:3 zero:1:5 full:1:7 random:1:8 urandom:1:9 tty:5:0; do
    IFS=: read -r name major minor <<<"$node"
    [ -c "$system/dev/$name" ] || mknod -m 666 "$system/dev/$name" c "$major" "$minor"
  done
  # Pseudo-terminals of its own, so that nothing inside reaches the host's.
  mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$system/dev/pts"
  rm -f "$system/dev/ptmx"
  ln -s pts/ptmx "$system/dev/ptmx"
  mount -t tmpfs -o mode=1777 tmpfs "$system/dev/shm"
  mount -t tmpfs -o mode=0755 tmpfs "$system/run"
  mkdir -p "$system/run/lock"
}

# Runs a shell command as root inside a system, with a login's environment and no more; no
# one answers questions there.
inside() {
  local system="$1"
  shift
  chroot "$system" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/sh -c "$*"
}

# Installs the package with what it recommends, checks that every library it and Qt's X11 and
# Wayland plugins need is there, then starts the program on a virtual screen and waits for its
# main window.
install_and_start() {
  local system="$1" folder="$2"
  inside "$system" "cd $folder && dpkg-deb -f zorvik_*.deb Package Version Depends Recommends"
  inside "$system" "cd $folder && apt-get install -y ./zorvik_*.deb"
  # shellcheck disable=SC2016 # expanded inside the system
  inside "$system" '
    set -e
    plugin="$(find /usr/lib -path "*/qt6/plugins/platforms/libqxcb.so" | head -n 1)"
    [ -n "$plugin" ] || { echo "Qt has no X11 platform plugin"; exit 1; }
    wayland="$(find /usr/lib -path "*/qt6/plugins/platforms/libqwayland-generic.so" | head -n 1)"
    [ -n "$wayland" ] || { echo "Qt has no Wayland platform plugin"; exit 1; }
    dpkg -S "$plugin" "$wayland"
    for binary in /usr/bin/zorvik "$plugin" "$wayland"; do
      if ldd "$binary" | grep "not found"; then
        echo "$binary misses libraries"
        exit 1
      fi
    done'
  # Only for this check: the virtual screen and a tool that finds windows by their titles.
  inside "$system" "apt-get install -y --no-install-recommends xvfb xauth xdotool"
  cat >"$system/tmp/start-zorvik.sh" <<'EOF'
#!/bin/sh
# Starts the installed program and waits up to two minutes for its main window.
/usr/bin/zorvik &
program=$!
if timeout 120 xdotool search --sync --onlyvisible --name '^Zorvik v1\.0$' >/tmp/windows; then
  echo "main window shown: $(xdotool getwindowname "$(head -n 1 /tmp/windows)")"
  shown=0
else
  echo "no window titled Zorvik v1.0 within two minutes"
  shown=1
fi
if ! kill -0 "$program" 2>/dev/null; then
  wait "$program"
  echo "zorvik ended by itself with status $?"
  exit 1
fi
kill "$program"
wait "$program" 2>/dev/null
exit "$shown"
EOF
  chmod +x "$system/tmp/start-zorvik.sh"
  # A display number of its own: X servers elsewhere on this machine share the socket names.
  inside "$system" "cd /tmp && xvfb-run -a -n $((100 + RANDOM % 800)) \
    -s '-screen 0 1280x1024x24 -nolisten tcp' /tmp/start-zorvik.sh"
}

# Keeps each finished Qt of the system that the cache does not hold as it is.
keep_qt() {
  local qt kept
  for qt in "$system_cache"/qt-*-mingw; do
    kept="$qt_cache/${qt##*/}"
    if [ -f "$qt/.complete" ] && ! cmp -s "$qt/.complete" "$kept/.complete"; then
      rm -rf "$kept" "$kept.partial"
      cp -a "$qt" "$kept.partial"
      mv "$kept.partial" "$kept"
    fi
  done
}

prerequisites="$(git -C "$root" show HEAD:README.md |
  sed -n '/^## Set up and run/,/^## Using/p' | grep -m 1 -E '^(sudo )?apt-get ' || true)"
if [ -z "$prerequisites" ]; then
  step="README.md gives no apt-get line under Set up and run"
  exit 1
fi
# The check works as root, where sudo is neither needed nor installed.
prerequisites="${prerequisites//sudo /}"
commit="$(git -C "$root" rev-parse HEAD)"
echo "Checking $commit on $suite; prerequisites: $prerequisites" >>"$log"

install_debootstrap() {
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y debootstrap || { apt-get update && apt-get install -y debootstrap; }
}
if ! command -v debootstrap >/dev/null; then
  run_step "installing debootstrap" install_debootstrap
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/zorvik-$suite.XXXXXX")"
work="$(cd "$work" && pwd -P)"
chmod 755 "$work"
build_system="$work/system"
bare_system="$work/bare"

run_step "bootstrapping $suite" bootstrap "$build_system"
run_step "README's prerequisites" inside "$build_system" "$prerequisites"
git -C "$root" bundle create "$build_system/tmp/zorvik.bundle" HEAD >>"$log" 2>&1
run_step "cloning" inside "$build_system" \
  "cd /root && git -c advice.detachedHead=false clone /tmp/zorvik.bundle zorvik"
if [ "$kind" = windows ]; then
  # The static Qt that the system builds for Windows is kept on this machine between checks,
  # one per release, and lent to the next fresh system; scripts/windows-qt.sh builds it again
  # only where Debian's source or the options it is built with changed.
  qt_cache="${ZORVIK_CACHE:-$HOME/.cache/zorvik}/release-$suite"
  system_cache="$build_system/root/.cache/zorvik"
  mkdir -p "$qt_cache" "$system_cache"
  run_step "lending the kept Qt" cp -a "$qt_cache/." "$system_cache/"
  checked=0
  run_step "make check-windows" inside "$build_system" "cd /root/zorvik && make check-windows" ||
    checked=$?
  failed_step="$step"
  run_step "keeping the Qt" keep_qt
  # The steps' whole logs, which the system takes with it.
  rm -rf "${log%.log}"
  cp -r "$build_system/root/zorvik/build-windows/check-windows" "${log%.log}" || true
  if [ "$checked" -ne 0 ]; then
    step="$failed_step"
    exit "$checked"
  fi
  step="done"
  exit 0
fi
run_step "make test" inside "$build_system" "cd /root/zorvik && make test"
run_step "make package" inside "$build_system" "cd /root/zorvik && make package"
run_step "installing and starting the package" \
  install_and_start "$build_system" /root/zorvik/build

run_step "bootstrapping a bare $suite" bootstrap "$bare_system"
run_step "copying the package" sh -c "cp '$build_system'/root/zorvik/build/zorvik_*.deb '$bare_system/tmp/'"
run_step "apt-get update on the bare system" inside "$bare_system" "apt-get update"
run_step "installing and starting the package on the bare system" \
  install_and_start "$bare_system" /tmp
step="done"
