#!/usr/bin/env bash
# Tavrel installed into a folder of its own and read by a screen reader's client:
# a private session bus starts the accessibility bus and its registry on demand,
# and atspi.py walks the program's windows over AT-SPI. The installed program must
# find its colour selector and its help from its own place.
# Usage: atspi.sh BUILD-DIR   (needs DISPLAY)
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tavrel-atspi.XXXXXX)
trap 'rm -rf "$work"' EXIT

if ! cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "FAIL: cmake --install" >&2
    exit 1
fi
# The installed program sees nothing of the build folder nor of the user's files.
mkdir -m 700 "$work/home"
export XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache" \
    XDG_DATA_HOME="$work/home/.local/share" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset QT_QPA_PLATFORM LD_LIBRARY_PATH
# The system's interpreter, which has the AT-SPI bindings.
dbus-run-session -- /usr/bin/python3 "$here/atspi.py" "$work/prefix/bin/Tavrel" 2>&1 \
    | grep -v -e 'fd limit' -e '^dbus-daemon' -e '^SpiRegistry'
exit "${PIPESTATUS[0]}"
