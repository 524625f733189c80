#!/bin/bash
# Times export and import against other programs on the same table:
#
#   transfer_compare.sh BOOKS.DBF [path/to/table_bench]
#
# Runs table_bench --transfer (export_text, export_dbf, import_text), then GDAL's ogr2ogr to CSV
# and to a new DBF (ESRI Shapefile driver) from the same BOOKS.DBF, and sqlite3's .import of the
# text file export_text wrote into a table with an index on upper(substr(author,1,20)). Each
# outside program runs in its own process, timed from outside. Prints JSON lines like table_bench.
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "usage: $0 BOOKS.DBF [table_bench]" >&2
    exit 2
fi
books_dbf=$(realpath "$1")
table_bench=${2:-$(dirname "$0")/../build/bin/table_bench}
work=$(mktemp -d "${TMPDIR:-/tmp}/transfer-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT

"$table_bench" --transfer "$books_dbf" "$work"
records=$(($(wc -l < "$work/BOOKS.TXT") - 1))

report() {
    awk -v op="$1" -v n="$2" -v t="$3" 'BEGIN {
        split(t, s, " ")
        printf "{\"op\": \"%s\", \"records\": %d, \"seconds\": %.6f, \"cpu_seconds\": %.6f}\n",
               op, n, s[1], s[2] + s[3] }'
}

timed() {
    local op=$1
    shift
    local times TIMEFORMAT='%3R %3U %3S'
    times=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
    report "$op" "$records" "$times"
}

if command -v ogr2ogr >/dev/null; then
    timed ogr2ogr_csv ogr2ogr -f CSV "$work/ogr.csv" "$books_dbf"
    mkdir -p "$work/shp"
    timed ogr2ogr_dbf ogr2ogr -f "ESRI Shapefile" "$work/shp" "$books_dbf"
fi

if command -v sqlite3 >/dev/null; then
    columns=$(head -1 "$work/BOOKS.TXT" | tr -d '\r"' | awk -F, '{
        for (i = 1; i <= NF; i++) printf "%sc%d", (i > 1 ? ", " : ""), i }')
    sqlite3 "$work/books.sqlite" "CREATE TABLE books ($columns);
        CREATE INDEX author_key ON books (upper(substr(c2, 1, 20)));"
    timed sqlite_import sqlite3 "$work/books.sqlite" ".import --csv --skip 1 $work/BOOKS.TXT books"
fi
