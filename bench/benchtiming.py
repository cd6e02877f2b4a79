"""Timing shared by the comparison scripts: a command's median wall-clock and
CPU time (user + system of the child, the steadier figure on a shared
machine), and the bare sqlite3 query the books benchmarks compare with."""

import os
import statistics
import subprocess
import sys
import time

# The per-account, per-month sums of both sides of the journal.
BARE_QUERY = ("SELECT debit, tuki, sum(amount) FROM siwake GROUP BY debit, tuki;"
              "SELECT credit, tuki, sum(amount) FROM siwake GROUP BY credit, tuki;")


def timed(argv, env=None, runs=3, before=None):
    walls, cpus = [], []
    for _ in range(runs):
        if before:
            before()
        start = time.perf_counter()
        proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        walls.append(time.perf_counter() - start)
        cpus.append(usage.ru_utime + usage.ru_stime)
        if status != 0:
            sys.exit(f"{argv[0]} failed")
    return statistics.median(walls), statistics.median(cpus)


def bare_query(books, runs=3):
    return timed(["sqlite3", books, BARE_QUERY], runs=runs)
