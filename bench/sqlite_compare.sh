#!/bin/bash
# Times the benchmark's table operations in SQLite on the same records, for comparison.
#
#   sqlite_compare.sh BOOKS.DBF [path/to/table_bench]
#
# The records are exported through our own engine (table_bench --sqlite-inputs) and loaded
# with the sqlite3 shell's .import. Each operation runs in a fresh sqlite3 process, timed from
# outside, so opening the database is part of every figure (as opening the table is part of
# ours). Prints JSON lines like table_bench, with op names prefixed "sqlite_".
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "usage: $0 BOOKS.DBF [table_bench]" >&2
    exit 2
fi
books_dbf=$1
table_bench=${2:-$(dirname "$0")/../build/bin/table_bench}
command -v sqlite3 >/dev/null || { echo "sqlite3 is not installed" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/sqlite-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT
db=$work/books.sqlite
author_key="upper(substr(Author,1,20))"

"$table_bench" --sqlite-inputs "$books_dbf" "$work"

# report OP RECORDS "ELAPSED USER SYSTEM"
report() {
    awk -v op="$1" -v n="$2" -v t="$3" 'BEGIN {
        split(t, s, " ")
        printf "{\"op\": \"%s\", \"records\": %d, \"seconds\": %.6f, \"cpu_seconds\": %.6f}\n",
               op, n, s[1], s[2] + s[3] }'
}

# timed OP RECORDS SQL... : runs the statements in one sqlite3 process, output discarded;
# reports the elapsed time and the processor time (user and system) of that process
timed() {
    local op=$1 records=$2
    shift 2
    local times TIMEFORMAT='%3R %3U %3S'
    times=$({ time sqlite3 "$db" "$@" >/dev/null; } 2>&1)
    report "sqlite_$op" "$records" "$times"
}

query() { sqlite3 "$db" "$@"; }

columns=$(head -1 "$work/books.csv" | tr ',' '\n' | while read -r name; do
    case $name in
        YEARPUB|PAGES) echo "$name INTEGER" ;;
        COST|VALUE|LOWMARKET|HIGHMARKET) echo "$name REAL" ;;
        *) echo "$name TEXT" ;;
    esac
done | paste -sd, -)
query "CREATE TABLE books($columns);"

records=$(($(wc -l <"$work/books.csv") - 1))
timed load "$records" ".import --csv --skip 1 $work/books.csv books"

timed build_index_author "$records" "CREATE INDEX author_key ON books($author_key);"
timed build_index_3level "$records" \
    "CREATE INDEX level3_key ON books($author_key, YEARPUB, PURCHDATE);"
query "DROP INDEX level3_key;"

first_page="SELECT * FROM books ORDER BY $author_key LIMIT 40;"
last_page="SELECT * FROM books ORDER BY $author_key DESC LIMIT 40;"
if ! query "EXPLAIN QUERY PLAN $first_page" | grep -q "USING INDEX author_key"; then
    echo "warning: SQLite does not use the author index for the first screen" >&2
fi
timed open_first_screen 40 "$first_page"
timed last_screen 40 "$last_page"

matches=$(query "SELECT count(*) FROM books WHERE instr(upper(Author),'SMITH') > 0;")
timed count_author_contains "$matches" \
    "SELECT count(*) FROM books WHERE instr(upper(Author),'SMITH') > 0;"
timed scan_all "$records" "SELECT * FROM books;"
all_indexed="SELECT * FROM books ORDER BY $author_key;"
if ! query "EXPLAIN QUERY PLAN $all_indexed" | grep -q "USING INDEX author_key"; then
    echo "warning: SQLite does not use the author index for the indexed scan" >&2
fi
timed scan_all_indexed "$records" "$all_indexed"

replaced=$(query "SELECT count(*) FROM books WHERE upper(PUBLISHER) = 'PENGUIN BOOKS';")
timed replace_publisher "$replaced" \
    "UPDATE books SET PUBLISHER = 'Penguin Random House' WHERE upper(PUBLISHER) = 'PENGUIN BOOKS';"

timed append_10k 10000 ".read $work/append.sql"

total=$(query "SELECT count(*) FROM books;")
deleted=$(query "SELECT count(*) FROM books WHERE rowid % 10 = 0;")
timed delete_tenth "$deleted" "DELETE FROM books WHERE rowid % 10 = 0;"
timed pack $((total - deleted)) "VACUUM;"
