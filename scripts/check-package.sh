#!/usr/bin/env bash
# Installs a built package on a fresh Debian 12 and tries it as a new user would:
# the menu entry's command starts the wizard with its settings filled in on the
# first run, and pxtool --help works. Needs root, debootstrap and Debian's mirror.
# usage: scripts/check-package.sh OSTREL.deb [CHROOT-FOLDER]
# The chroot (default /var/tmp/ostrel-check) is made with debootstrap once and
# copied for each check, so every check starts from a fresh system. With
# OSTREL_CHECK_SHOTS set, the wizard's screenshots are copied there.
set -euo pipefail
deb=$(readlink -f "${1:?usage: scripts/check-package.sh OSTREL.deb [CHROOT-FOLDER]}")
base=${2:-/var/tmp/ostrel-check}
demo=$(dirname "$(readlink -f "$0")")/../data/demo/walkthrough.txt
if [[ ! -x $base/bin/bash ]]; then
    command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
    debootstrap --variant=minbase bookworm "$base" http://deb.debian.org/debian
fi
root=$(mktemp -d /var/tmp/ostrel-check-run.XXXXXX)
cleanup() {
    umount "$root/proc" 2>/dev/null || true
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT
cp -a "$base/." "$root/"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
cp "$demo" "$root/tmp/walkthrough.txt"
mount -t proc proc "$root/proc"

chroot "$root" /bin/bash -euo pipefail -c '
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
apt-get update -qq
apt-get install -y -qq /tmp/ostrel_*.deb >/tmp/apt.log || { cat /tmp/apt.log; exit 1; }
echo "installed: $(dpkg-query -W -f="\${Package} \${Version}" ostrel)"
echo "depends:   $(dpkg-query -W -f="\${Depends}" ostrel)"
ldconfig -p | grep -q "libpximage.so.0 " && echo "libpximage.so.0 is known to the loader"
useradd -m -s /bin/bash tester
su tester -c "
set -euo pipefail
pxtool --help | head -n 1
launcher=\$(sed -n \"s/^Exec=//p\" /usr/share/applications/ostrel.desktop | tr -d \\\")
echo \"menu entry runs: \$launcher\"
OSTREL_BACKEND=headless OSTREL_SCRIPT=/tmp/walkthrough.txt OSTREL_SCREENSHOTS=\$HOME/shots \
    \"\$launcher\" >\$HOME/run.log 2>&1
cat \$HOME/run.log
! grep -q \"message box\" \$HOME/run.log
test -s \$HOME/.config/norvane/registry.reg
ls \$HOME/shots
test -s \$HOME/shots/6-transfer.png
pxtool info \$HOME/shots/1-welcome.png
ostrel-setup --help | head -n 1
"
'
if [[ -n ${OSTREL_CHECK_SHOTS:-} ]]; then
    mkdir -p "$OSTREL_CHECK_SHOTS"
    cp "$root"/home/tester/shots/*.png "$OSTREL_CHECK_SHOTS/"
fi
echo "package check passed"
