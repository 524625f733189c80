"""Dumps a .DBF read by dbfread in the normalised form of normalise.py."""

import sys

import dbfread

from normalise import format_value, write_dump


def main(path):
    table = dbfread.DBF(path, char_decode_errors="strict")
    kinds = [(field.type, field.decimal_count) for field in table.fields]
    rows = []
    for record in table:
        values = list(record.values())
        rows.append([format_value(k, d, v) for (k, d), v in zip(kinds, values)])
    write_dump(rows)


if __name__ == "__main__":
    main(sys.argv[1])
