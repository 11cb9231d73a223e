#!/usr/bin/env bash
# The archive list on a demo database of 1,000,000 archives and 3,000,000 detail items: TQnQuery beside the
# sqlite3 shell on the same SQL. The database is made once under $VUZAZO_BENCH_DIR (default /tmp/vuzazo-bench).
set -euo pipefail
source "$(dirname "$0")/lib/demo-database.sh"
db=$data/install/Database/vuzazo.db
type=${BENCH_TYPE:-001}
echo "database: $(du -h "$db" | cut -f1), branch $type"
"$build/bench/bench_archive_list" "$data/install" "$type"

branch="ARCHIVE_TYPE_ID GLOB '$type*'"
shell_time() { # best of three; the statements' own run time as the shell reports it
    local best=""
    for _ in 1 2 3; do
        t=$(printf '.timer on\n%s\n' "$1" | sqlite3 "$db" | grep -a -o 'Run Time: real [0-9.]*' |
            awk '{s+=$4} END {printf "%.1f", s*1000}')
        if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
    done
    echo "$best"
}
printf "sqlite3   %-32s %9.1f ms\n" "list sorted by ARCHIVE_ID" \
    "$(shell_time "SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE WHERE $branch; SELECT * FROM QN_ARCHIVE_MASTER_TABLE WHERE $branch ORDER BY ARCHIVE_ID LIMIT 50;")"
printf "sqlite3   %-32s %9.1f ms\n" "list with LIKE on ARCHIVE_NAME" \
    "$(shell_time "SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE WHERE $branch AND ARCHIVE_NAME LIKE '%财务%'; SELECT * FROM QN_ARCHIVE_MASTER_TABLE WHERE $branch AND ARCHIVE_NAME LIKE '%财务%' ORDER BY ARCHIVE_ID LIMIT 50;")"
printf "sqlite3   %-32s %9.1f ms\n" "list with footer count and sum" \
    "$(shell_time "SELECT COUNT(*), COUNT(ARCHIVE_ID), SUM(NUMBER_FIELD1) FROM QN_ARCHIVE_MASTER_TABLE WHERE $branch; SELECT * FROM QN_ARCHIVE_MASTER_TABLE WHERE $branch ORDER BY ARCHIVE_ID LIMIT 50;")"
echo "(the sqlite3 figures are the count and the first 50 rows, the statements TQnQuery runs to open the list)"
