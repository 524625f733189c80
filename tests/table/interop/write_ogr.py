"""Writes a table description (see normalise.py) as a .DBF made by GDAL: the rows go to a CSV
with a CSVT of field types, which ogr2ogr converts with its shapefile driver in Windows-1252."""

import csv
import os
import subprocess
import sys

from normalise import read_description


def csvt_type(kind, length, decimals):
    if kind == "C":
        return "String(%d)" % length
    if kind == "D":
        return "Date"
    if decimals == 0:
        return "Integer64(%d)" % length
    return "Real(%d.%d)" % (length, decimals)


def csv_value(kind, text):
    if kind == "D" and text:
        return "%s-%s-%s" % (text[:4], text[4:6], text[6:8])
    return text


def main(description, path):
    fields, rows = read_description(description)
    base = os.path.splitext(path)[0]
    with open(base + "_in.csvt", "w", encoding="utf-8", newline="") as types:
        csv.writer(types).writerow([csvt_type(k, n, d) for _, k, n, d in fields])
    with open(base + "_in.csv", "w", encoding="utf-8", newline="") as out:
        writer = csv.writer(out)
        writer.writerow([name for name, _, _, _ in fields])
        for row in rows:
            writer.writerow([csv_value(k, v) for (_, k, _, _), v in zip(fields, row)])
    subprocess.run(["ogr2ogr", "-f", "ESRI Shapefile", path, base + "_in.csv",
                    "-lco", "ENCODING=CP1252"], check=True)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
