#!/usr/bin/env bash
# Checks the Debian package made by `cpack -G DEB`: its control fields and run-time
# dependencies, exactly the expected files, lintian, and (as root, in a copy-on-write copy of
# this machine's root) that it installs, that its programs start, and that it removes cleanly.
#
#   check_deb.sh <layout.env> <package.deb> <work-folder>
set -euo pipefail

env_file=$1 deb=$(realpath "$2") work=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=/dev/null
source "$env_file"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
field() { dpkg-deb --field "$deb" "$1"; }

rm -rf "$work"
mkdir -p "$work"

echo "== control fields (dpkg-deb --info)"
dpkg-deb --info "$deb"
[ "$(field Package)" = "$DEB_PACKAGE_NAME" ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$VERSION" ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
# What the programs load at run time without linking it: Qt Multimedia's GStreamer backend and
# its MP3 decoder, and the fonts the windows name.
for needed in gstreamer1.0-plugins-base gstreamer1.0-plugins-good fonts-liberation2; do
  grep -qxF "$needed" <<<"$depends" || fail "Depends lacks $needed"
done
# Every library the packaged programs link, by the installed package that holds it.
dpkg-deb --extract "$deb" "$work/unpacked"
while read -r program; do
  readelf --dynamic "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'
done < <(find "$work/unpacked" -type f -perm -u+x -exec sh -c 'file -b "$1" | grep -q ELF' _ {} \; -print) |
  LC_ALL=C sort -u >"$work/needed"
[ -s "$work/needed" ] || fail "found no linked libraries in the package's programs"
multiarch=$(dpkg-architecture --query DEB_HOST_MULTIARCH)
while read -r library; do
  holder=$(dpkg -S "*/$multiarch/$library" 2>/dev/null | head -n 1 | cut -d: -f1)
  if [ -z "$holder" ]; then
    fail "no installed package holds $library"
  elif ! grep -qxF "$holder" <<<"$depends"; then
    fail "Depends lacks $holder, which holds $library"
  fi
done <"$work/needed"
if grep -qE '^lib(asan|ubsan)' <<<"$depends"; then
  fail "Depends names a sanitizer library: package a build without sanitizers"
fi
grep -qw plover <<<"$(field Conflicts)" || fail "no Conflicts with Debian's plover (/usr/bin/plover)"

echo "== files (dpkg-deb --contents)"
dpkg-deb --contents "$deb" >"$work/contents"
awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' "$work/contents" | LC_ALL=C sort >"$work/actual"
"$here/expected_files.sh" "$env_file" deb >"$work/expected"
diff -u "$work/expected" "$work/actual" ||
  fail "the package's files differ from the expected list (-: missing, +: unexpected)"
awk '$2 != "root/root" { print "FAIL: not owned by root: " $0; bad = 1 } END { exit bad }' \
  "$work/contents" || fail "files not owned by root"
grep -qF './usr/bin/kestrel -> ../libexec/kestrel/kestrel' "$work/contents" ||
  fail "usr/bin/kestrel is not the relative link to ../libexec/kestrel/kestrel"

echo "== lintian"
lintian --info --display-info --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"

# The install check needs a private mount namespace with an overlay of / in it; containers
# without those rights skip it rather than fail.
overlay_possible() {
  local t rc
  t=$(mktemp -d)
  mkdir -p "$t/upper" "$t/scratch" "$t/root"
  unshare --mount --propagation private \
    mount -t overlay overlay -o "lowerdir=/,upperdir=$t/upper,workdir=$t/scratch" "$t/root" \
    2>/dev/null
  rc=$?
  rm -rf "$t"
  return $rc
}

if [ "$(id -u)" -ne 0 ]; then
  echo "(not root: the install and removal check is left out)"
elif ! overlay_possible; then
  echo "(no overlay mount in a private namespace here: the install and removal check is left out)"
else
  echo "== install, start offscreen, remove (in a copy-on-write copy of /)"
  bash "$here/install_deb_in_overlay.sh" "$deb" "$work/overlay" || fail "install/start/remove failed"
fi

if ((failures)); then
  echo "$failures check(s) of $deb failed" >&2
  exit 1
fi
echo "package: all checks passed"
