# Shared by scripts/setup and scripts/wine-run32 (sourced, not run): where the
# i386 Debian root with 32-bit Wine lives, whether this kernel runs 32-bit
# programs at all, and how to run a command inside the root. Mounts are made in a
# mount namespace of their own, so they are gone when its last process ends,
# whatever way it ends.

i386_root=${VT_I386_ROOT:-/var/lib/plankwise-build/i386-bookworm}

# True when the kernel runs a 32-bit x86 program: a minimal static ELF that exits
# with 42. Some virtual machines have no 32-bit mode at all.
kernel_runs_32bit() {
    local probe
    probe=$(mktemp)
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    local status=0
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    [ "$status" = 42 ]
}

# True when the root holds a 32-bit Wine.
i386_root_ready() {
    [ -f "$i386_root/.plankwise-ready" ] && [ -x "$i386_root/usr/lib/wine/wine" ]
}

# Runs a command inside the root, with /proc, /dev, the X11 sockets and the given
# folders (each at its own path) mounted into it, in a private mount namespace.
#   in_i386_root FOLDER... -- COMMAND ARGS...
i386_inner='
set -e
root=$1
shift
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
if [ -d /tmp/.X11-unix ]; then
    mkdir -p "$root/tmp/.X11-unix"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
fi
while [ "$1" != "--" ]; do
    mkdir -p "$root$1"
    mount --bind "$1" "$root$1"
    shift
done
shift
exec chroot "$root" /bin/sh -c "cd \"\$1\" 2>/dev/null || cd /; shift; exec \"\$@\"" sh "$PWD" "$@"
'

in_i386_root() {
    local binds=()
    while [ "$1" != "--" ]; do
        binds+=("$1")
        shift
    done
    shift
    unshare --mount --propagation private /bin/bash -c "$i386_inner" i386-root \
        "$i386_root" "${binds[@]}" -- "$@"
}
