#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR), installing missing packages first.
# LUNOVEX_SANITIZE=ON builds with AddressSanitizer and UBSan (into build-sanitize/ by default).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

sanitize="${LUNOVEX_SANITIZE:-OFF}"
default_dir="$root/build"
[ "$sanitize" = "ON" ] && default_dir="$root/build-sanitize"
build_dir="${BUILD_DIR:-$default_dir}"

cmake -S "$root" -B "$build_dir" -G Ninja \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  -DLUNOVEX_SANITIZE="$sanitize" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
