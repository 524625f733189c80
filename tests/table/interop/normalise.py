"""Shared by the reader and writer scripts: one normalised, tab-separated form of a book table.

A dump is one line per live record, fields separated by tabs, with backslash, tab and newline
escaped as \\\\, \\t and \\n. Every field is written the same way whoever read it:
  text            without trailing blanks
  whole number    decimal digits with an optional minus sign ("" when blank)
  decimal number  fixed four decimals ("" when blank)
  date            YYYYMMDD ("" when blank)
A table description file starts with one line of NAME:TYPE:LENGTH:DECIMALS per field.
"""

import datetime
import sys


def escape(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"t": "\t", "n": "\n"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def format_value(kind, decimals, value):
    """kind is the dBASE field type letter; value is what the reader gave (None when blank)."""
    if value is None or (isinstance(value, str) and value.strip() == "" and kind != "C"):
        return ""
    if kind == "C":
        return str(value).rstrip(" ")
    if kind == "D":
        if isinstance(value, (datetime.date, datetime.datetime)) or hasattr(value, "year"):
            return "%04d%02d%02d" % (value.year, value.month, value.day)
        digits = "".join(ch for ch in str(value) if ch.isdigit())
        return digits if digits.strip("0") else ""
    number = float(value)
    if decimals == 0:
        return "%d" % round(number)
    return "%.4f" % number


def write_dump(rows, out=sys.stdout):
    for row in rows:
        out.write("\t".join(escape(field) for field in row) + "\n")


def read_description(path):
    """Returns (fields, rows): fields as (name, type, length, decimals), rows as text lists."""
    with open(path, encoding="utf-8", newline="\n") as source:
        lines = source.read().split("\n")
    fields = []
    for column in lines[0].split("\t"):
        name, kind, length, decimals = column.split(":")
        fields.append((name, kind, int(length), int(decimals)))
    rows = [[unescape(f) for f in line.split("\t")] for line in lines[1:] if line != ""]
    return fields, rows
