#!/usr/bin/env bash
# Builds the app and launches it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
exec "${BUILD_DIR:-$root/build}/Lunovex" "$@"
