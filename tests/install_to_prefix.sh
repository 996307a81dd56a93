#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the built program under a prefix of its own and checks that
# everything lands beneath it, and that the command runs the program that
# finds its collection:  tests/install_to_prefix.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for path in bin/sayvane libexec/sayvane/sayvane libexec/sayvane/sayvane-window.so libexec/sayvane/Data/authors.txt libexec/sayvane/Data/subjects.txt \
            share/applications/sayvane.desktop share/icons/hicolor/32x32/apps/sayvane.png \
            share/metainfo/org.example.sayvane.metainfo.xml share/man/man1/sayvane.1.gz \
            share/doc/sayvane/copyright share/doc/sayvane/changelog.gz; do
  [ -e "$prefix/$path" ] || fail "the install lacks $path under the prefix"
done
[ "$(readlink "$prefix/bin/sayvane")" = ../libexec/sayvane/sayvane ] || fail "bin/sayvane is not a relative link to the program"
[ "$(realpath "$prefix/bin/sayvane")" = "$(realpath "$prefix/libexec/sayvane/sayvane")" ] || fail "bin/sayvane leads elsewhere"
# The installed command starts the program, which finds its collection
# beside itself: no file is missing, and the window stays until ended.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/sayvane" 2> "$prefix/stderr" || status=$?
[ "$status" = 124 ] || fail "the installed command ended with status $status: $(cat "$prefix/stderr")"
grep -q "No such file" "$prefix/stderr" && fail "the installed command did not find its collection"
echo "ok: everything installed under $prefix"
