#!/usr/bin/env bash
# Installs what is needed, builds, and starts Tavrel.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh
exec "${TAVREL_BUILD_DIR:-build}/bin/Tavrel" "$@"
