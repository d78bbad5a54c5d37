#!/usr/bin/env bash
# The fault suite's drives, mapped into a Wine prefix through its dosdevices:
#   S:  a small drive (8 MiB) that an installation fills
#   T:  a full drive (its only file takes all of its room), for the temporary folder
#   R:  a read-only drive holding an empty folder "Locked" and an earlier
#       installation's folder "Plankwise 6" with one file
#
#   fault-drives.sh mount PREFIX ROOT RUNNER     makes them (root only: tmpfs mounts);
#                                                RUNNER makes the prefix when needed
#   fault-drives.sh unmount PREFIX ROOT          takes them away again
set -euo pipefail
action=$1 prefix=$2 root=$3 runner=${4:-}
devices=$prefix/dosdevices

unmount_all() {
    for drive in small full readonly; do
        if mountpoint -q "$root/$drive" 2>/dev/null; then
            umount "$root/$drive" || umount -l "$root/$drive"
        fi
    done
    rm -f "$devices/s:" "$devices/t:" "$devices/r:"
}

case $action in
mount)
    if [ "$(id -u)" != 0 ]; then
        echo "fault-drives: the fault suite's drives need root (tmpfs mounts)" >&2
        exit 1
    fi
    if [ ! -d "$devices" ] && [ -n "$runner" ]; then
        status=0
        VT_WINE_PREFIX=$prefix "$runner" cmd /c exit 0 >/dev/null 2>&1 || status=$?
        [ "$status" = 77 ] && exit 77 # this build's programs cannot run here
    fi
    if [ ! -d "$devices" ]; then
        echo "fault-drives: no Wine prefix at $prefix" >&2
        exit 1
    fi
    unmount_all
    mkdir -p "$root/small" "$root/full" "$root/readonly"
    mount -t tmpfs -o size=8m,mode=0777 plankwise-small "$root/small"
    mount -t tmpfs -o size=1m,mode=0777 plankwise-full "$root/full"
    dd if=/dev/zero of="$root/full/filler" bs=4k 2>/dev/null || true
    mount -t tmpfs -o size=1m,mode=0777 plankwise-readonly "$root/readonly"
    mkdir -p "$root/readonly/Locked" "$root/readonly/Plankwise 6"
    printf 'Plankwise earlier\r\n' > "$root/readonly/Plankwise 6/Readme.txt"
    mount -o remount,ro "$root/readonly"
    ln -s "$root/small" "$devices/s:"
    ln -s "$root/full" "$devices/t:"
    ln -s "$root/readonly" "$devices/r:"
    ;;
unmount)
    unmount_all
    ;;
*)
    echo "usage: fault-drives.sh mount|unmount PREFIX ROOT" >&2
    exit 2
    ;;
esac
