#!/usr/bin/env python3
"""Writes the common initial-data files of both editions from common_init.txt.

The source is UTF-8 with LF; the installed files are CP932 with CR LF, the
form in which the program reads them. Run from anywhere:
    python3 settings/initdata/make_common_init.py
"""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
DATA = HERE.parent.parent / "data"
NAMES = ("QT10ToRX16_G_common_init.dat", "KP10ToRX16_G_common_init.dat")


def main():
    lines = (HERE / "common_init.txt").read_text(encoding="utf-8").splitlines()
    body = "".join(line + "\r\n" for line in lines).encode("cp932")
    for name in NAMES:
        (DATA / name).write_bytes(body)


if __name__ == "__main__":
    main()
