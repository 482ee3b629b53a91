#!/usr/bin/env bash
# Builds everything and runs every test headless.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
build_dir="${BUILD_DIR:-$root/build}"
[ "${LUNOVEX_SANITIZE:-OFF}" = "ON" ] && build_dir="${BUILD_DIR:-$root/build-sanitize}"
if [ "${LUNOVEX_SANITIZE:-OFF}" = "ON" ]; then
    # Chromium inside Qt WebEngine frees some objects through a base pointer of another size
    # (new-delete-type-mismatch) and keeps caches: neither is ours to mend.
    export LSAN_OPTIONS="suppressions=$root/scripts/sanitizer-suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    export ASAN_OPTIONS="new_delete_type_mismatch=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
fi
cd "$build_dir"
ctest --output-on-failure -j "$(nproc)"
