#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need.
# Idempotent: asks apt only when something is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-private-dev qt6-multimedia-dev qt6-tools-dev qt6-tools-dev-tools
    qt6-documentation-tools qt6-l10n-tools libqt6uitools6 qt6-qpa-plugins
    espeak-ng libespeak-ng-dev espeak-ng-data flite1-dev libsonic-dev libsamplerate0-dev
    libpulse-dev libsndfile1-dev
    libbenchmark-dev
    clang-14 libclang-rt-14-dev
    xvfb xauth xdotool x11-utils
    pulseaudio pulseaudio-utils sox
    imagemagick poppler-utils
    cups-client cups-daemon cups-filters printer-driver-cups-pdf
    fonts-dejavu fonts-liberation2 fonts-urw-base35
    librsvg2-bin desktop-file-utils appstream man-db dpkg-dev fakeroot lintian
    at-spi2-core dbus python3-pyatspi
)
# Installed without their recommendations, which would bring a desktop's worth:
# LibreOffice reads the RTF the program writes (48 packages, about two minutes).
lean_packages=(
    libreoffice-writer-nogui
)

is_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}
missing=()
for p in "${packages[@]}"; do
    is_installed "$p" || missing+=("$p")
done
missing_lean=()
for p in "${lean_packages[@]}"; do
    is_installed "$p" || missing_lean+=("$p")
done

if [ $((${#missing[@]} + ${#missing_lean[@]})) -gt 0 ]; then
    echo "Installing: ${missing[*]} ${missing_lean[*]}"
    export DEBIAN_FRONTEND=noninteractive
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    [ ${#missing[@]} -eq 0 ] || "${sudo_cmd[@]}" apt-get install -y "${missing[@]}"
    [ ${#missing_lean[@]} -eq 0 ] ||
        "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing_lean[@]}"
fi
