#!/usr/bin/env bash
# The archive list grid (TQnNDBGrid over TQnQuery, drawn offscreen) on the demo database of 1,000,000
# archives that bench/archive_list.sh makes (made here too when missing), under $VUZAZO_BENCH_DIR.
set -euo pipefail
source "$(dirname "$0")/lib/demo-database.sh"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_grid" "$data/install"
