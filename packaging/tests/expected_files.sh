#!/usr/bin/env bash
# Prints, sorted, every file and symlink that an install with prefix /usr must hold:
#
#   expected_files.sh <layout.env> install   what `cmake --install` puts down
#   expected_files.sh <layout.env> deb       what the Debian package holds
#
# The long parts come from the rules that make them: the recordings from the monitor's own list
# of numbers, the icons from the list of sizes.
set -euo pipefail

# shellcheck source=/dev/null
source "$1"
mode=$2

{
  echo usr/bin/kestrel
  echo usr/bin/plover
  echo usr/libexec/kestrel/kestrel
  "$NUMBER_LISTER" | sed 's|.*|usr/libexec/kestrel/sound/&.MP3|'

  if [ "$mode" = deb ]; then tools=$PACKAGED_TOOLS; else tools=$INSTALLED_TOOLS; fi
  for tool in $tools; do echo "usr/bin/$tool"; done

  for page in kestrel plover $tools; do echo "usr/share/man/man1/$page.1.gz"; done

  case " $tools " in
  *" cellsvc "*)
    echo usr/lib/systemd/user/cellsvc.socket
    echo usr/lib/systemd/user/cellsvc.service
    echo usr/share/cellsvc/cells-sample.csv.gz
    echo usr/share/cellsvc/sample-cell.ini
    ;;
  esac

  for program in kestrel plover; do
    id=$DESKTOP_ID_PREFIX.$program
    echo "usr/share/applications/$id.desktop"
    echo "usr/share/metainfo/$id.metainfo.xml"
    echo "usr/share/icons/hicolor/scalable/apps/$id.svg"
    for size in $ICON_SIZES; do echo "usr/share/icons/hicolor/${size}x$size/apps/$id.png"; done
  done

  echo usr/lib/udev/rules.d/70-kestrel-huawei.rules

  if [ "$mode" = deb ]; then
    echo "usr/share/doc/$DEB_PACKAGE_NAME/copyright"
    echo "usr/share/doc/$DEB_PACKAGE_NAME/changelog.gz"
  fi
} | LC_ALL=C sort
