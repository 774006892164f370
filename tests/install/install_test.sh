#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets:
# the files in their places, the installed program booting the installed
# free firmware, a valid desktop entry, MIME types and AppStream metadata,
# and a manual page that lists exactly the options of --help.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
p=$tmp/usr
for f in bin/quillon bin/asm09 bin/quillon-disk \
    share/quillon/firmware/fb30rom1.dat share/quillon/firmware/fb30rom2.dat share/quillon/firmware/fb30sub.dat \
    share/applications/org.quillon.Quillon.desktop share/mime/packages/org.quillon.Quillon.xml \
    share/icons/hicolor/scalable/apps/org.quillon.Quillon.svg \
    share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/org.quillon.Quillon.png \
    share/metainfo/org.quillon.Quillon.metainfo.xml \
    share/man/man1/quillon.1.gz share/man/man1/asm09.1.gz share/man/man1/quillon-disk.1.gz \
    share/doc/quillon/copyright share/doc/quillon/changelog.gz \
    share/doc/quillon/basic.md share/doc/quillon/examples/catch.bas; do
  [ -s "$p/$f" ] || fail "$f is not installed"
done
[ -x "$p/bin/quillon" ] && [ -x "$p/bin/asm09" ] || fail "the programs are not executable"

# The installed tree is moved before it runs: the firmware is found relative
# to the program, never at the prefix it was installed for. An empty home
# keeps the user's own firmware folder out of it.
mv "$tmp/usr" "$tmp/moved"
p=$tmp/moved
mkdir "$tmp/home"
out=$(env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$tmp/home" \
      "$p/bin/quillon" --headless --wait-text 'bytes free' --print-screen 2>&1) ||
  fail "the installed program did not boot the installed firmware: $out"

desktop-file-validate "$p/share/applications/org.quillon.Quillon.desktop" || fail "desktop entry"
appstreamcli validate --no-net --pedantic "$p/share/metainfo/org.quillon.Quillon.metainfo.xml" >"$tmp/as.log" 2>&1 ||
  { cat "$tmp/as.log" >&2; fail "AppStream metadata"; }
# The MIME database builds from our definitions and knows both types.
XDG_DATA_DIRS="$p/share" update-mime-database "$p/share/mime" 2>"$tmp/mime.log" || { cat "$tmp/mime.log" >&2; fail "MIME types"; }
[ ! -s "$tmp/mime.log" ] || { cat "$tmp/mime.log" >&2; fail "MIME warnings"; }
for t in disk tape; do
  [ -f "$p/share/mime/application/x-quillon-$t-image.xml" ] || fail "MIME type $t image is not registered"
  grep -q "application/x-quillon-$t-image;" "$p/share/applications/org.quillon.Quillon.desktop" ||
    fail "the desktop entry does not open $t images"
done

# Every option of --help is in the manual page and every option there is in
# --help.
"$p/bin/quillon" --help | grep -o -- '--[a-z][a-z-]*' | sort -u >"$tmp/help"
zcat "$p/share/man/man1/quillon.1.gz" | sed 's/\\-/-/g' | grep -o -- '--[a-z][a-z-]*' | sort -u >"$tmp/man"
[ -s "$tmp/help" ] || fail "no options in --help"
diff -u --label --help "$tmp/help" --label quillon.1 "$tmp/man" || fail "--help and the manual page list different options"
for page in quillon asm09 quillon-disk; do
  man --warnings -l "$p/share/man/man1/$page.1.gz" 2>&1 >/dev/null | (! grep .) || fail "$page manual page warnings"
done
echo "installed tree OK"
