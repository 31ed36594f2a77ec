#!/usr/bin/env bash
# The program's command line as a shell meets it: help and version without any
# display, a wrong command line refused with the usage error.
# Usage: cli.sh PROGRAM VERSION
set -uo pipefail
program=$1
version=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# No display of any kind: the program must not even try one.
headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)

out=$("${headless[@]}" "$program" --version 2>&1); status=$?
[ $status -eq 0 ] || fail "--version ended with $status: $out"
[ "$out" = "Tavrel $version" ] || fail "--version printed: $out"

out=$("${headless[@]}" "$program" -platform xcb --help 2>&1); status=$?
[ $status -eq 0 ] || fail "--help ended with $status: $out"
grep -q '^Usage: Tavrel \[options\] \[FILE\]$' <<<"$out" || fail "--help printed: $out"
grep -q -- '--version' <<<"$out" || fail "--help does not name --version: $out"

# The toolkit's own options are taken out before the check; ours must be known.
out=$(QT_QPA_PLATFORM=offscreen "$program" -platform offscreen --no-such-option 2>&1 \
    </dev/null); status=$?
[ $status -eq 2 ] || fail "an unknown option ended with $status, not 2: $out"
grep -q "Unknown option 'no-such-option'" <<<"$out" || fail "unknown option: $out"

exit $((failures > 0))
