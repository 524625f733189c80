"""Writes a table description (see normalise.py) as a dBASE III table with the dbf package."""

import datetime
import sys

import dbf

from normalise import read_description


def python_value(kind, decimals, text):
    if text == "":
        return None
    if kind == "C":
        return text
    if kind == "D":
        return datetime.date(int(text[:4]), int(text[4:6]), int(text[6:8]))
    return int(text) if decimals == 0 else float(text)


def main(description, path):
    fields, rows = read_description(description)
    columns = []
    for name, kind, length, decimals in fields:
        if kind == "C":
            columns.append("%s C(%d)" % (name, length))
        elif kind == "D":
            columns.append("%s D" % name)
        else:  # the package writes numbers of at most 19 digits
            columns.append("%s N(%d,%d)" % (name, min(length, 19), decimals))
    table = dbf.Table(path, "; ".join(columns), codepage="cp1252", dbf_type="db3")
    table.open(dbf.READ_WRITE)
    try:
        for row in rows:
            table.append(tuple(python_value(k, d, v) for (_, k, _, d), v in zip(fields, row)))
    finally:
        table.close()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
