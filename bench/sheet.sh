#!/usr/bin/env bash
# Reading a 100,000-row, 20-column .xlsx: SheetReader beside inflating the sheet XML alone (the floor), and
# LibreOffice's headless conversion of the same file to csv where LibreOffice is installed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUZAZO_BUILD_DIR:-$top/build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
BENCH_SHEET_KEEP="$work/bench.xlsx" "$build/bench/bench_sheet" --rows 100000 | grep -v '^file '
if command -v soffice >/dev/null 2>&1; then
    export HOME="$work/home"
    mkdir -p "$HOME"
    # The first start sets up a profile; time a second conversion so that only the conversion counts.
    soffice --headless "-env:UserInstallation=file://$work/profile" --convert-to csv --outdir "$work/warm" \
        "$work/bench.xlsx" >/dev/null 2>&1 || true
    start=$(date +%s.%N)
    soffice --headless "-env:UserInstallation=file://$work/profile" --convert-to csv --outdir "$work/out" \
        "$work/bench.xlsx" >/dev/null 2>&1
    end=$(date +%s.%N)
    rows=$(($(wc -l <"$work/out/bench.csv") - 1))
    awk -v s="$start" -v e="$end" -v r="$rows" 'BEGIN { printf "LibreOffice headless conversion to csv: %.2f s for %d rows (%.0f rows/s)\n", e - s, r, r / (e - s) }'
else
    echo "LibreOffice not installed: no conversion to compare"
fi
