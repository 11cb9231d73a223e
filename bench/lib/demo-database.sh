# Sourced by the benchmarks that run on the demo archive room: makes it once under $VUZAZO_BENCH_DIR (default
# /tmp/vuzazo-bench) with $BENCH_ARCHIVES archives and $BENCH_DETAILS detail items, and sets build, data
# and XDG_CONFIG_HOME (so the installation step leaves the user's own settings alone).
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
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
    /usr/bin/time -f "  demo: %e s, %M KB peak" "$build/src/cli/vuzazo-cli" demo --install-dir "$data/install" \
        --archives "$archives" --details "$details" 2>&1 >/dev/null | tail -1
    touch "$data/install/.demo-$archives-$details"
fi
