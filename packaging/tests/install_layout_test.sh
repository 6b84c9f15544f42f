#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with prefix /usr and checks what lands there:
# exactly the expected files, bin/kestrel a relative link to the real program, the monitor
# finding its recordings through that link, the menu entries naming installed programs and
# icons, and the udev rule.
#
#   install_layout_test.sh <layout.env> <work-folder>
set -euo pipefail

env_file=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=/dev/null
source "$env_file"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work"
root=$work/root
# cmake --install rewrites the build's install_manifest.txt: keep the one of a real install,
# which tells how to remove it.
manifest=$BUILD_DIR/install_manifest.txt
if [ -f "$manifest" ]; then cp -p "$manifest" "$work/manifest.kept"; fi
restore_manifest() {
  if [ -f "$work/manifest.kept" ]; then cp -p "$work/manifest.kept" "$manifest"; else rm -f "$manifest"; fi
}
trap restore_manifest EXIT
DESTDIR=$root cmake --install "$BUILD_DIR" --prefix /usr >"$work/install.log"

echo "== the installed files, and nothing else"
(cd "$root" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort) >"$work/actual"
"$here/expected_files.sh" "$env_file" install >"$work/expected"
diff -u "$work/expected" "$work/actual" ||
  fail "the installed files differ from the expected list (-: missing, +: unexpected)"
writable=$(cd "$root" && find . -type f -perm /022 -printf '%P\n')
[ -z "$writable" ] || fail "files writable by group or others: $writable"

echo "== bin/kestrel leads to the real program beside its recordings"
link=$root/usr/bin/kestrel
if [ ! -L "$link" ]; then
  fail "usr/bin/kestrel is not a symlink"
else
  target=$(readlink "$link")
  case $target in
  /*) fail "usr/bin/kestrel points at the absolute path $target, wrong inside a DESTDIR" ;;
  esac
  real=$(realpath -m "$link")
  [ "$real" = "$(realpath -m "$root/usr/libexec/kestrel/kestrel")" ] ||
    fail "usr/bin/kestrel leads to $real"
  [ -x "$real" ] || fail "$real is not an executable"

  # The probe asks Qt for the executable's folder as kestrel's main() does, started through a
  # link made like bin/kestrel.
  cp "$FOLDER_PROBE" "$root/usr/libexec/kestrel/folder-probe"
  ln -s "$(dirname "$target")/folder-probe" "$root/usr/bin/folder-probe"
  looked_in=$("$root/usr/bin/folder-probe")
  sound=$(realpath -m "$root/usr/libexec/kestrel/sound")
  [ "$looked_in" = "$sound" ] || fail "started as usr/bin/kestrel, the monitor looks in $looked_in"
  while read -r number; do
    [ -s "$looked_in/$number.MP3" ] || fail "no recording $number.MP3 where the monitor looks"
  done < <("$NUMBER_LISTER")
  rm "$root/usr/bin/folder-probe" "$root/usr/libexec/kestrel/folder-probe"
fi

echo "== menu entries name installed programs and icons"
for program in kestrel plover; do
  id=$DESKTOP_ID_PREFIX.$program
  entry=$root/usr/share/applications/$id.desktop
  [ -f "$entry" ] || continue
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  [ -x "$root/usr/bin/$exec_name" ] || fail "$id.desktop starts $exec_name, not in usr/bin"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
    fail "$id.desktop shows icon $icon, not installed"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "$root/usr/share/metainfo/$id.metainfo.xml" || fail "$id.metainfo.xml does not launch $id.desktop"
done

echo "== the udev rule marks only the AT port of Huawei sticks, and leaves the port in group dialout"
rule=$root/usr/lib/udev/rules.d/70-kestrel-huawei.rules
if [ -f "$rule" ]; then
  rules=$(grep -vE '^[[:space:]]*(#|$)' "$rule")
  grep -qF 'ENV{ID_VENDOR_ID}!="12d1", GOTO=' <<<"$rules" || fail "the rule is not limited to vendor 12d1"
  grep -qF 'ENV{ID_MM_PORT_IGNORE}="1"' <<<"$rules" || fail "no rule sets ID_MM_PORT_IGNORE=1"
  if grep -qF 'ID_MM_DEVICE_IGNORE' <<<"$rules"; then
    fail "the rule hides whole devices from ModemManager (ID_MM_DEVICE_IGNORE)"
  fi
  if grep -qE '(GROUP|MODE|OWNER)[[:space:]]*:?=' <<<"$rules"; then
    fail "the rule changes the port's group, mode or owner; it must stay root:dialout"
  fi
fi

echo "== manual pages and the service unit name the paths of this install"
for page in "$root"/usr/share/man/man1/*.1.gz; do
  text=$(zcat "$page")
  grep -q '^\.SH EXIT STATUS' <<<"$text" || fail "$(basename "$page") has no EXIT STATUS section"
  grep -q '@[A-Z_]*@' <<<"$text" && fail "$(basename "$page") holds an unreplaced @NAME@"
  if grep -q '/usr/local' <<<"$text"; then fail "$(basename "$page") names /usr/local"; fi
  if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null || true)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  fi
done
# The options a program's --help lists are those its page describes (cellsvc: of each command).
cellsvc=$root/usr/bin/cellsvc
if [ -x "$cellsvc" ]; then
  page=$(zcat "$root/usr/share/man/man1/cellsvc.1.gz" | sed 's/\\-/-/g')
  for option in $({ "$cellsvc" import --help && "$cellsvc" serve --help; } |
    grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "$option" <<<"$page" || fail "cellsvc's --help lists $option, its manual page does not"
  done
fi
unit=$root/usr/lib/systemd/user/cellsvc.service
if [ -f "$unit" ]; then
  exec_start=$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$unit")
  if [ "$exec_start" != /usr/bin/cellsvc ] || [ ! -x "$root$exec_start" ]; then
    fail "cellsvc.service starts $exec_start, not the installed /usr/bin/cellsvc"
  fi
fi

if ((failures)); then
  echo "$failures check(s) failed; the install is in $root" >&2
  exit 1
fi
echo "install layout: all checks passed"
