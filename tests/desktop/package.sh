#!/usr/bin/env bash
# The Debian package as a user and the archive's checker see it: made with
# `cpack -G DEB` from the build folder, its control data and files read with
# dpkg-deb, no trace of the build folder in it, and lintian without an error.
# Usage: package.sh BUILD-DIR APP-ID
set -uo pipefail
build=$(cd "$1" && pwd)
app_id=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

out=$(mktemp -d /tmp/tavrel-deb.XXXXXX)
trap 'rm -rf "$out"' EXIT
if ! (cd "$build" && cpack -G DEB -B "$out") >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log" >&2
    echo "FAIL: cpack -G DEB" >&2
    exit 1
fi
tavrel=$(ls "$out"/tavrel_*.deb 2>/dev/null)
[ -f "$tavrel" ] || { ls -l "$out" >&2; echo "FAIL: no package" >&2; exit 1; }

# Control data: the dependencies on libraries are computed, the ones loaded at run
# time are named.
field() { dpkg-deb -f "$tavrel" "$1"; }
version=$(field Version)
depends=$(field Depends)
for dep in libespeak-ng1 libqt6widgets6 libqt6help6 libpulse0 libc6 \
        libqt6sql6-sqlite qt6-qpa-plugins; do
    grep -qF "$dep" <<<"$depends" || fail "tavrel does not depend on $dep: $depends"
done
grep -q 'libqt6widgets6 (>= ' <<<"$depends" || fail "no versioned Qt dependency: $depends"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] \
    || fail "architecture: $(field Architecture)"
shlibs=$(dpkg-deb -I "$tavrel" shlibs 2>&1)
[ "$shlibs" = "libchromel 1 tavrel (>= $version)" ] || fail "shlibs: $shlibs"
dpkg-deb -I "$tavrel" triggers 2>&1 | grep -qx 'activate-noawait ldconfig' \
    || fail "no ldconfig trigger"

# Files: each where the desktop and the program look for it.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
list=$(dpkg-deb -c "$tavrel" | awk '{print $6}')
expect() {
    for path in "$@"; do
        grep -qxF "./$path" <<<"$list" || fail "the package lacks /$path"
    done
}
for size in 16 32 48 64 128 256; do
    expect "usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
done
expect usr/bin/Tavrel "usr/share/applications/$app_id.desktop" \
    "usr/share/metainfo/$app_id.metainfo.xml" \
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg" usr/share/man/man1/Tavrel.1.gz \
    usr/share/tavrel/help/Tavrel.qhc usr/share/tavrel/help/Tavrel.qch \
    usr/share/doc/tavrel/copyright usr/share/doc/tavrel/changelog.Debian.gz \
    "usr/lib/$multiarch/libchromel.so.1.0.0" "usr/lib/$multiarch/libchromel.so.1" \
    "usr/lib/$multiarch/libchromel.so" "usr/lib/$multiarch/tavrel/controls/libchromel_plugin.so" \
    "usr/lib/$multiarch/qt6/plugins/designer/libchromel_designer.so" \
    usr/include/chromel/clrselect.h usr/include/chromel/palette.h \
    usr/include/chromel/chromelglobal.h

# Nothing in the package points back into the build folder.
mkdir -p "$out/root"
dpkg-deb -x "$tavrel" "$out/root"
if grep -rlF "$build" "$out/root" >&2; then
    fail "the files above name the build folder $build"
fi
while IFS= read -r -d '' object; do
    runpath=$(readelf -d "$object" 2>/dev/null | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
    case "$runpath" in
        ''|'$ORIGIN'*) ;;
        *) fail "$object searches $runpath" ;;
    esac
done < <(find "$out/root" -type f \( -name '*.so*' -o -path '*/bin/*' \) -print0)

# lintian: errors fail, warnings are shown.
if ! lintian --fail-on error --tag-display-limit 0 "$tavrel" \
        >"$out/lintian.log" 2>&1; then
    fail "lintian"
fi
grep -v '^running with root privileges' "$out/lintian.log"

[ $failures -eq 0 ] || exit 1
echo "$(basename "$tavrel") is sound"
