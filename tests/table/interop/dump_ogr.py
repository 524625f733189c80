"""Dumps a .DBF read by GDAL (ogr2ogr to CSV) in the normalised form of normalise.py."""

import csv
import os
import re
import subprocess
import sys
import tempfile

from normalise import format_value, write_dump


def kind_of(csvt_type):
    """Field type letter and decimals from a CSVT entry such as Real(20.4)."""
    match = re.match(r"(\w+)(?:\((\d+)(?:\.(\d+))?\))?", csvt_type.strip())
    base, decimals = match.group(1), int(match.group(3) or 0)
    if base.startswith("Integer"):
        return "N", 0
    if base == "Real":
        return "N", decimals
    if base == "Date":
        return "D", 0
    return "C", 0


def main(path):
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "dump.csv")
        # GDAL decodes the language-driver mark 0x57 (Windows ANSI) as ISO-8859-1, which loses
        # the letters 1252 keeps in 0x80-0x9F (Œ Š Ž €), so the code page is named outright.
        subprocess.run(["ogr2ogr", "-f", "CSV", out, path, "-oo", "ENCODING=CP1252",
                        "-lco", "CREATE_CSVT=YES"], check=True)
        with open(os.path.join(work, "dump.csvt"), encoding="utf-8") as types:
            kinds = [kind_of(t) for t in next(csv.reader(types))]
        with open(out, encoding="utf-8", newline="") as source:
            records = list(csv.reader(source))[1:]
    rows = []
    for record in records:
        rows.append([format_value(k, d, v if v != "" else None) for (k, d), v in zip(kinds, record)])
    write_dump(rows)


if __name__ == "__main__":
    main(sys.argv[1])
