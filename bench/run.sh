#!/usr/bin/env bash
# Times quillet-cli convert for every format beside the peers (pgdbf, ogr2ogr, dbfread, dbview)
# on the same generated tables, in one run, and checks the targets.
#
# Usage: bench/run.sh [RUNS]            (RUNS default 3; each figure is the median)
#   env BUILD     build folder holding src/cli/quillet-cli (default: build; built when missing)
#   env OUT       where tables and outputs go (default: bench/out)
#   env SIZES     record counts of the main tables (default: "100000 1000000")
#   env HUGE      records of the table whose CSV conversion shows constant memory (default:
#                 10000000, 1.4 GB in /tmp, removed after; 0 skips it)
#   env PEERS     "no" skips the peers
#   env RENICE    "no" keeps the normal priority (as root the run raises its own, for steadier figures)
#   env QUILLET_OPEN_BENCH  another command for the desktop program's open, see desktop_open
# The 1,000,000-record table also times the viewer's sort, find and filter (quillet-viewer-bench).
#
# Needs /usr/bin/time and the peers: apt-get install -y time python3-dbfread gdal-bin pgdbf dbview
# (installed here when missing and running as root). None of this is needed by the tests.
set -euo pipefail
export LC_ALL=C

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SHARED=$ROOT/../shared/bench
RUNS=${1:-3}
BUILD=${BUILD:-$ROOT/build}
OUT=${OUT:-$ROOT/bench/out}
SIZES=${SIZES:-100000 1000000}
HUGE=${HUGE:-10000000}
EXCEL_SIZE=16000 # within the worksheet's row limit
CLI=$BUILD/src/cli/quillet-cli
FORMATS="csv txt htm rtf xml sql xlsx sqlite"

[[ -r $SHARED/make_table.py && -r $SHARED/peers.sh ]] || {
    echo "The shared benchmark tools are missing: $SHARED (a checkout of shared/ beside this one)." >&2
    exit 2
}

need=()
command -v /usr/bin/time >/dev/null || need+=(time)
if [[ ${PEERS:-yes} != no ]]; then
    /usr/bin/python3 -c 'import dbfread' 2>/dev/null || need+=(python3-dbfread)
    command -v ogr2ogr >/dev/null || need+=(gdal-bin)
    command -v pgdbf >/dev/null || need+=(pgdbf)
    command -v dbview >/dev/null || need+=(dbview)
fi
if ((${#need[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "Missing: ${need[*]}. Install them: sudo apt-get install -y ${need[*]}" >&2
        exit 2
    fi
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi

[[ -f $BUILD/build.ninja ]] || cmake -S "$ROOT" -B "$BUILD" -G Ninja >/dev/null
ninja -C "$BUILD" -j2 quillet-cli >/dev/null
# Only where the build has the desktop program and its tests' platform layer.
ninja -C "$BUILD" -j2 quillet-open-bench quillet-viewer-bench >/dev/null 2>&1 || true

# Every tool measured runs at the same raised priority, so other work on the machine disturbs
# the figures less (root only). Where the kernel groups processes by session (autogroup), a
# process's nice value counts only against its own session, so the session's group is raised
# too, and put back when the run ends.
group_nice=
trap '[[ -z $group_nice ]] || echo "$group_nice" >/proc/self/autogroup' EXIT
if [[ $(id -u) -eq 0 && ${RENICE:-yes} != no ]]; then
    renice -n -10 $$ >/dev/null
    if [[ -w /proc/self/autogroup ]]; then
        group_nice=$(awk '{print $NF}' /proc/self/autogroup)
        echo -10 >/proc/self/autogroup
    fi
fi

mkdir -p "$OUT/cli" "$OUT/peers"
table_of() { echo "$OUT/t$1.dbf"; }
for n in $EXCEL_SIZE $SIZES; do
    t=$(table_of "$n")
    [[ -s $t ]] || python3 "$SHARED/make_table.py" "$n" "$t" --date 2024-05-01 >/dev/null
done

TF=$(mktemp)
trap 'rm -f "$TF"; [[ -z $group_nice ]] || echo "$group_nice" >/proc/self/autogroup' EXIT
median() { awk 'NF' | sort -g | awk '{a[NR]=$1} END{print a[int((NR+1)/2)]}'; }

# measure NAME OUTFILE CMD...: RUNS runs of CMD, warm cache; prints the line that peers.sh prints
# (name, median wall s, median max RSS MiB, output bytes, median CPU s). OUTFILE "-": none.
measure() {
    local name=$1 out=$2 rc=0 i t0 t1 walls="" rss="" cpus=""
    shift 2
    for ((i = 0; i < RUNS; i++)); do
        [[ $out == - ]] || rm -f "$out"
        sync
        t0=$EPOCHREALTIME
        /usr/bin/time -v -o "$TF" "$@" >/dev/null 2>&1 || rc=$?
        t1=$EPOCHREALTIME
        walls+="$(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.4f", b-a}')"$'\n'
        rss+="$(awk -F': ' '/Maximum resident set size/{print $2}' "$TF")"$'\n'
        cpus+="$(awk -F': ' '/User time/{u=$2} /System time/{s=$2} END{print u+s}' "$TF")"$'\n'
    done
    if ((rc != 0)); then
        printf '%-16s FAILED rc=%d\n' "$name" "$rc"
        return
    fi
    local bytes=0
    [[ $out == - ]] || bytes=$(stat -c %s "$out")
    printf '%-16s %8.3f %8.1f %12d %8.2f\n' "$name" "$(median <<<"$walls")" \
        "$(awk -v k="$(median <<<"$rss")" 'BEGIN{print k/1024}')" "$bytes" "$(median <<<"$cpus")"
}

# The desktop program's open of a table, offscreen: bench/open_bench.cpp (quillet-open-bench)
# drives the real main window and prints when the first rows were shown, when the last record
# was, and when the deleted records were counted. A line each (median of RUNS, in seconds),
# named open_*, with the process's peak memory. Another opener can be named by
# QUILLET_OPEN_BENCH: a command that takes the table as its last argument and prints the same.
desktop_open() {
    local table=$1 i label ms
    local -a opener
    if [[ -n ${QUILLET_OPEN_BENCH:-} ]]; then
        read -r -a opener <<<"$QUILLET_OPEN_BENCH"
    elif [[ -x $BUILD/bench/quillet-open-bench ]]; then
        opener=("$BUILD/bench/quillet-open-bench")
    else
        printf '%-16s not built yet\n' open
        return
    fi
    declare -A all=()
    local -a labels=()
    local rss=""
    for ((i = 0; i < RUNS; i++)); do
        while read -r label ms; do
            [[ -n ${all[$label]+x} ]] || labels+=("$label")
            all[$label]+="$ms"$'\n'
        done < <(QT_QPA_PLATFORM=offscreen /usr/bin/time -v -o "$TF" timeout 300 "${opener[@]}" "$table" 2>/dev/null)
        rss+="$(awk -F': ' '/Maximum resident set size/{print $2}' "$TF")"$'\n'
    done
    for label in "${labels[@]}"; do
        printf '%-16s %8.3f %8.1f %12s %8s\n' "open_$label" "$(median <<<"${all[$label]}" | awk '{print $1 / 1000}')" \
            "$(awk -v k="$(median <<<"$rss")" 'BEGIN{print k/1024}')" - -
    done
}

# The viewer's sort, find and filter on the same table: bench/viewer_bench.cpp prints each one's
# milliseconds; a line per figure (median of RUNS), in seconds, named view_*.
viewer_times() {
    local table=$1 i label ms
    local bench=$BUILD/bench/quillet-viewer-bench
    if [[ ! -x $bench ]]; then
        printf '%-16s not built yet\n' view
        return
    fi
    declare -A all=()
    local -a labels=()
    for ((i = 0; i < RUNS; i++)); do
        while read -r label ms _; do
            [[ -n ${all[$label]+x} ]] || labels+=("$label")
            all[$label]+="$ms"$'\n'
        done < <(QT_QPA_PLATFORM=offscreen timeout 300 "$bench" "$table" 2>/dev/null)
    done
    for label in "${labels[@]}"; do
        printf '%-16s %8.3f %8s %12s %8s\n' "view_$label" "$(median <<<"${all[$label]}" | awk '{print $1 / 1000}')" - - -
    done
}

results=$OUT/results.txt
: >"$results"
emit() { # TABLE_LABEL LINE...
    local label=$1
    shift
    local line
    for line in "$@"; do printf '%-6s %s\n' "$label" "$line" | tee -a "$results"; done
}

echo "# $(date -u +%Y-%m-%dT%H:%MZ) $(nproc) cores, median of $RUNS runs, warm cache" >&2
printf '%-6s %-16s %8s %8s %12s %8s\n' table tool wall_s rss_mb out_bytes cpu_s
label_of() { case $1 in 10000000) echo 10m ;; 1000000) echo 1m ;; 100000) echo 100k ;; 16000) echo 16k ;; *) echo "$1" ;; esac; }

t=$(table_of $EXCEL_SIZE)
cat "$t" >/dev/null
"$CLI" convert "$t" --to csv --out "$OUT/cli" >/dev/null
for f in csv xls; do
    emit "$(label_of $EXCEL_SIZE)" "$(measure "quillet_$f" "$OUT/cli/t$EXCEL_SIZE.$f" "$CLI" convert "$t" --to "$f" --out "$OUT/cli")"
done
for n in $SIZES; do
    t=$(table_of "$n")
    cat "$t" >/dev/null
    "$CLI" convert "$t" --to csv --out "$OUT/cli" >/dev/null # untimed: the first run pays for settling in
    for f in $FORMATS; do
        emit "$(label_of "$n")" "$(measure "quillet_$f" "$OUT/cli/t$n.$f" "$CLI" convert "$t" --to "$f" --out "$OUT/cli")"
    done
    if [[ ${PEERS:-yes} != no ]]; then
        mapfile -t lines < <(OUT_DIR=$OUT/peers bash "$SHARED/peers.sh" "$t" "$RUNS" 2>/dev/null | tail -n +2)
        emit "$(label_of "$n")" "${lines[@]}"
    fi
    if [[ $n == 1000000 && ${PEERS:-yes} != no ]]; then
        emit 1m "$(measure ogr2ogr_xlsx "$OUT/peers/ogr.xlsx" ogr2ogr -f XLSX "$OUT/peers/ogr.xlsx" "$t")"
        emit 1m "$(measure ogr2ogr_sqlite "$OUT/peers/ogr.sqlite" ogr2ogr -f SQLite "$OUT/peers/ogr.sqlite" "$t")"
    fi
    if [[ $n == 1000000 ]]; then
        mapfile -t lines < <(desktop_open "$t")
        emit 1m "${lines[@]}"
        mapfile -t lines < <(viewer_times "$t")
        emit 1m "${lines[@]}"
    fi
done

# A table of 10,000,000 records (1.4 GB), made in /tmp and removed after: a conversion's memory
# does not grow with the table.
if [[ $HUGE != 0 ]]; then
    huge=$(mktemp -d /tmp/quillet-huge.XXXXXX)
    python3 "$SHARED/make_table.py" "$HUGE" "$huge/t.dbf" --date 2024-05-01 >/dev/null
    emit "$(label_of "$HUGE")" "$(measure quillet_csv "$huge/t.csv" "$CLI" convert "$huge/t.dbf" --to csv --out "$huge")"
    huge_bytes=$(stat -c %s "$huge/t.dbf")
    mapfile -t lines < <(desktop_open "$huge/t.dbf")
    emit "$(label_of "$HUGE")" "${lines[@]}"
    rm -rf "$huge"
fi

# Memos: 100,000 records with one memo each, against the same table with every pointer blank.
[[ -s $OUT/memo.dbf ]] || python3 "$ROOT/bench/make_memo_table.py" 100000 "$OUT/memo.dbf" >/dev/null
for m in memo memo_plain; do
    emit memo "$(measure "quillet_$m" "$OUT/cli/$m.csv" "$CLI" convert "$OUT/$m.dbf" --to csv --out "$OUT/cli")"
done

# A batch: 100 tables of 10,000 records, one at a time and two at once.
batch=$OUT/batch
if [[ ! -s $batch/t99.dbf ]]; then
    mkdir -p "$batch"
    python3 "$SHARED/make_table.py" 10000 "$batch/t0.dbf" --date 2024-05-01 >/dev/null
    for i in $(seq 1 99); do cp "$batch/t0.dbf" "$batch/t$i.dbf"; done
fi
mkdir -p "$OUT/batch-out"
for jobs in 1 2; do
    emit batch "$(measure "quillet_jobs$jobs" - "$CLI" convert "$batch"/t*.dbf --to csv --out "$OUT/batch-out" --jobs "$jobs")"
done
# The same outputs written again with nothing to format, each synced on its own and renamed as
# ours are: what a sync and a rename a file cost, one file at a time and two at once.
for jobs in 1 2; do
    emit batch "$(measure "disk_sync$jobs" - /usr/bin/python3 "$ROOT/bench/sync_files.py" "$jobs" "$OUT/batch-out" "$OUT/batch-copy")"
done

# Targets, each a ratio of figures from this run.
echo
echo "targets"
awk -v sizes="$SIZES" -v excel="$(label_of $EXCEL_SIZE)" -v tdir="$OUT" '
function row(t, tool) { return (t SUBSEP tool) in wall }
function check(text, ok) { printf "  %-58s %s\n", text, ok ? "met" : "MISSED" }
$3 ~ /^[0-9.]+$/ { wall[$1, $2] = $3; rss[$1, $2] = $4; cpu[$1, $2] = $6 }
END {
    big = "1m"
    if (row(big, "quillet_csv")) {
        c = wall[big, "quillet_csv"]
        if (row(big, "pgdbf_sql"))
            check(sprintf("1m CSV %.3f s: %.2fx pgdbf SQL time (<= 0.4x)", c, c / wall[big, "pgdbf_sql"]), c / wall[big, "pgdbf_sql"] <= 0.4)
        if (row(big, "pgdbf_sql"))
            printf "  %-58s %s\n", sprintf("  (CPU seconds: ours %.2f, pgdbf %.2f)", cpu[big, "quillet_csv"], cpu[big, "pgdbf_sql"]), ""
        if (row(big, "ogr2ogr_csv"))
            check(sprintf("1m CSV: %.1fx faster than ogr2ogr CSV (>= 20x)", wall[big, "ogr2ogr_csv"] / c), wall[big, "ogr2ogr_csv"] / c >= 20)
    }
    for (k = split("xlsx sqlite", typed, " "); k > 0; k--) {
        f = typed[k]; peer = f == "xlsx" ? "ogr2ogr_xlsx" : "ogr2ogr_sqlite"
        if (row(big, "quillet_" f) && row(big, peer))
            check(sprintf("1m %s: %.1fx faster than ogr2ogr %s (>= 3x)", f, wall[big, peer] / wall[big, "quillet_" f], f),
                  wall[big, peer] / wall[big, "quillet_" f] >= 3)
    }
    n = split("100k 1m", labels, " ")
    split("txt htm rtf xml sql", fmts, " ")
    for (i = 1; i <= n; i++) {
        t = labels[i]
        if (!row(t, "quillet_csv")) continue
        for (j = 1; j <= 5; j++) if (row(t, "quillet_" fmts[j]))
            check(sprintf("%s %s: %.2fx our CSV time (<= 1.5x)", t, fmts[j], wall[t, "quillet_" fmts[j]] / wall[t, "quillet_csv"]),
                  wall[t, "quillet_" fmts[j]] / wall[t, "quillet_csv"] <= 1.5)
    }
    split("sort_text 1.5 sort_uniq 1.5 sort_num 1.5 find_last 0.5 filter 1", limits, " ")
    for (j = 1; j < 10; j += 2) if (row(big, "view_" limits[j]))
        check(sprintf("1m view %s %.3f s (<= %s s)", limits[j], wall[big, "view_" limits[j]], limits[j + 1]),
              wall[big, "view_" limits[j]] <= limits[j + 1])
    if (row("memo", "quillet_memo") && row("memo", "quillet_memo_plain"))
        check(sprintf("100k memo CSV: %.2fx the time without memos (<= 2x)", wall["memo", "quillet_memo"] / wall["memo", "quillet_memo_plain"]),
              wall["memo", "quillet_memo"] / wall["memo", "quillet_memo_plain"] <= 2)
    if (row("batch", "quillet_jobs1") && row("batch", "quillet_jobs2"))
        check(sprintf("100 tables: --jobs 2 %.2fx faster than --jobs 1 (>= 1.7x)", wall["batch", "quillet_jobs1"] / wall["batch", "quillet_jobs2"]),
              wall["batch", "quillet_jobs1"] / wall["batch", "quillet_jobs2"] >= 1.7)
    if (row("batch", "disk_sync1") && row("batch", "disk_sync2"))
        printf "  %-58s %s\n", sprintf("  (a sync and rename a file, nothing formatted: %.2f s, two at once %.2f s)", wall["batch", "disk_sync1"], wall["batch", "disk_sync2"]), ""
    if (row(excel, "quillet_xls") && row(excel, "quillet_csv"))
        check(sprintf("%s xls: %.2fx our CSV time (<= 1.5x)", excel, wall[excel, "quillet_xls"] / wall[excel, "quillet_csv"]),
              wall[excel, "quillet_xls"] / wall[excel, "quillet_csv"] <= 1.5)
}' "$results"
# The workbook's own memory does not grow with the table: beside CSV's (the reader's table and
# a few blocks), it takes the same at both sizes.
awk '
$2 ~ /^quillet_(csv|xlsx)$/ && $4 ~ /^[0-9.]+$/ { rss[$1, $2] = $4 }
END {
    if (!(("100k", "quillet_xlsx") in rss) || !(("1m", "quillet_xlsx") in rss)) exit
    a = rss["100k", "quillet_xlsx"] - rss["100k", "quillet_csv"]; b = rss["1m", "quillet_xlsx"] - rss["1m", "quillet_csv"]
    printf "  %-58s %s\n", sprintf("xlsx memory beyond CSV: 100k %+.1f MiB, 1m %+.1f MiB (<= +8 MiB)", a, b), (b <= a + 8) ? "met" : "MISSED"
}' "$results"
# Memory: a conversion holds a window of records, whatever the table's size.
for label in 1m 10m; do
    awk -v t="$label" '
    $1 == t && $2 ~ /^quillet_/ && $3 ~ /^[0-9.]+$/ {
        printf "  %-58s %s\n", sprintf("%s %s peak memory %.1f MiB (< 64 MiB)", t, substr($2, 9), $4), ($4 < 64) ? "met" : "MISSED"
    }' "$results"
done
# The desktop program holds the records it shows, whatever the table's size.
awk -v mib="$(awk -v b="${huge_bytes:-0}" 'BEGIN{print b/1048576}')" '
$1 == "10m" && $2 == "open_shown" && $3 ~ /^[0-9.]+$/ {
    shown = $3
    printf "  %-58s %s\n", sprintf("10m open: first rows shown in %.3f s (<= 0.5 s)", $3), ($3 <= 0.5) ? "met" : "MISSED"
    if (mib > 0) printf "  %-58s %s\n", sprintf("10m open peak memory %.1f MiB: %.0f%% of the table (< 25%%)", $4, 100 * $4 / mib), ($4 / mib < 0.25) ? "met" : "MISSED"
}
$1 == "10m" && $2 == "open_last" && $3 ~ /^[0-9.]+$/ {
    printf "  %-58s %s\n", sprintf("10m open: scrolled to the last record in %.3f s (<= 0.1 s)", $3 - shown), ($3 - shown <= 0.1) ? "met" : "MISSED"
}' "$results"
