#!/usr/bin/env bash
# Installs what is needed, builds, starts the services the tests use (an X server,
# a PulseAudio server with a null sink and a CUPS server with a PDF printer), runs
# the whole suite, and stops the services again by process id.
#
# Arguments, when given, go to ctest instead of running the whole suite, and the
# extra checks of tools/test.d are left out: tools/test.sh -R tst_documents
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/install-deps.sh
tools/build.sh
build_dir=${TAVREL_BUILD_DIR:-build}

runtime=$(mktemp -d /tmp/tavrel-test.XXXXXX)
# The print filters run as the lp user and must pass through this folder to reach
# the CUPS server's files; the other services keep theirs in private folders.
chmod 711 "$runtime"
xvfb_pid=""
pulse_pid=""
cups_pid=""
cleanup() {
    [ -n "$cups_pid" ] && kill "$cups_pid" 2>/dev/null || true
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT

# X server: a free display number, a 1280x1024 screen.
display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
done
Xvfb ":${display}" -screen 0 1280x1024x24 -nolisten tcp >"$runtime/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":${display}"
for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${display}" ] && break
    sleep 0.1
done

# PulseAudio server of our own with a null sink; its monitor is what the audio
# tests record.
export XDG_RUNTIME_DIR="$runtime/xdg"
export PULSE_RUNTIME_PATH="$runtime/pulse"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$PULSE_RUNTIME_PATH"
pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no \
    --load="module-null-sink sink_name=tavrel_null" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$PULSE_RUNTIME_PATH/native" \
    --log-level=error >"$runtime/pulse.log" 2>&1 &
pulse_pid=$!
export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
for _ in $(seq 1 50); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
done

# CUPS server with a PDF printer for the printing tests.
. tools/cups-server.sh
start_cups_server "$runtime"

status=0
if [ $# -gt 0 ]; then
    ctest --test-dir "$build_dir" --output-on-failure --timeout 300 "$@" || status=$?
    exit $status
fi
ctest --test-dir "$build_dir" --output-on-failure --timeout 300 -j2 || status=$?

# Extra checks that live beside the suite (fuzzing replays and bounded runs).
for extra in tools/test.d/*.sh; do
    [ -e "$extra" ] || continue
    echo "== $extra"
    bash "$extra" || status=$?
done

exit $status
