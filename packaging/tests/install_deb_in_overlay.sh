#!/usr/bin/env bash
# Installs a package with dpkg into a throw-away copy of this machine's root (overlayfs over /,
# in a private mount namespace), starts its programs offscreen, purges it and checks that none
# of its files is left. The machine itself is not changed. Needs root.
#
#   install_deb_in_overlay.sh <package.deb> <work-folder>
set -euo pipefail

deb=$(realpath "$1") work=$(realpath -m "$2")

if [ "${INSIDE_PRIVATE_MOUNTS:-}" != 1 ]; then
  rm -rf "$work"
  mkdir -p "$work/upper" "$work/scratch" "$work/root"
  exec unshare --mount --propagation private env INSIDE_PRIVATE_MOUNTS=1 bash "$0" "$deb" "$work"
fi

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

root=$work/root
mount -t overlay overlay -o "lowerdir=/,upperdir=$work/upper,workdir=$work/scratch" "$root"
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --rbind /sys "$root/sys"
mount -t tmpfs tmpfs "$root/tmp"
# Rebuilding the manual page index would only take time here.
rm -f "$root/var/lib/man-db/auto-update"

in_root() {
  chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    QT_QPA_PLATFORM=offscreen "$@"
}

name=$(dpkg-deb --field "$deb" Package)
cp "$deb" "$root/tmp/package.deb"
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' >"$work/files"

echo "-- dpkg -i (fails when a dependency is missing)"
in_root dpkg -i /tmp/package.deb
in_root apt-get check -qq || fail "apt-get check complains after the install"
[ "$(in_root dpkg-query -W -f '${Status}' "$name")" = "install ok installed" ] ||
  fail "$name is not installed"

echo "-- the programs start: still running after 3 s (exit status 124 of timeout)"
for program in kestrel plover; do
  status=0
  in_root timeout 3 "/usr/bin/$program" >"$work/$program.log" 2>&1 || status=$?
  [ "$status" -eq 124 ] || {
    cat "$work/$program.log" >&2
    fail "/usr/bin/$program ended with status $status instead of running"
  }
done

echo "-- cellsvc.socket is enabled for all users; socket-activated, the service answers for the sample"
wants=/etc/systemd/user/sockets.target.wants/cellsvc.socket
[ -L "$root$wants" ] || fail "the package did not enable cellsvc.socket for all users ($wants)"
if in_root sh -c 'command -v systemd-socket-activate' >/dev/null; then
  # As systemd would start it for a user who never ran it: a fresh home, the socket handed over.
  port=$((20000 + $$ % 20000))
  # chroot, env and systemd-socket-activate each exec the next: $! ends up as cellsvc itself.
  chroot "$root" env -i PATH=/usr/bin:/bin HOME=/tmp/home LANG=C.UTF-8 \
    systemd-socket-activate -l "127.0.0.1:$port" /usr/bin/cellsvc serve >"$work/cellsvc.log" 2>&1 &
  activator=$!
  # The lookup plover makes for the installed ID file of a sample cell. cat reads to the end, so
  # the request asks the server to close the connection after its reply rather than keep it.
  ini=$root/usr/share/cellsvc/sample-cell.ini
  value() { sed -n "s/^$1=\([^\r]*\).*/\1/p" "$ini"; }
  target="/cellid_location/?&cellid=$(value cellid)&operatorid=$(value mnc)&countrycode=$(value mcc)&lac=$(value lac)"
  reply=
  for _ in $(seq 50); do
    reply=$(timeout 5 bash -c "exec 3<>/dev/tcp/127.0.0.1/$port &&
      printf 'GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' '$target' >&3 &&
      cat <&3" 2>/dev/null) && break
    sleep 0.1
  done
  grep -q '<coordinates latitude=' <<<"$reply" || {
    cat "$work/cellsvc.log" >&2
    fail "the socket-activated cellsvc did not answer $target with coordinates: $reply"
  }
  [ -f "$root/tmp/home/.local/share/cellsvc/cells.db" ] ||
    fail "the first start made no database in ~/.local/share/cellsvc"
  kill "$activator" 2>/dev/null || true
  wait "$activator" 2>/dev/null || true
else
  echo "(no systemd-socket-activate here: the service check is left out)"
fi

echo "-- dpkg --purge leaves nothing of the package, nor the enabling of cellsvc.socket"
in_root dpkg --purge "$name"
[ -L "$root$wants" ] && fail "purge left $wants"
in_root dpkg-query -W -f '${Status}' "$name" 2>/dev/null | grep -q "not-installed" ||
  [ -z "$(in_root dpkg-query -W -f '${Status}' "$name" 2>/dev/null)" ] ||
  fail "$name is still known to dpkg after the purge"
while read -r file; do
  if [ -e "$root$file" ] || [ -L "$root$file" ]; then fail "left behind: $file"; fi
done <"$work/files"

exit $((failures > 0))
