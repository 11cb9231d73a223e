#!/usr/bin/env bash
# Backup and restore of a database folder of about 500 MB (VUZAZO_BENCH_MB), beside gzip -1 and gzip -d on
# the same bytes. The folder is made once by `vuzazo-cli demo` and kept in $VUZAZO_BENCH_DIR for later runs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUZAZO_BUILD_DIR:-$top/build}
cli=$build/src/cli/vuzazo-cli
bench=$build/bench/bench_backup
mb=${VUZAZO_BENCH_MB:-500}
data=${VUZAZO_BENCH_DIR:-${TMPDIR:-/tmp}/vuzazo-bench-backup-$mb}
work=$(mktemp -d "${TMPDIR:-/tmp}/vuzazo-backup-run.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The installation step writes the machine settings: keep them away from the user's own.
export XDG_CONFIG_HOME=$data/config
export QT_QPA_PLATFORM=offscreen

folder_bytes() { du -sb --apparent-size "$1" | cut -f1; }

make_demo() {
    rm -rf "$data"
    mkdir -p "$data/config"
    "$cli" init --install-dir "$data/install" >/dev/null
    # About 1 MB per 920 archives with three detail items each.
    local archives=$((mb * 920))
    echo "making a $mb MB database with vuzazo-cli demo ($archives archives) …"
    "$cli" demo --install-dir "$data/install" --archives "$archives" --details $((archives * 3)) >/dev/null 2>&1
}

# Without the demo command: a SQLite file of text-like rows of the same size.
make_rows() {
    rm -rf "$data"
    mkdir -p "$data/install/Database" "$data/config"
    echo "making a $mb MB SQLite file of text-like rows …"
    python3 - "$data/install/Database/vuzazo.db" "$mb" <<'PY'
import random, sqlite3, sys
path, mb = sys.argv[1], int(sys.argv[2])
words = "档案 明细 借阅 归还 卷宗 文书 科技 会计 保管期限 永久 长期 短期 张伟 王芳 李娜 办公室 人事处 财务处".split()
db = sqlite3.connect(path)
db.execute("CREATE TABLE QN_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID TEXT PRIMARY KEY, ARCHIVE_ID TEXT, "
           "ARCHIVE_NAME TEXT, DATE_FIELD1 TEXT, TEXT_FIELD1 TEXT, TEXT_NOTE TEXT, NUMBER_FIELD1 REAL)")
rng, n = random.Random(20091125), 0
while True:
    rows = []
    for _ in range(10000):
        n += 1
        rows.append(("A%012d" % n, "%04d%06d" % (1990 + n % 30, n), "".join(rng.choices(words, k=6)),
                     "%04d-%02d-%02d" % (1990 + n % 30, 1 + n % 12, 1 + n % 28), rng.choice(words),
                     " ".join(rng.choices(words, k=12)), rng.random() * 1000))
    db.executemany("INSERT INTO QN_ARCHIVE_MASTER_TABLE VALUES (?,?,?,?,?,?,?)", rows)
    db.commit()
    if db.execute("PRAGMA page_count").fetchone()[0] * 4096 >= mb * 1000000:
        break
db.close()
PY
}

folder=$data/install/Database
if [ ! -d "$folder" ] || [ "$(folder_bytes "$folder")" -lt $((mb * 900000)) ]; then
    if "$cli" help 2>/dev/null | grep -q '^  demo '; then make_demo; else make_rows; fi
fi
bytes=$(folder_bytes "$folder")

now() { date +%s.%N; }
# Runs a command, prints "seconds maxRSS-KB".
timed() {
    local start end
    start=$(now)
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
    end=$(now)
    echo "$(echo "$end - $start" | bc -l) $(cat "$work/rss")"
}

read -r t_backup rss_backup < <(timed "$cli" backup "$folder" "$work/db.bak")
read -r t_restore rss_restore < <(timed "$cli" restore "$work/db.bak" --to "$work/restored")
cmp <(cat "$folder"/*) <(cat "$work/restored"/*) || { echo "restored bytes differ" >&2; exit 1; }
archive=$(stat -c %s "$work/db.bak")
rm -rf "$work/restored"
read -r t_gzip rss_gzip < <(timed sh -c "cat '$folder'/* | gzip -1 > '$work/all.gz'")
read -r t_gunzip rss_gunzip < <(timed sh -c "gzip -d -c '$work/all.gz' > '$work/all'")
gz=$(stat -c %s "$work/all.gz")
rm -f "$work/all" "$work/db.bak"

row() { # name seconds output-bytes rss
    printf '%-22s %8.2f s %9.1f MB/s %9.1f MB %8.1f MB\n' "$1" "$2" "$(echo "$bytes / 1000000 / $2" | bc -l)" \
        "$(echo "$3 / 1000000" | bc -l)" "$(echo "$4 / 1024" | bc -l)"
}
echo "database folder: $folder ($(echo "$bytes / 1000000" | bc) MB, $(nproc) cores)"
printf '%-22s %10s %14s %12s %11s\n' "" "time" "throughput" "output" "peak RSS"
row "vuzazo-cli backup" "$t_backup" "$archive" "$rss_backup"
row "gzip -1" "$t_gzip" "$gz" "$rss_gzip"
row "vuzazo-cli restore" "$t_restore" "$bytes" "$rss_restore"
row "gzip -d" "$t_gunzip" "$bytes" "$rss_gunzip"

# One core against all of them, and the same archive either way.
"$bench" "$folder" "$work/bench" | while read -r name secs rest; do
    case $name in
    same-archive) echo "one-core and parallel writers give the same archive: $secs" ;;
    *) printf '%-22s %8.2f s %9.1f MB/s\n' "$name" "$secs" "$(echo "$bytes / 1000000 / $secs" | bc -l)" ;;
    esac
done
