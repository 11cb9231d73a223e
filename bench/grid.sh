#!/usr/bin/env bash
# The archive list grid (TQnNDBGrid over TQnQuery, drawn offscreen) on the demo database of 1,000,000
# archives that bench/archive_list.sh makes (made here too when missing), under $VUZAZO_BENCH_DIR.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUZAZO_BUILD_DIR:-$top/build}
data=${VUZAZO_BENCH_DIR:-/tmp/vuzazo-bench}/list
archives=${BENCH_ARCHIVES:-1000000}
details=${BENCH_DETAILS:-3000000}
export XDG_CONFIG_HOME=$data/config
if [ ! -f "$data/install/Database/vuzazo.db" ] || [ ! -f "$data/install/.demo-$archives-$details" ]; then
    rm -rf "$data"
    mkdir -p "$data"
    "$build/src/cli/vuzazo-cli" init --install-dir "$data/install" >/dev/null
    echo "making the demo database ($archives archives, $details detail items)..."
    "$build/src/cli/vuzazo-cli" demo --install-dir "$data/install" --archives "$archives" --details "$details" \
        >/dev/null
    touch "$data/install/.demo-$archives-$details"
fi
QT_QPA_PLATFORM=offscreen "$build/bench/bench_grid" "$data/install"
