#!/usr/bin/env bash
# The desktop integration files as the desktop's own tools judge them: the desktop
# entry, the AppStream metainfo (offline) and the manual page. Any complaint fails.
# Usage: validate.sh DESKTOP-ENTRY METAINFO MANUAL-PAGE
set -uo pipefail
desktop=$1
metainfo=$2
manpage=$3
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# desktop-file-validate reports hints and warnings with a zero exit code.
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Exec=Tavrel %f' "$desktop" || fail "the desktop entry does not start Tavrel %f"

# Pedantic: every hint of the validator is taken, not only errors and warnings.
out=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1) \
    || fail "appstreamcli validate failed: $out"
grep -q '^[EWIP]:' <<<"$out" && fail "appstreamcli validate: $out"

# The manual page renders, and groff finds nothing to warn about (as lintian checks).
out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$manpage" \
    2>&1 >/dev/null) || fail "man -l failed: $out"
[ -z "$out" ] || fail "man --warnings: $out"
text=$(MANWIDTH=80 man -E UTF-8 -l "$manpage" 2>/dev/null)
grep -q 'Tavrel - a rich-text pad that reads its text aloud' <<<"$text" \
    || fail "the manual page has no NAME line: $text"

[ $failures -eq 0 ] || exit 1
echo "$(basename "$desktop"), $(basename "$metainfo") and $(basename "$manpage") are valid"
