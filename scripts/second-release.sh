#!/usr/bin/env bash
# Runs the whole test command again on Debian 13 (trixie): in a root made with debootstrap from the
# machine's own apt mirror, kept in the per-machine cache (~/.cache/zenor-lyrandel) and reused by every
# checkout, on a clean clone of this tree's committed HEAD (uncommitted changes
# are not in it). Needs root for debootstrap, chroot and the mounts; asks sudo for it otherwise.
# Usage: scripts/second-release.sh   (ZL_SECOND_RELEASE_ROOT picks another folder for the root)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/lib/apt.sh"
release=trixie
cache=${ZL_CACHE_DIR:-"${XDG_CACHE_HOME:-$HOME/.cache}/zenor-lyrandel"}
chroot_dir=${ZL_SECOND_RELEASE_ROOT:-"$cache/debian-$release-root"}
src=/zenor-lyrandel
# The host folders the suite needs, parents before children; undone in the opposite order.
binds=(/proc /sys /dev /dev/pts /dev/shm)

say() { printf 'second-release: %s\n' "$*"; }
die() { say "FAIL: $*" >&2; exit 1; }

if [[ $(id -u) -ne 0 ]]; then
    exec sudo ZL_SECOND_RELEASE_ROOT="$chroot_dir" "$0" "$@"
fi
for tool in debootstrap chroot findmnt flock git; do
    command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh test installs it)"
done
git -C "$root" rev-parse --verify -q HEAD >/dev/null || die "$root is not a git checkout with a commit"

mkdir -p "$(dirname "$chroot_dir")"
chroot_dir=$(realpath -m "$chroot_dir")
ready="$chroot_dir/.zl-ready" # written once the root is complete; a root without it is made again

# One run at a time per root: the clean-up below stops every process inside it.
exec 9>"$chroot_dir.lock"
flock -n 9 || die "another run is using $chroot_dir"

mounts_inside() {
    findmnt --list --noheadings --output TARGET | awk -v p="$chroot_dir/" 'index($0, p) == 1' | sort -r
}

stop_processes_inside() {
    local pids=() p end
    for p in /proc/[0-9]*; do
        [[ $(readlink "$p/root" 2>/dev/null) == "$chroot_dir" ]] && pids+=("${p#/proc/}")
    done
    [[ ${#pids[@]} -eq 0 ]] && return 0
    say "stopping what still runs inside: $(ps -o pid=,comm= -p "$(IFS=,; echo "${pids[*]}")" | tr -s ' \n' ' ')"
    kill -TERM "${pids[@]}" 2>/dev/null || true
    end=$((SECONDS + 10))
    while ((SECONDS < end)) && kill -0 "${pids[@]}" 2>/dev/null; do sleep 0.1; done
    kill -KILL "${pids[@]}" 2>/dev/null || true
}

unmount_all() {
    local m
    while read -r m; do
        [[ -n "$m" ]] || continue
        umount "$m" 2>/dev/null || umount --lazy "$m" || say "could not unmount $m"
    done < <(mounts_inside)
    [[ -z "$(mounts_inside)" ]]
}

cleanup() {
    local rc=$?
    set +e
    stop_processes_inside
    unmount_all || { say "still mounted under $chroot_dir: $(mounts_inside | tr '\n' ' ')"; rc=1; }
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# An earlier run that was killed outright may have left processes and mounts behind.
stop_processes_inside
unmount_all || die "cannot unmount what is left under $chroot_dir"

start=$SECONDS
if [[ ! -f "$ready" ]]; then
    if [[ -e "$chroot_dir" ]]; then
        say "removing the unfinished root $chroot_dir"
        [[ -z "$(mounts_inside)" ]] || die "something is still mounted under $chroot_dir; not removing it"
        rm -rf --one-file-system "$chroot_dir"
    fi
    mirror=$(apt_mirror)
    [[ -n "$mirror" ]] || die "no Debian mirror in this machine's apt configuration"
    say "making a Debian 13 root in $chroot_dir from $mirror"
    debootstrap --variant=minbase "$release" "$chroot_dir" "$mirror" >"$chroot_dir.log" 2>&1 ||
        die "debootstrap failed; see $chroot_dir.log"
    # Packages installed inside must not start services on the host's behalf.
    printf '#!/bin/sh\nexit 101\n' >"$chroot_dir/usr/sbin/policy-rc.d"
    chmod 755 "$chroot_dir/usr/sbin/policy-rc.d"
    touch "$ready"
    say "root made in $((SECONDS - start))s"
fi
cp -L --remove-destination /etc/resolv.conf "$chroot_dir/etc/resolv.conf"

for b in "${binds[@]}"; do
    mkdir -p "$chroot_dir$b"
    mount --bind "$b" "$chroot_dir$b"
    # Mounts made under the root must not show up on the host, nor the other way round.
    mount --make-rslave "$chroot_dir$b"
done

say "cloning $(git -C "$root" rev-parse --short HEAD) into $chroot_dir$src"
rm -rf --one-file-system "${chroot_dir:?}$src"
git init -q "$chroot_dir$src"
git -C "$chroot_dir$src" fetch -q "$root" HEAD
git -C "$chroot_dir$src" checkout -q --detach FETCH_HEAD

# Runs a command inside with a clean environment: nothing of the host's display, bus or build
# settings leaks in. Waiting in the background keeps INT and TERM from waiting for the command.
inside() {
    chroot "$chroot_dir" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin ZL_SKIP_SECOND_RELEASE=1 \
        ZL_SKIP_WINDOWS=1 "$@" 9>&- &
    wait $!
}

say "running scripts/test.sh inside"
run_start=$SECONDS
inside "$src/scripts/test.sh" || die "the tests failed on Debian 13"
say "PASS on Debian 13 in $((SECONDS - run_start))s"

# The package built here (by the package test before this) must install and start there too.
host_debs=("$root"/build/release/deb/zenor-lyrandel_*.deb)
if [[ -f "${host_debs[0]}" ]]; then
    say "the package built on this machine ($(basename "${host_debs[0]}")), on Debian 13"
    rm -rf "$chroot_dir/host-package"
    mkdir "$chroot_dir/host-package"
    cp "${host_debs[0]}" "$chroot_dir/host-package/"
    inside ZL_PACKAGE_TEST_DEB="/host-package/$(basename "${host_debs[0]}")" "$src/scripts/package-test.sh" ||
        die "the package built here does not work on Debian 13"
else
    say "no package in build/release/deb to try on Debian 13 (scripts/package-test.sh build/release makes one)"
fi
say "done in $((SECONDS - start))s"
