#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks a built Debian package: lintian finds nothing to warn of, it
# holds the manual page, copyright and changelog, its desktop entry and
# metainfo validate, and the program unpacked into a temporary root,
# started through its /usr/bin link, finds its collection and shows the
# same window, lists filled, as the program in the build tree.
#   tests/package_on_screen.sh PACKAGE.deb BUILT_PROGRAM
set -euo pipefail
package=$1
built=$2
source "$(dirname "$0")/lib/on_screen.sh"
root=$work/root
mkdir "$root"

lintian --fail-on error,warning "$package" ||
  fail "lintian finds errors or warnings in the package"
dpkg-deb -x "$package" "$root"
for path in usr/share/man/man1/sayvane.1.gz usr/share/doc/sayvane/copyright usr/share/doc/sayvane/changelog.gz \
            usr/share/doc/sayvane/README.md \
             usr/libexec/sayvane/sayvane usr/libexec/sayvane/Data/authors.txt usr/libexec/sayvane/Data/subjects.txt \
            usr/share/applications/sayvane.desktop usr/share/icons/hicolor/32x32/apps/sayvane.png \
            usr/share/icons/hicolor/256x256/apps/sayvane.png usr/share/metainfo/org.example.sayvane.metainfo.xml; do
  [ -e "$root/$path" ] || fail "the package lacks /$path"
done
[ "$(readlink "$root/usr/bin/sayvane")" = ../libexec/sayvane/sayvane ] || fail "/usr/bin/sayvane is not a link to the program"
dpkg-deb -f "$package" Depends | grep -q libqt6widgets6 || fail "the package does not depend on the Qt libraries it links"
desktop-file-validate "$root/usr/share/applications/sayvane.desktop" || fail "desktop entry"
# The desktop entry claims no folder type, so that Sayvane never becomes
# the program that opens folders; "Open With" can still hand it one.
entry="$root/usr/share/applications/sayvane.desktop"
! grep -q '^MimeType=.*inode/directory' "$entry" || fail "the desktop entry claims folders"
grep -qx 'Exec=sayvane %f' "$entry" || fail "the desktop entry does not pass the folder to the program"
# With the package's entries as the only ones (the desktop database made as
# installing makes it) and no default set, neither query names Sayvane.
update-desktop-database "$root/usr/share/applications"
mkdir -p "$work/home" "$work/config"
queries=$(XDG_DATA_DIRS="$root/usr/share" XDG_DATA_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS=/nonexistent \
  bash -c 'gio mime inode/directory 2>&1; xdg-mime query default inode/directory 2>&1' || true)
! grep -qi sayvane <<< "$queries" || fail "a folder would open in Sayvane: $queries"
# The file managers' actions offer it on a folder's menu instead. KDE's
# service menu is a desktop entry of its own type, whose three keys of
# that type the freedesktop validator does not know; nothing else may err.
menu="$root/usr/share/kio/servicemenus/sayvane-open-collection.desktop"
errors=$(desktop-file-validate "$menu" 2>&1 | grep -v -e 'required key "Name" in group "Desktop Entry"' \
  -e 'key "MimeType" is present in group "Desktop Entry", but the type is "Service"' \
  -e 'key "Actions" is present in group "Desktop Entry", but the type is "Service"' || true)
[ -z "$errors" ] || fail "the service menu: $errors"
for line in 'Type=Service' 'MimeType=inode/directory;' 'Actions=openCollection;' '[Desktop Action openCollection]' \
            'Name=Open as quotation collection' 'Exec=sayvane %f'; do
  grep -qxF "$line" "$menu" || fail "the service menu lacks $line"
done
action="$root/usr/share/nemo/actions/sayvane-open-collection.nemo_action"
[ "$(grep -v -e '^#' -e '^$' "$action" | head -n1)" = '[Nemo Action]' ] || fail "the Nemo action has no [Nemo Action] group"
for line in 'Name=Open as quotation collection' 'Exec=sayvane %F' 'Selection=s' 'Extensions=dir;'; do
  grep -qxF "$line" "$action" || fail "the Nemo action lacks $line"
done
bad=$(grep -v -e '^#' -e '^$' -e '^\[Nemo Action\]$' -e '^[A-Za-z-]*=' "$action" || true)
[ -z "$bad" ] || fail "the Nemo action holds lines that are not keys: $bad"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.sayvane.metainfo.xml" >/dev/null || fail "metainfo"
version=$(dpkg-deb -f "$package" Version)
manual=$(zcat "$root/usr/share/man/man1/sayvane.1.gz")
for words in "Sayvane $version" '\\-\\-version' 'FOLDER' 'COLLECTION FORMAT'; do
  grep -q -e "$words" <<< "$manual" || fail "the manual page lacks '$words'"
done
[ "$("$root/usr/bin/sayvane" --version)" = "Sayvane $version" ] || fail "the packaged program does not say its version"
zcat "$root/usr/share/doc/sayvane/changelog.gz" | head -n1 | grep -q "^sayvane ($version) " ||
  fail "the changelog does not begin with version $version"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.example.sayvane.metainfo.xml" ||
  fail "the metainfo does not name the package's version $version"

shoot() { # program picture
  "$1" & local pid=$!
  local window
  window=$(wait_window '^Sayvane !$') || { kill "$pid" 2>/dev/null; fail "$1 showed no window"; }
  sleep 0.5
  import -window "$window" "$2"
  kill "$pid"; wait "$pid" 2>/dev/null || true
}
shoot "$root/usr/bin/sayvane" "$root/unpacked.png"
shoot "$built" "$root/built.png"
differing=$(compare -metric AE "$root/unpacked.png" "$root/built.png" null: 2>&1 || true)
[ "$differing" = 0 ] || fail "the unpacked program's window differs from the built one's in $differing pixels"
# Both lists hold names: their first rows are not blank.
for area in 150x12+18+138 120x12+546+138; do
  colours=$(convert "$root/unpacked.png" -crop "$area" -format '%k' info:)
  [ "$colours" -gt 1 ] || fail "the list at $area is empty"
done
echo "ok: the unpacked package finds its collection and fills both lists"
