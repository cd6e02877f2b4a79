# Reads a batch summary as a spreadsheet would: the byte-order mark tells
# the encoding (UTF-8 with it, else the given fallback), then CSV cells.
# Prints {"bom": ..., "rows": [[cell, ...], ...]} as JSON.
import csv, io, json, sys

path, fallback = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else "cp932"
data = open(path, "rb").read()
bom = data.startswith(b"\xef\xbb\xbf")
text = data.decode("utf-8-sig" if bom else fallback)
rows = list(csv.reader(io.StringIO(text, newline="")))
json.dump({"bom": bom, "rows": rows}, sys.stdout, ensure_ascii=False)
