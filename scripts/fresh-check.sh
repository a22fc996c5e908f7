#!/usr/bin/env bash
# Runs the README's test command on a fresh machine: a minimal Debian 12
# root (debootstrap --variant=minbase), this checkout copied into /root of
# it (a folder other users cannot read), ./test.sh run there as root.
# Not part of ./test.sh. Needs root. The downloaded packages are kept in
# FRESH_CACHE (default /var/cache/swiadectwa-fresh) for the next run.
#
#   sudo scripts/fresh-check.sh            # build the root anew and test
#   FRESH_KEEP=1 sudo scripts/fresh-check.sh   # keep the root afterwards
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$PWD
if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-check.sh: uruchom jako root (sudo)." >&2
    exit 2
fi
./scripts/deps.sh debootstrap

cache=${FRESH_CACHE:-/var/cache/swiadectwa-fresh}
root=${FRESH_ROOT:-/var/tmp/swiadectwa-fresh-root}
mirror=${FRESH_MIRROR:-http://deb.debian.org/debian}
mkdir -p "$cache/debootstrap" "$cache/apt"

mounted=()
cleanup() {
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -l "${mounted[i]}" 2>/dev/null || true
    done
    if [ -z "${FRESH_KEEP:-}" ]; then
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT

start=$(date +%s)
rm -rf --one-file-system "$root"
debootstrap --variant=minbase --cache-dir="$cache/debootstrap" bookworm "$root" "$mirror"
echo "debootstrap: $(($(date +%s) - start)) s"

# What a running system gives a program: processes, devices, a shared memory
# folder, name resolution; and the package downloads kept between runs.
for fs in proc sys dev dev/pts; do
    mount --bind "/$fs" "$root/$fs"
    mounted+=("$root/$fs")
done
mkdir -p "$root/var/cache/apt/archives"
mount --bind "$cache/apt" "$root/var/cache/apt/archives"
mounted+=("$root/var/cache/apt/archives")
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Downloads stay in the cache: apt would delete them after installing.
echo 'Binary::apt::APT::Keep-Downloaded-Packages "true";' >"$root/etc/apt/apt.conf.d/99keep"

# The checkout as git has it (no build folder), into a folder of root's
# that nobody else can read, as /root is.
mkdir -p "$root/root/swiadectwa"
chmod 700 "$root/root"
git -C "$checkout" ls-files -z | (cd "$checkout" && xargs -0 cp --parents -t "$root/root/swiadectwa")

tests=$(date +%s)
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    /bin/bash -c 'cd /root/swiadectwa && ./test.sh'
echo "fresh-check: the README's test command passed on a minimal Debian 12 root" \
    "($(($(date +%s) - tests)) s for ./test.sh, $(($(date +%s) - start)) s in all)"
