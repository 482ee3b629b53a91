#!/usr/bin/env bash
# Builds everything and runs every test headless.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
build_dir="${BUILD_DIR:-$root/build}"
[ "${LUNOVEX_SANITIZE:-OFF}" = "ON" ] && build_dir="${BUILD_DIR:-$root/build-sanitize}"
cd "$build_dir"
ctest --output-on-failure -j "$(nproc)"
