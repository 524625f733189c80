"""Dumps a .DBF read by the dbf package in the normalised form of normalise.py."""

import sys

import dbf

from normalise import format_value, write_dump


def main(path):
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    try:
        kinds = []
        for name in table.field_names:
            info = table.field_info(name)
            kinds.append((chr(info.field_type), info.decimal))
        rows = []
        for record in table:
            if dbf.is_deleted(record):
                continue
            rows.append([format_value(k, d, record[i]) for i, (k, d) in enumerate(kinds)])
    finally:
        table.close()
    write_dump(rows)


if __name__ == "__main__":
    main(sys.argv[1])
