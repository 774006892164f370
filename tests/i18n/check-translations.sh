#!/usr/bin/env bash
# Every text of the program's Qt parts goes through the translation and has
# its English translation: lupdate, run over the sources into a copy of the
# .ts file, must find no text that is new or left unfinished, and must leave
# the file as it is (no texts that are gone, nothing out of date).
# Usage: check-translations.sh LUPDATE SOURCE_DIR TS_FILE DIR...
set -euo pipefail
lupdate=$1 src=$2 ts=$3
shift 3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$ts" "$tmp/check.ts"
if ! (cd "$src" && "$lupdate" "$@" -source-language ja -target-language en -no-obsolete -locations none \
        -ts "$tmp/check.ts") >"$tmp/log" 2>&1; then
  cat "$tmp/log"
  exit 1
fi
status=0
if grep -n -B2 -E 'type="unfinished"|<translation></translation>' "$tmp/check.ts"; then
  echo "these texts have no English translation in $ts" >&2
  status=1
fi
if ! diff -u "$ts" "$tmp/check.ts"; then
  echo "$ts is out of date: cmake --build build --target update_translations, then translate" >&2
  status=1
fi
exit $status
