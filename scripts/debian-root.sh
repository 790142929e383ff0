#!/usr/bin/env bash
# Runs a command from this checkout inside a fresh Debian root, as a new user
# would: a plain user with sudo, a clone of the committed tree, nothing
# installed beyond Debian's minimal system with apt, sudo and git.
#
#   scripts/debian-root.sh SUITE COMMAND [ARGS...]
#   scripts/debian-root.sh trixie ./run-tests.sh
#
# The minimal system is made once per suite with mmdebstrap from Debian's
# archive and kept as a tarball under $TOLVANE_ROOTS (default
# /var/cache/tolvane); every run unpacks it afresh. Downloaded packages and
# the compiler cache are kept there too, so a second run fetches nothing and
# recompiles little, yet still installs and builds everything itself.
# Needs root (it mounts /proc, /dev and a /tmp into the new root).
#
# TOLVANE_AS_ROOT=1 runs the command as root instead (from /root/tolvane),
# as an administrator would.
#
# TOLVANE_KEEP_ROOT=DIR keeps the root in DIR after the command, and a later
# run with the same DIR goes on in it (same clone, packages and build) rather
# than starting afresh: for looking into a failure there.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 SUITE COMMAND [ARGS...]   (for example: $0 trixie ./run-tests.sh)" >&2
  exit 2
fi
suite="$1"
shift
if [ "$(id -u)" -ne 0 ]; then
  echo "$0 mounts file systems for the new root: run it as root (or with sudo)." >&2
  exit 2
fi
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
store="${TOLVANE_ROOTS:-/var/cache/tolvane}"
mirror="${TOLVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
base="$store/$suite-base.tar"
mkdir -p "$store/$suite-apt" "$store/$suite-ccache"

if [ ! -s "$base" ]; then
  command -v mmdebstrap >/dev/null || {
    echo "mmdebstrap is missing: apt-get install mmdebstrap" >&2
    exit 2
  }
  echo "Making a minimal Debian $suite from $mirror (once; kept in $base)"
  rm -f "$base.part"
  mmdebstrap --quiet --format=tar --variant=apt --include=passwd,sudo,git,ca-certificates,locales-all \
    "$suite" "$base.part" "$mirror"
  mv "$base.part" "$base"
fi

keep="${TOLVANE_KEEP_ROOT:-}"
if [ -n "$keep" ]; then
  mkdir -p "$keep"
  root="$(cd "$keep" && pwd)"
else
  root="$(mktemp -d "${TMPDIR:-/tmp}/tolvane-$suite.XXXXXX")"
fi
fresh=1
[ -e "$root/etc/debian_version" ] && fresh=0
mounts=()
cleanup() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount -l "${mounts[$i]}" 2>/dev/null || true
  done
  [ -n "$keep" ] || rm -rf --one-file-system "$root"
}
trap cleanup EXIT
bind() {
  mkdir -p "$root$2"
  mount --bind "$1" "$root$2"
  mounts+=("$root$2")
}

[ "$fresh" = 1 ] && tar -C "$root" -xf "$base"
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
mount --rbind /dev "$root/dev" && mounts+=("$root/dev")
mount --make-rslave "$root/dev"
mount -t tmpfs -o mode=1777 tmpfs "$root/tmp" && mounts+=("$root/tmp")
bind "$store/$suite-apt" /var/cache/apt/archives
cp /etc/resolv.conf "$root/etc/resolv.conf"
# sudo looks the host's name up on every call.
grep -qw "$(hostname)" "$root/etc/hosts" 2>/dev/null || echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"
# Keep what apt downloads, so the next run installs from the store.
rm -f "$root/etc/apt/apt.conf.d/docker-clean"
echo 'Binary::apt::APT::Keep-Downloaded-Packages "true";' >"$root/etc/apt/apt.conf.d/10keep"

if [ "$fresh" = 1 ]; then
  chroot "$root" useradd --create-home --shell /bin/bash tester
  echo 'tester ALL=(ALL) NOPASSWD: ALL' >"$root/etc/sudoers.d/tester"
  chroot "$root" chown -R tester: /home/tester
  git clone --quiet "$repo" "$root/home/tester/tolvane"
  chroot "$root" chown -R tester: /home/tester/tolvane
fi
bind "$store/$suite-ccache" /home/tester/.cache/ccache
chroot "$root" chown tester: /home/tester/.cache /home/tester/.cache/ccache

quoted="$(printf '%q ' "$@")"
environment=(LANG=C.UTF-8 CI="${CI:-}" TOLVANE_WERROR="${TOLVANE_WERROR:-OFF}" PATH=/usr/local/bin:/usr/bin:/bin)
if [ "${TOLVANE_AS_ROOT:-0}" = 1 ]; then
  [ -d "$root/root/tolvane" ] || git clone --quiet "$repo" "$root/root/tolvane"
  echo "Debian $suite ($(cat "$root/etc/debian_version")), as root: $*"
  chroot "$root" /usr/bin/env -i HOME=/root USER=root "${environment[@]}" \
    bash -c "cd ~/tolvane && $quoted"
else
  echo "Debian $suite ($(cat "$root/etc/debian_version")), as user tester: $*"
  chroot "$root" /usr/bin/env -i HOME=/home/tester USER=tester "${environment[@]}" \
    su tester --preserve-environment -c "cd ~/tolvane && $quoted"
fi
