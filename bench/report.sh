#!/usr/bin/env bash
# A 10,000-row list report to PDF through the report run time, beside QPdfWriter drawing the same grid.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUZAZO_BUILD_DIR:-$top/build}
QT_QPA_PLATFORM=offscreen "$build/bench/bench_report" "${BENCH_REPORT_ROWS:-10000}"
