#!/usr/bin/env bash
# Installs a built Debian package on a fresh, minimal Debian 12 (made with debootstrap in a
# scratch folder, as root) and plays the installed demo there headless, Flash page included.
# Usage: scripts/check-package-fresh.sh build/vantorix_0.1.0_amd64.deb
set -euo pipefail
package=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || { echo "check-package-fresh: run as root (debootstrap and chroot)"; exit 1; }
command -v debootstrap >/dev/null || { echo "check-package-fresh: debootstrap is missing (scripts/install-deps.sh installs it)"; exit 1; }
root=$(mktemp -d)
chmod 755 "$root"
cleanup() {
    # What the run left in the chroot: the web engine's helpers end a moment after the player.
    local process
    for process in /proc/[0-9]*; do
        [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ] && kill -KILL "${process#/proc/}" 2>/dev/null
    done
    sleep 0.5
    umount "$root/proc" 2>/dev/null || umount -l "$root/proc" 2>/dev/null || true
    # Never delete through a mount that is still there.
    if mountpoint -q "$root/proc"; then
        echo "check-package-fresh: $root/proc is still mounted, so $root stays"
        return
    fi
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >"$root.log" 2>&1 ||
    { tail -5 "$root.log"; exit 1; }
rm -f "$root.log"
cp "$package" "$root/root/"
cp /etc/resolv.conf "$root/etc/"
# A container without the right to mount or change its root cannot make the check.
if ! mount --bind /proc "$root/proc" || ! chroot "$root" true; then
    echo "check-package-fresh: skipped, this machine may not mount /proc or chroot"
    exit 0
fi
chroot "$root" bash -euo pipefail -c "
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null
    apt-get install -y -q /root/$(basename "$package") >/root/apt.log 2>&1 || { tail -20 /root/apt.log; exit 1; }
    cd /root
    printf 'wait 500\nkey 32\nwait 1500\nkey 57\nwait 4000\nclose\n' >steps.txt
    vantorix --headless --replay steps.txt --log run.jsonl --timeout 20000 /usr/share/vantorix/demo
    grep -q '\"ev\":\"page\",\"index\":8' run.jsonl
    grep -q '\"action\":\"ready\",\"file\":\"[^\"]*flash.swf\",\"state\":4' run.jsonl
"
echo "check-package-fresh: $(basename "$package") installs on a fresh Debian 12 and plays the demo"
