#!/usr/bin/env bash
# Builds the app and launches it against the sample publisher site, served on loopback, so that the
# whole road (search page, harvest, analysis, download) can be tried without an account.
# The demo keeps its settings and browser profile under build/demo/, apart from a normal run's.
# LUNOVEX_DEMO_PORT picks the site's port (8765 unless set); LUNOVEX_DEMO_UNRULY=1 makes the site answer
# 429 with Retry-After now and then and serve one PDF cut short.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
build_dir="${BUILD_DIR:-$root/build}"
demo="$build_dir/demo"
mkdir -p "$demo/config" "$demo/data" "$demo/cache" "$demo/downloads"

address_file="$(mktemp)"
unruly=()
[ -n "${LUNOVEX_DEMO_UNRULY:-}" ] && unruly=(--unruly)
"$build_dir/lunovex-sample-site" "$root/tests/fixtures/sample-site" "${LUNOVEX_DEMO_PORT:-8765}" "${unruly[@]}" >"$address_file" &
site=$!
trap 'kill "$site" 2>/dev/null || true; rm -f "$address_file"' EXIT
for _ in $(seq 50); do
    [ -s "$address_file" ] && break
    kill -0 "$site" 2>/dev/null || { echo "the sample site did not start (is the port in use?)" >&2; exit 1; }
    sleep 0.1
done
home="$(head -n1 "$address_file")"
echo "Sample site: $home"
echo "Open 资料检索下载, search, press 加入全部到列表, then 分析下载."
echo "In the download window, 网页登录: 网址 ${home%/}/action/login, account demo / demo (or IP登录 with"
echo "${home%/}/action/ipLogin), 测试登录, then 开始下载. Tick 自动登录 to have a lapsed session logged in again."
echo "A save folder for the demo is ready: $demo/downloads"

LUNOVEX_PUBLISHER_HOME="$home" LUNOVEX_MAKER_SITE="$home" XDG_CONFIG_HOME="$demo/config" XDG_DATA_HOME="$demo/data" \
    XDG_CACHE_HOME="$demo/cache" "$build_dir/Lunovex" "$@"
