#!/bin/sh
# Proves the README's first two commands on a fresh machine: a minimal Debian 12
# (bookworm) made with debootstrap, without GoogleTest, Google Benchmark,
# Chromium or libxlsxwriter, gets a clean clone of this checkout's HEAD; inside
# it, as root, the project's own script installs a compiler and CMake
# (`scripts/install-deps.sh build`), then `make demo` and `make test` run, each
# timed. `make demo` must install nothing more; `make test` installs what the
# tests need by itself. Last, as a user without sudo and with GoogleTest
# removed, `make test` must stop before building and print the command to run.
#
#   sh scripts/fresh-machine-check.sh [DIR]     (as root; DIR: /var/tmp/lumaveil-fresh)
#
# DIR keeps the pristine system (DIR/base, about 200 MB, made once: ~3 min)
# and the machine of the last run (DIR/root, rebuilt each run); the log is
# DIR/log. Needs network access to Debian's mirror (MIRROR, default
# http://deb.debian.org/debian). The two builds run with JOBS=2 from scratch:
# on two busy cores 2 min for the compiler and CMake, 7 min for make demo,
# 25 min for make test. Not part of CI.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-/var/tmp/lumaveil-fresh}
mirror=${MIRROR:-http://deb.debian.org/debian}
if [ "$(id -u)" != 0 ]; then
  echo "fresh-machine-check: run as root (debootstrap, mount and chroot need it)" >&2
  exit 1
fi
sh "$top/scripts/install-deps.sh" fresh-machine
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
log="$dir/log"
: >"$log"
say() { echo "fresh-machine-check: $*" | tee -a "$log"; }

base="$dir/base"
if [ ! -f "$base/.lumaveil-base-complete" ]; then
  rm -rf "$base"
  say "debootstrap of bookworm (minbase) into $base"
  debootstrap --variant=minbase bookworm "$base" "$mirror" >>"$log" 2>&1 ||
    { tail -n 20 "$log" >&2; exit 1; }
  touch "$base/.lumaveil-base-complete"
fi

root="$dir/root"
rm -rf "$root"
cp -a "$base" "$root"
# The host's name resolution and its Debian sources (same suites and mirror).
cp /etc/resolv.conf "$root/etc/resolv.conf"
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
  cp /etc/apt/sources.list.d/debian.sources "$root/etc/apt/sources.list.d/"
  rm -f "$root/etc/apt/sources.list"
fi
if [ -n "$(git -C "$top" status --porcelain)" ]; then
  say "note: uncommitted changes in $top are not part of the check"
fi
git clone --quiet --no-hardlinks "$top" "$root/root/lumaveil"
say "clone of $(git -C "$top" rev-parse --short HEAD) in $root/root/lumaveil"

# What runs inside, as root, in the clone; each step timed, the demo checked
# for having installed nothing.
cat >"$root/root/steps.sh" <<'STEPS'
set -eu
cd /root/lumaveil
step() {
  name=$1; shift
  start=$(date +%s)
  if "$@"; then status=0; else status=$?; fi
  echo "fresh-machine-check: $name: status $status, $(( $(date +%s) - start )) s"
  return $status
}
for package in libgtest-dev libbenchmark-dev chromium libxlsxwriter-dev g++ cmake; do
  if dpkg-query -W -f='${db:Status-Abbrev}' $package 2>/dev/null | grep -q '^ii'; then
    echo "fresh-machine-check: $package is already installed: not a fresh machine" >&2
    exit 1
  fi
done
step "install-deps.sh build (compiler, CMake)" sh scripts/install-deps.sh build
step "make demo" make demo JOBS=2
for package in libgtest-dev libbenchmark-dev chromium libxlsxwriter-dev; do
  if dpkg-query -W -f='${db:Status-Abbrev}' $package 2>/dev/null | grep -q '^ii'; then
    echo "fresh-machine-check: make demo installed $package" >&2
    exit 1
  fi
done
step "make test" make test JOBS=2

# A user without sudo, on the machine with GoogleTest removed again: make test
# must stop before building and print the command to run as root.
apt-get remove -y -qq libgtest-dev >/dev/null 2>&1
useradd -m tester
mkdir /home/tester/lumaveil
tar -C /root/lumaveil --exclude=./build -cf - . | tar -C /home/tester/lumaveil -xf -
chown -R tester: /home/tester/lumaveil
if setpriv --reuid=tester --regid=tester --init-groups env -i PATH=/usr/local/bin:/usr/bin:/bin \
    HOME=/home/tester sh -c 'cd /home/tester/lumaveil && make test' >/tmp/as-user.log 2>&1; then
  echo "fresh-machine-check: make test as a user without sudo passed without GoogleTest" >&2
  exit 1
fi
cat /tmp/as-user.log
if ! grep -q '^    apt-get update -qq && apt-get install .* libgtest-dev$' /tmp/as-user.log ||
   [ -d /home/tester/lumaveil/build ]; then
  echo "fresh-machine-check: make test as a user without sudo did not stop with the command" >&2
  exit 1
fi
echo "fresh-machine-check: make test as a user without sudo: stopped before building, command printed: status 0"
STEPS

# A private mount namespace: /proc, /dev and /sys of the machine vanish with it.
say "running install-deps.sh build, make demo, make test in the chroot (log: $log)"
start=$(date +%s)
if unshare --mount --propagation private sh -c '
    set -e
    mount -t proc proc "$1/proc"
    mount --rbind /dev "$1/dev"
    mount --rbind /sys "$1/sys"
    chroot "$1" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      HOME=/root TERM=dumb sh /root/steps.sh' sh "$root" >>"$log" 2>&1; then
  status=0
else
  status=$?
fi
# A process the tests left running in the machine (a browser's crash
# handler) keeps its mount namespace alive: it ends here.
for proc in /proc/[0-9]*; do
  if [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ]; then
    kill "${proc#/proc/}" 2>/dev/null || true
  fi
done
grep '^fresh-machine-check: .*: status' "$log" || true
grep -E '^[0-9]+% tests passed|tests failed out of' "$log" || true
say "total $(( $(date +%s) - start )) s in the chroot, status $status"
[ "$status" = 0 ] || { echo "fresh-machine-check: FAILED (see $log)" >&2; exit 1; }
say "passed"
