#!/usr/bin/env bash
# Builds the Debian package from the build (as `make package` does, into a
# temporary folder), extracts it, runs the extracted program against the
# firmware the package carries, and lets lintian look at it.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$tmp"/out/quillon_*.deb)

# Dependencies come from the libraries the programs link.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6widgets6 qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

dpkg-deb -x "$deb" "$tmp/root"
mkdir "$tmp/home"
out=$(env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$tmp/home" \
      "$tmp/root/usr/bin/quillon" --headless --wait-text 'bytes free' 2>&1) ||
  fail "the packaged program did not boot the packaged firmware: $out"

# Errors only; warnings and notes are for the packager to weigh. lintian
# refuses to check as root without this.
lintian --allow-root --fail-on error --tag-display-limit 0 "$deb" >"$tmp/lintian.log" 2>&1 ||
  { cat "$tmp/lintian.log" >&2; fail "lintian"; }
echo "package OK: $(basename "$deb")"
