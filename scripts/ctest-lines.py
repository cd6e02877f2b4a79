#!/usr/bin/env python3
"""Shortens ctest's result lines to 80 columns; every other line passes as is.

ctest pads each test name with dots to the longest name, so its lines run far
past a terminal's width. Here a line reads "  12/302 Passed   0.01s  Name",
with a long name cut at the end.
"""
import re
import sys

WIDTH = 80
RESULT = re.compile(r"^\s*(\d+/\d+) Test\s+#\d+: (\S+) \.*\s*(.*?)\s+([\d.]+) sec$")

for line in sys.stdin:
    m = RESULT.match(line.rstrip("\n"))
    if not m:
        sys.stdout.write(line)
    else:
        count, name, status, secs = m.groups()
        head = f"{count:>8} {status.lstrip('*'):<8} {float(secs):6.2f}s  "
        room = WIDTH - len(head)
        if len(name) > room:
            name = name[: room - 3] + "..."
        sys.stdout.write(head + name + "\n")
    sys.stdout.flush()
