#!/usr/bin/env bash
# Builds and runs every benchmark; each prints its ratio against its baseline.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_TYPE=Release BUILD_DIR="$root/build-bench" "$root/scripts/build.sh"
command -v curl >/dev/null || { sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo; $sudo apt-get install -y -q curl; }
export QT_QPA_PLATFORM=offscreen
for b in "$root"/build-bench/bench/bench_*; do
    echo "== $(basename "$b")"
    "$b"
done
