#!/usr/bin/env bash
# The Debian package as a user gets it: built with the distribution's hardening flags by
# tools/build-deb.sh, it holds the program, its help, manual page, desktop file, AppStream data,
# copyright, changelog and notices and not the scenario runner; lintian finds no error and no
# missing hardening, and the AppStream data and the desktop file validate.
# Usage: package_check.sh BUILD_FOLDER_FOR_THE_PACKAGE
set -u
. "$(dirname "$0")/../skip_test.sh"
here=$(cd "$(dirname "$0")" && pwd)
build=$1
for tool in dpkg-deb dpkg-buildflags lintian appstreamcli desktop-file-validate; do
  command -v "$tool" >/dev/null 2>&1 || skip_test "$tool is not installed"
done
work=$(mktemp -d /tmp/roarmark-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

deb=$(bash "$here/../../tools/build-deb.sh" "$build" 2>"$work/build.log" | tail -n 1)
if [ ! -f "$deb" ]; then
  tail -40 "$work/build.log"
  echo "FAIL: no package was built"
  exit 1
fi
echo "package: $deb"

dpkg-deb -c "$deb" | sed -n 's|^[^.]* \./|/|p' >"$work/files"
for file in /usr/bin/roarmark /usr/share/applications/org.quillmoor.Roarmark.desktop \
  /usr/share/metainfo/org.quillmoor.Roarmark.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/roarmark.svg /usr/share/man/man1/roarmark.1.gz \
  /usr/share/doc/roarmark/copyright /usr/share/doc/roarmark/changelog.Debian.gz \
  /usr/share/doc/roarmark/NOTICES.txt "/usr/share/roarmark/help/Roarmark Help English.pdf"; do
  grep -qxF "$file" "$work/files" || fail "the package lacks $file"
done
grep -q 'roarmark-sim' "$work/files" && fail "the package holds the scenario runner"

dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.quillmoor.Roarmark.metainfo.xml" ||
  fail "appstreamcli validate"
desktop-file-validate "$work/root/usr/share/applications/org.quillmoor.Roarmark.desktop" ||
  fail "desktop-file-validate"
dpkg-deb -f "$deb" Description | awk 'length > 79 { bad = 1 } END { exit bad }' ||
  fail "the description has lines of 80 columns or more"

# Informational tags too, as the hardening ones are among them.
lintian -I --fail-on error "$deb" >"$work/lintian" 2>&1
status=$?
cat "$work/lintian"
[ $status = 0 ] || fail "lintian reports errors"
grep -q 'hardening-no-' "$work/lintian" && fail "lintian finds hardening missing"
[ $failed = 0 ] && echo "package check passed"
exit $failed
