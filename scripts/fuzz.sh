#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (into build-fuzz/) and runs one of them for a while.
#   ./scripts/fuzz.sh fuzz_extraction 300     five minutes on the page extraction
# Inputs it finds that crash are written to build-fuzz/findings/; copy each into
# fuzz/corpus/<target>/ and mend what it shows: the test command replays the corpus from then on.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:-fuzz_extraction}"
seconds="${2:-60}"
"$root/scripts/install-deps.sh"

packages=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build_dir="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUNOVEX_FUZZ=ON -DLUNOVEX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target "$target"

# The corpus grows in a working copy; the seeds in the repository stay as they are.
work="$build_dir/corpus/$target"
mkdir -p "$work" "$build_dir/findings"
cp -n "$root/fuzz/corpus/$target/"* "$work/" 2>/dev/null || true
cd "$build_dir"
ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}" \
  "./fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -artifact_prefix="$build_dir/findings/$target-" "$work"
