#!/usr/bin/env bash
# cmake --install into a scratch prefix: the program, the desktop entry (valid to
# desktop-file-validate) with the documents it opens and the icon, each in its place.
#   install.sh BUILD-FOLDER
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/quorvanel" ] || fail "no program in bin/"
entry="$prefix/share/applications/quorvanel.desktop"
[ -f "$entry" ] || fail "no desktop entry"
# The validator exits 0 on hints and warnings; any line it prints is a fault here.
command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is missing (desktop-file-utils)"
verdict=$(desktop-file-validate "$entry" 2>&1) || fail "the entry is invalid: $verdict"
[ -z "$verdict" ] || fail "the validator objects: $verdict"
[ -f "$prefix/share/icons/hicolor/scalable/apps/quorvanel.svg" ] || fail "no icon"
# The files passed as paths, its own icon, an application.
for line in 'Exec=quorvanel %F' 'Icon=quorvanel' 'Type=Application'; do
  grep -qx "$line" "$entry" || fail "the entry lacks the line $line"
done
mime=$(sed -n 's/^MimeType=//p' "$entry")
for type in audio/midi application/octet-stream; do
  [[ ";$mime" == *";$type;"* ]] || fail "the entry does not open $type"
done
echo "install: 1 passed, 0 failed"
