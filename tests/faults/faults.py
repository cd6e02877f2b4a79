#!/usr/bin/env python3
"""Fault sweep over the write paths of the real programs.

For each path (a headless run over an earlier report and settings file, a
settings save on cancel, --report --pdf over an earlier PDF, --batch over an
earlier batch, add-books) the clean run's system calls are listed with
strace -f; then each call that touches the trial's files is failed in turn,
at every occurrence (counted per process, as strace's "when" counts), with
each error that call can return and with SIGKILL. After every trial:

- the exit status or posted result says failure, unless the outcome is the
  clean run's, byte for byte;
- each file a user relies on is the earlier one or the clean run's new one;
- the databases pass PRAGMA integrity_check and QT10.EXE list works;
- the same command run again succeeds and gives the clean outcome;
- no temporary file survives that retry.

--crash checks the same paths against power loss instead: the clean run's
writes, syncs and renames are recorded and every prefix a crash could leave
on disk is considered (writes after a file's last sync may be lost, renames
after the folder's last sync may be undone); a file a user relies on must be
the earlier one or a complete new one, never empty or torn. For add-books the
writes are replayed with their bytes and each crash state is built on the
disk: the programs and SQLite (which rolls back a journal it finds) must see
the new data set listed with its books, or the earlier ones and a retry that
adds it; once the run has reported success, only the former.

Prints a table and exits 1 on any violation.
"""

import argparse
import collections
import concurrent.futures
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile

ERRORS = {
    "openat": ["EACCES", "ENOSPC", "EROFS", "EIO"],
    "write": ["EIO", "ENOSPC"],
    "pwrite64": ["EIO", "ENOSPC"],
    "close": ["EIO"],
    "fsync": ["EIO", "ENOSPC", "EROFS"],
    "fdatasync": ["EIO", "ENOSPC", "EROFS"],
    "rename": ["EACCES", "ENOSPC", "EROFS", "EIO"],
    "renameat2": ["EACCES", "ENOSPC", "EROFS", "EIO"],
    "link": ["EACCES", "ENOSPC", "EROFS", "EIO"],
    "unlink": ["EACCES", "EROFS", "EIO"],
    "mkdir": ["EACCES", "ENOSPC", "EROFS", "EIO"],
    "fchmod": ["EPERM", "EROFS", "EIO"],
}
KILL = "KILL"
LINE = re.compile(r"^(\d+) +(\w+)\((.*)\) += (-?\d+|\?)(.*)$")
STAMP = re.compile(rb"/CreationDate \(D:[0-9Z+\-']*\)")


def run(argv, cwd, env, timeout=120):
    try:
        p = subprocess.run(argv, cwd=cwd, env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=timeout)
        return p.returncode, p.stdout.decode("utf-8", "replace") + p.stderr.decode(
            "utf-8", "replace")
    except subprocess.TimeoutExpired:
        return -2, "timed out"


def copy_tree(src, dst):
    """A snapshot copy; the executables are linked, as no run writes them."""
    def copy(s, d):
        if os.access(s, os.X_OK):
            os.link(s, d)
        else:
            shutil.copy2(s, d)
    shutil.copytree(src, dst, symlinks=True, copy_function=copy)


class Path:
    """One write path: how its earlier state is made, run and judged."""

    def __init__(self, name, args):
        self.name = name
        self.args = args

    # The trial's folder layout: ROOT/inst (installation), ROOT/out, ROOT/home ...
    def env(self, root):
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update({
            "HOME": root + "/home", "XDG_RUNTIME_DIR": root + "/run",
            "XDG_CONFIG_HOME": root + "/home/.config", "XDG_DOCUMENTS_DIR": root + "/docs",
            "RX16_UI": "headless", "RX16_UI_SCRIPT": root + "/script.txt",
            "RX16_UI_TRANSCRIPT": root + "/transcript.txt",
            # The leak checker cannot work under ptrace.
            "ASAN_OPTIONS": "detect_leaks=0",
        })
        return env

    def install(self, root):
        for d in ("home", "run", "docs", "out"):
            os.makedirs(root + "/" + d, exist_ok=True)
        os.chmod(root + "/run", 0o700)
        code, out = run([self.args.host, "init", root + "/inst", "--component",
                         self.args.component], root, self.env(root))
        if code != 0:
            raise RuntimeError("init failed: " + out)

    def script(self, root, steps):
        with open(root + "/script.txt", "w", encoding="utf-8") as f:
            f.write("\n".join(steps) + "\n")

    def prepare(self, root):
        """Makes the earlier state in root."""
        self.install(root)

    def command(self, root):
        raise NotImplementedError

    def reported_failure(self, code, output, root):
        return code != 0

    def folders(self, root):
        """Folders whose files a user relies on (non-hidden regular files)."""
        return [root + "/out"]

    def state(self, root):
        files = {}
        for folder in self.folders(root):
            if not os.path.isdir(folder):
                continue
            for name in sorted(os.listdir(folder)):
                p = folder + "/" + name
                if name.startswith(".") or not os.path.isfile(p):
                    continue
                with open(p, "rb") as f:
                    files[os.path.relpath(p, root)] = STAMP.sub(b"", f.read())
        return files

    def temp_folders(self, root):
        return self.folders(root) + [root + "/inst/books"] + [
            root + "/inst/books/" + d for d in os.listdir(root + "/inst/books")
            if os.path.isdir(root + "/inst/books/" + d)]


class Headless(Path):
    """A launched run that changes a setting, over an earlier report and settings file."""

    STEPS = ["choose 0", "expect page 4938", "set 1007 9", "key F8"]

    def prepare(self, root):
        self.install(root)
        self.script(root, ["choose 0", "expect page 4938", "key F8"])
        code, out = run(self.command(root), root, self.env(root))
        if code != 0:
            raise RuntimeError("first run failed: " + out)
        self.script(root, self.STEPS)

    def command(self, root):
        return [root + "/inst/QT10.EXE", "launch", root + "/inst", "--out",
                root + "/out/report.xml"]

    def reported_failure(self, code, output, root):
        return code != 0 or "result: completed" not in output

    def folders(self, root):
        return [root + "/out", root + "/inst/books/00000001"]

    def state(self, root):
        return {k: v for k, v in super().state(root).items() if not k.endswith("/books.db")}


class SettingsCancel(Headless):
    """A setting changed and saved on cancel."""

    STEPS = ["choose 0", "expect page 4938", "set 1007 9", "click 2", "answer yes"]

    def reported_failure(self, code, output, root):
        # A clean run ends as the user's cancel; any other result is a failure.
        return "result: cancelled" not in output


class Pdf(Path):
    """--report --pdf over an earlier PDF (of another data set)."""

    def prepare(self, root):
        self.install(root)
        code, out = run([root + "/inst/QT10ToRX16_G", "--report", "00000002", "--pdf",
                         root + "/out/report.pdf"], root, self.env(root))
        if code != 0:
            raise RuntimeError("first PDF failed: " + out)

    def command(self, root):
        return [root + "/inst/QT10ToRX16_G", "--report", "00000001", "--pdf",
                root + "/out/report.pdf"]


class Batch(Path):
    """--batch over an earlier batch of fewer data sets."""

    IDS = ["00000001", "00000002", "00000003", "00000005"]

    def prepare(self, root):
        self.install(root)
        code, out = run([root + "/inst/QT10ToRX16_G", "--batch", root + "/out"] + self.IDS[:2],
                        root, self.env(root))
        if code != 0:
            raise RuntimeError("first batch failed: " + out)

    def command(self, root):
        return [root + "/inst/QT10ToRX16_G", "--batch", root + "/out"] + self.IDS


class AddBooks(Path):
    """add-books of a new data set."""

    def prepare(self, root):
        self.install(root)
        shutil.copytree(self.args.books, root + "/new")
        p = root + "/new/company.csv"
        with open(p, "rb") as f:
            data = f.read()
        with open(p, "wb") as f:
            f.write(data.replace(b"00000004", b"00000099", 1))

    def command(self, root):
        return [root + "/inst/QT10.EXE", "add-books", root + "/inst", root + "/new"]

    def folders(self, root):
        return []

    def state(self, root):
        code, out = run([root + "/inst/QT10.EXE", "list", root + "/inst"], root, self.env(root))
        return {"list": (code, out)}

    def judged(self, root):
        """What a crash state is judged by: the list, and the new data set's books."""
        return self.state(root)["list"], dump(root + "/inst/books/00000099/books.db")

    def judge(self, root, before, after):
        """A crash state: the data set listed with the books added, or the earlier data sets
        listed and a retry adds it."""
        now = self.judged(root)  # the programs meet any journal left as it is
        violations = integrity(root)
        if now[0] == after[0]:
            if now[1] != after[1]:
                violations.append("listed, but its books are not the ones added")
            return "new", violations
        if now[0] != before[0]:
            violations.append("the list is neither the earlier nor the new one: " +
                              now[0][1].strip()[-200:])
            return "torn", violations
        code, out = run(self.command(root), root, self.env(root))
        if code != 0 or self.judged(root) != after:
            violations.append("the retry does not add the books: " + out.strip()[-300:])
        left = stale_temps(self, root)
        if left:
            violations.append("temporary files left after the retry: " + ", ".join(
                os.path.relpath(p, root) for p in left))
        return "old, retried", violations


class Writer(Path):
    """A writer of out/file.txt of the checker's own, to prove the power-loss check."""

    def __init__(self, name, args, code):
        super().__init__(name, args)
        self.code = code

    def prepare(self, root):
        os.makedirs(root + "/out")
        with open(root + "/out/file.txt", "w") as f:
            f.write("old\n")

    def command(self, root):
        return [sys.executable, "-c", self.code, root + "/out"]

    def judged(self, root):
        p = root + "/out/file.txt"
        if not os.path.isfile(p):
            return None
        with open(p, "rb") as f:
            return f.read()

    def judge(self, root, before, after):
        now = self.judged(root)
        if now == after:
            return "new", []
        return "old", [] if now == before else ["file.txt is neither old nor new"]


class DbWriter(Writer):
    """A writer of a database of the checker's own, to prove the byte-for-byte check."""

    def prepare(self, root):
        os.makedirs(root + "/out")
        con = sqlite3.connect(root + "/out/data.db")
        con.execute("CREATE TABLE t(x)")
        con.execute("INSERT INTO t VALUES('old')")
        con.commit()
        con.close()

    def judged(self, root):
        return dump(root + "/out/data.db", readonly=False)

    def judge(self, root, before, after):
        now = self.judged(root)
        if now == after:
            return "new", []
        return "old", [] if now == before else ["data.db is neither old nor new"]


# In place: a crash can leave the file empty or torn.
UNSAFE = "import sys; open(sys.argv[1] + '/file.txt', 'w').write('new\\n')"
# Beside it, synced, renamed, the folder synced: old or new.
SAFE = """import os, sys
d = sys.argv[1]
with open(d + '/.file.txt.tmp', 'w') as f:
    f.write('new\\n')
    f.flush()
    os.fsync(f.fileno())
os.rename(d + '/.file.txt.tmp', d + '/file.txt')
fd = os.open(d, os.O_RDONLY)
os.fsync(fd)
"""

# A transaction of many pages; SQLite's journal keeps it whole only if it is synced,
# and the commit lasts only if the journal's removal is synced too (EXTRA).
DB = """import sqlite3, sys
con = sqlite3.connect(sys.argv[1] + '/data.db')
con.execute('PRAGMA synchronous = %s')
con.executemany('INSERT INTO t VALUES(?)', [('x' * 200,)] * 100)
con.commit()
"""

PATHS = {"headless": Headless, "settings-cancel": SettingsCancel, "pdf": Pdf, "batch": Batch,
         "add-books": AddBooks}


def integrity(root):
    """Problems of the databases: integrity_check of each, and whether list works."""
    problems = []
    books = root + "/inst/books"
    # (A hidden folder is the work of an add that did not finish; the retry removes it.)
    dbs = [books + "/kanri.db"] + [books + "/" + d + "/books.db" for d in os.listdir(books)
                                   if not d.startswith(".")
                                   and os.path.isfile(books + "/" + d + "/books.db")]
    for db in dbs:
        try:
            # As any reader would open it: a journal left behind is rolled back.
            con = sqlite3.connect(db)
            result = con.execute("PRAGMA integrity_check").fetchone()[0]
            con.close()
        except sqlite3.Error as e:
            result = str(e)
        if result != "ok":
            problems.append("integrity of " + os.path.relpath(db, root) + ": " + result)
    return problems


def dump(db, readonly=True):
    """A database's content as SQL, or None; a reader that may write rolls back a journal
    left beside it, as SQLite does."""
    if not os.path.isfile(db):
        return None
    try:
        con = sqlite3.connect("file:%s%s" % (db, "?mode=ro" if readonly else ""), uri=True)
        text = "\n".join(con.iterdump())
        con.close()
        return text
    except sqlite3.Error as e:
        return "unreadable: " + str(e)


def whole_summary(data, clean):
    """A complete summary: a line for each data set, as the clean run's has."""
    return clean is not None and data.endswith(b"\n") and data.count(b"\n") == clean.count(b"\n")


def stale_temps(path, root):
    found = []
    for folder in path.temp_folders(root):
        if os.path.isdir(folder):
            found += [folder + "/" + n for n in os.listdir(folder)
                      if n.startswith(".") and (".tmp-" in n or n.endswith(".part")
                                                or n.endswith(".probe"))]
    return found


def strace(options, argv):
    return ["strace", "-f", "-qq"] + options + argv


class Slot:
    """A trial folder at a fixed path, restored from its own snapshot before each trial
    (the settings file keeps absolute paths, so a snapshot is only valid where it was made)."""

    def __init__(self, path, work, index):
        self.path = path
        self.root = "%s/%s-%d" % (work, path.name, index)
        self.snapshot = self.root + ".snapshot"
        os.makedirs(self.root)
        path.prepare(self.root)
        shutil.move(self.root, self.snapshot)
        self.restore()

    def restore(self):
        if os.path.exists(self.root):
            shutil.rmtree(self.root)
        copy_tree(self.snapshot, self.root)


def clean_states(path, slot):
    """The slot's earlier state and the one a clean run leaves (they name the slot's paths)."""
    slot.restore()
    old = path.state(slot.root)
    code, out = run(path.command(slot.root), slot.root, path.env(slot.root))
    if path.reported_failure(code, out, slot.root):
        raise RuntimeError(path.name + ": the clean run failed: " + out)
    return old, path.state(slot.root)


OPENED = re.compile(r"^\d+ +openat\(.*\) = \d+<(/[^>]*)>$")
TARGET = re.compile(r'<(/[^>]*)>|"(/[^"]*)"')


def listing(path, slot, runs=5):
    """The points to fail: every call of the clean run on the trial's files (fonts' caches in
    the home folder aside), as (kind, occurrence). The occurrences are counted per process,
    as strace's "when" counts; the batch's workers share out the data sets as they come, so
    the points are those of several runs together."""
    points = set()
    for _ in range(runs):
        slot.restore()
        root = slot.root
        trace = root + ".trace"
        run(strace(["-y", "-o", trace, "-e", "trace=" + ",".join(ERRORS)], path.command(root)),
            root, path.env(root))
        counts = collections.Counter()
        for line in joined_lines(trace):
            m = re.match(r"^(\d+) +(\w+)\(", line)
            if not m or m.group(2) not in ERRORS:
                continue
            key = (m.group(1), m.group(2))
            counts[key] += 1
            # What the call works on: an open's result, else its first file or name
            # (past the current folder that strace shows for AT_FDCWD).
            target = OPENED.search(line) or TARGET.search(line.replace("AT_FDCWD<", "AT_FDCWD"))
            name = target and next(g for g in target.groups() if g is not None)
            if name and name.startswith(root + "/") and not name.startswith(root + "/home/"):
                points.add((m.group(2), counts[key]))
        os.remove(trace)
    return sorted(points)


def trial(path, slot, call, when, fault):
    """One fault; the list of violations."""
    old, new = slot.old, slot.new
    slot.restore()
    root = slot.root
    inject = "inject=%s:%s:when=%d" % (
        call, "signal=KILL" if fault == KILL else "error=" + fault, when)
    code, out = run(strace(["-o", "/dev/null", "-e", "trace=" + call, "-e", inject],
                           path.command(root)), root, path.env(root))
    violations = []
    state = path.state(root)
    failed = path.reported_failure(code, out, root)
    if not failed and state != new:
        violations.append("success reported, outcome differs from the clean run")
    for name in set(old) | set(state):
        if failed and name.endswith("summary.csv") and (name not in state or whole_summary(
                state[name], new.get(name))):
            # The batch's own account of this run, failures included; or none, as a
            # failed batch removes an earlier summary that no longer tells its files.
            continue
        if name in state and state[name] not in (old.get(name), new.get(name)):
            violations.append("neither earlier nor new: " + name)
        if name in old and name not in state and name in new:
            violations.append("earlier file gone: " + name)
    violations += integrity(root)
    lcode, lout = run([root + "/inst/QT10.EXE", "list", root + "/inst"], root, path.env(root))
    if lcode != 0:
        violations.append("list fails: " + lout.strip()[-200:])
    outcome = "failed" if failed else "done"
    # The retry: the same command completes, unless the trial already left the
    # clean outcome (a second add-books of the same books is refused).
    if state != new or not isinstance(path, AddBooks):
        rcode, rout = run(path.command(root), root, path.env(root))
        if path.reported_failure(rcode, rout, root) or path.state(root) != new:
            violations.append("retry fails: " + rout.strip()[-300:])
        left = stale_temps(path, root)
        if left:
            violations.append("temporary files left: " + ", ".join(
                os.path.relpath(p, root) for p in left))
    return outcome, violations


def sweep(args, selected):
    rows = collections.OrderedDict()
    all_violations = []
    for name in selected:
        path = PATHS[name](name, args)
        slots = [Slot(path, args.work, i) for i in range(args.jobs)]
        for slot in slots:
            slot.old, slot.new = clean_states(path, slot)
        points = listing(path, slots[0])
        jobs = []
        seen_calls = collections.Counter()
        for call, when in points:
            faults = ERRORS[call] + [KILL]
            if args.sample:
                # Each call kind once, its fault and occurrence chosen by the count so far.
                if seen_calls[call]:
                    continue
                occurrences = [w for c, w in points if c == call]
                when = occurrences[len(occurrences) // 2]
                faults = [faults[(len(occurrences) + len(name)) % len(faults)]]
            seen_calls[call] += 1
            jobs += [(call, when, fault) for fault in faults]
        print("%s: %d trials" % (name, len(jobs)), file=sys.stderr, flush=True)
        free = list(slots)
        with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
            pending = {}
            finished = 0
            queue = list(jobs)
            while queue or pending:
                while queue and free:
                    job = queue.pop(0)
                    slot = free.pop()
                    pending[pool.submit(trial, path, slot, *job)] = (job, slot)
                done, _ = concurrent.futures.wait(pending,
                                                  return_when=concurrent.futures.FIRST_COMPLETED)
                for fut in done:
                    finished += 1
                    if finished % 100 == 0:
                        print("%s: %d/%d" % (name, finished, len(jobs)), file=sys.stderr,
                              flush=True)
                    (call, when, fault), slot = pending.pop(fut)
                    free.append(slot)
                    outcome, violations = fut.result()
                    fault_kind = "SIGKILL" if fault == KILL else fault
                    row = rows.setdefault((name, call, fault_kind), collections.Counter())
                    row["points"] += 1
                    row[outcome] += 1
                    row["violations"] += bool(violations)
                    for v in violations:
                        all_violations.append("%s %s@%d %s: %s" % (name, call, when, fault_kind, v))
        for slot in slots:
            shutil.rmtree(slot.root, ignore_errors=True)
            shutil.rmtree(slot.snapshot, ignore_errors=True)
    print("| path | call | error | points | failure reported | completed | violations |")
    print("|---|---|---|---:|---:|---:|---:|")
    total = collections.Counter()
    for (name, call, fault), row in rows.items():
        print("| %s | %s | %s | %d | %d | %d | %d |" % (
            name, call, fault, row["points"], row["failed"], row["done"], row["violations"]))
        total.update(row)
    print("| all | | | %d | %d | %d | %d |" % (
        total["points"], total["failed"], total["done"], total["violations"]))
    for v in all_violations:
        print("VIOLATION " + v)
    return not all_violations


# Power loss -----------------------------------------------------------------

CRASH_CALLS = "openat,write,pwrite64,writev,ftruncate,fsync,fdatasync,syncfs,sync,rename," \
              "renameat,renameat2,link,linkat,unlink,unlinkat,chdir,clone,clone3,fork,vfork"
FD = re.compile(r"^(-?\d+)<(.*)>$")


def split_args(text):
    """The top-level arguments of a traced call."""
    args, depth, cur, quote = [], 0, "", False
    i = 0
    while i < len(text):
        c = text[i]
        if quote:
            cur += c
            if c == "\\":
                cur += text[i + 1]
                i += 1
            elif c == '"':
                quote = False
        elif c == '"':
            quote = True
            cur += c
        elif c in "[{(":
            depth += 1
            cur += c
        elif c in "]})":
            depth -= 1
            cur += c
        elif c == "," and depth == 0:
            args.append(cur.strip())
            cur = ""
        else:
            cur += c
        i += 1
    if cur.strip():
        args.append(cur.strip())
    return args


def unquote(arg):
    m = re.match(r'^"(.*)"(\.\.\.)?$', arg)
    return m.group(1).encode("latin-1", "replace").decode("unicode_escape") if m else None


def joined_lines(trace):
    """Trace lines with the unfinished and resumed halves of a call put together."""
    partial = {}
    with open(trace, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            m = re.match(r"^(\d+) +(.*) <unfinished \.\.\.>$", line)
            if m:
                partial[m.group(1)] = m.group(2)
                continue
            m = re.match(r"^(\d+) +<\.\.\. \w+ resumed>(.*)$", line)
            if m:
                yield m.group(1) + " " + partial.pop(m.group(1), "") + m.group(2)
                continue
            yield line


class Disk:
    """Files as names bound to inodes, with what has reached the disk."""

    def __init__(self, cwd, before):
        self.before = before  # the paths that existed before the run
        self.removed = set()
        self.bound = {}      # path -> inode (as the running programs see it)
        self.history = {}    # path -> inodes bound to it since its folder's last sync
        self.writes = collections.Counter()   # inode -> writes so far
        self.synced = {}     # inode -> writes when last synced
        self.complete_when_bound = {}  # (path, inode) -> writes when bound
        self.next_inode = 0
        self.cwd = collections.defaultdict(lambda: cwd)

    def inode(self, path):
        if path not in self.bound:
            # A file from before the run: on the disk, old, as it stands.
            self.next_inode += 1
            self.bound[path] = ("old", self.next_inode)
            self.synced[self.bound[path]] = 0
            self.history[path] = [self.bound[path]]
        return self.bound[path]

    def absolute(self, pid, path):
        return os.path.normpath(path if path.startswith("/") else self.cwd[pid] + "/" + path)

    def exists(self, path):
        return path in self.bound or (path in self.before and path not in self.removed)

    def unbind(self, path):
        self.inode(path)
        del self.bound[path]
        self.removed.add(path)

    def bind(self, path, ino):
        self.bound[path] = ino
        self.history.setdefault(path, []).append(ino)
        self.complete_when_bound[(path, ino)] = self.writes[ino]

    def create(self, path):
        self.next_inode += 1
        self.bind(path, ("new", self.next_inode))

    def write(self, path):
        self.writes[self.inode(path)] += 1

    def sync_file(self, path):
        if os.path.isdir(path) or path.endswith("/"):
            folder = path.rstrip("/")
            for p in list(self.history):
                if os.path.dirname(p) == folder:
                    self.history[p] = [self.bound[p]] if p in self.bound else []
        else:
            ino = self.inode(path)
            self.synced[ino] = self.writes[ino]

    def sync_all(self):
        for ino in list(self.writes):
            self.synced[ino] = self.writes[ino]
        for p in list(self.history):
            self.history[p] = [self.bound[p]] if p in self.bound else []

    def rename(self, old, new):
        ino = self.inode(old)
        self.unbind(old)
        if self.exists(new):
            self.unbind(new)
        self.bind(new, ino)

    def problems(self, path):
        """What a crash now could leave under the name path."""
        found = []
        for ino in self.history.get(path, []):
            kind = ino[0]
            if kind == "old" and self.writes[ino] == 0:
                continue
            if self.synced.get(ino, -1) < self.writes[ino]:
                found.append("empty" if self.synced.get(ino, 0) == 0 else "torn")
            elif self.complete_when_bound.get((path, ino), 0) < self.writes[ino]:
                found.append("written in place")
        return found


def crash_check(path, slot):
    """Crash points of the clean run and the user's files a crash could leave empty or torn."""
    slot.restore()
    root = slot.root
    trace = root + ".crash"
    before = set()
    for folder, _, names in os.walk(root):
        before.update(folder + "/" + n for n in names)
    run(strace(["-y", "-o", trace, "-e", "trace=" + CRASH_CALLS], path.command(root)), root,
        path.env(root))
    users = {root + "/" + name for name in path.state(root)} - {root + "/list"}
    disk = Disk(root, before)
    points, bad = 0, collections.Counter()
    for line in joined_lines(trace):
        m = LINE.match(line)
        if not m:
            continue
        pid, call, args, ret = m.group(1), m.group(2), split_args(m.group(3)), m.group(4)
        if ret.startswith("-") or ret == "?":
            continue
        rest = m.group(5)
        fd_path = lambda a: (FD.match(a).group(2) if FD.match(a) else None)
        if call in ("clone", "clone3", "fork", "vfork"):
            disk.cwd[ret] = disk.cwd[pid]
            continue
        if call == "chdir":
            disk.cwd[pid] = disk.absolute(pid, unquote(args[0]))
            continue
        if call == "openat":
            target = re.match(r"^\s*<(.*)>", rest)
            p = target.group(1) if target else disk.absolute(pid, unquote(args[1]) or "")
            flags = args[2] if len(args) > 2 else ""
            if "O_CREAT" in flags and not disk.exists(p):
                disk.create(p)
            if "O_TRUNC" in flags and "O_DIRECTORY" not in flags:
                disk.write(p)
        elif call in ("write", "pwrite64", "writev", "ftruncate"):
            p = fd_path(args[0])
            if p is None or not p.startswith(root):
                continue
            disk.write(p)
        elif call in ("fsync", "fdatasync"):
            p = fd_path(args[0])
            if p is not None:
                disk.sync_file(p)
        elif call in ("syncfs", "sync"):
            disk.sync_all()
        elif call in ("rename", "renameat", "renameat2"):
            names = [unquote(a) for a in args if unquote(a) is not None]
            if len(names) == 2:
                disk.rename(disk.absolute(pid, names[0]), disk.absolute(pid, names[1]))
        elif call in ("link", "linkat"):
            names = [unquote(a) for a in args if unquote(a) is not None]
            if len(names) == 2 and names[0]:
                disk.bind(disk.absolute(pid, names[1]), disk.inode(disk.absolute(pid, names[0])))
        elif call in ("unlink", "unlinkat"):
            names = [unquote(a) for a in args if unquote(a) is not None]
            if names and disk.exists(disk.absolute(pid, names[0])):
                disk.unbind(disk.absolute(pid, names[0]))
        else:
            continue
        points += 1
        for user in users:
            for problem in disk.problems(user):
                bad[(os.path.relpath(user, root), problem)] += 1
    os.remove(trace)
    return points, bad


# Power loss, byte for byte ---------------------------------------------------
#
# For the databases the model above is not enough: whether a crash leaves a
# database old or new depends on what SQLite makes of the journal beside it.
# So the run's writes are recorded with their bytes and replayed: each crash
# state is built on the disk and judged by the real programs and SQLite.

REPLAY_CALLS = "openat,write,pwrite64,ftruncate,lseek,fsync,fdatasync,syncfs,sync,rename," \
               "renameat,renameat2,link,linkat,unlink,unlinkat,mkdir,mkdirat,rmdir,chdir," \
               "clone,clone3,fork,vfork,close"


class Op:
    """A change to the disk: of an inode's data ('data', keyed by the inode) or of a
    folder's names ('name', keyed by the folders' ids); a sync makes those of its key
    before it durable."""

    def __init__(self, kind, keys, action):
        self.kind, self.keys, self.action = kind, keys, action


class Replay:
    """The recorded run as operations, and the disk states a crash could leave."""

    def __init__(self, root, snapshot, trace):
        self.root, self.snapshot = root, snapshot
        self.files, self.dirs = {}, {}  # path -> inode / folder id, as the run sees them
        for folder, _, files in os.walk(root):
            self.dirs[folder] = ("dir", folder)
            self.files.update((folder + "/" + n, ("old", folder + "/" + n)) for n in files)
        self.initial = (dict(self.files), dict(self.dirs))
        self.ops = []
        self.offsets = {}
        self.cwd = collections.defaultdict(lambda: root)
        self.count = 0
        for line in joined_lines(trace):
            m = LINE.match(line)
            if m and not m.group(4).startswith("-") and m.group(4) != "?":
                self.record(m.group(1), m.group(2), split_args(m.group(3)), m.group(4),
                            m.group(5))

    def path(self, pid, dirfd, name):
        if name.startswith("/") or dirfd is None:
            return os.path.normpath(name if name.startswith("/") else self.cwd[pid] + "/" + name)
        fd = FD.match(dirfd)
        base = fd.group(2) if fd and not dirfd.startswith("AT_FDCWD") else self.cwd[pid]
        return os.path.normpath(base + "/" + name)

    def mine(self, path):
        return path is not None and path.startswith(self.root + "/")

    def folder(self, path):
        return self.dirs.get(os.path.dirname(path), ("dir", os.path.dirname(path)))

    def add(self, kind, keys, action):
        self.ops.append(Op(kind, keys, action))
        apply(self.files, self.dirs, None, action)

    def record(self, pid, call, args, ret, rest):
        fd_path = FD.match(args[0]).group(2) if args and FD.match(args[0]) else None
        if call in ("clone", "clone3", "fork", "vfork"):
            self.cwd[ret] = self.cwd[pid]
        elif call == "chdir":
            self.cwd[pid] = self.path(pid, None, unquote(args[0]))
        elif call == "close":
            self.offsets.pop((pid, args[0].split("<")[0]), None)
        elif call == "openat":
            target = re.match(r"^\s*<(.*)>", rest)
            p = target.group(1) if target else self.path(pid, args[0], unquote(args[1]))
            self.offsets[(pid, ret)] = 0
            if not self.mine(p) or p in self.dirs:
                return
            if "O_CREAT" in args[2] and p not in self.files:
                self.count += 1
                self.add("name", [self.folder(p)], ("create", p, ("new", self.count)))
            if "O_TRUNC" in args[2]:
                self.add("data", [self.files[p]], ("truncate", self.files[p], 0))
            if "O_APPEND" in args[2]:
                self.offsets[(pid, ret)] = None
        elif call == "lseek":
            self.offsets[(pid, args[0].split("<")[0])] = int(ret)
        elif call in ("write", "pwrite64"):
            if not self.mine(fd_path) or fd_path not in self.files:
                return
            data = unquote(args[1]).encode("latin-1")[:int(ret)]
            key = (pid, args[0].split("<")[0])
            offset = int(args[3]) if call == "pwrite64" else self.offsets.get(key, 0)
            self.add("data", [self.files[fd_path]], ("write", self.files[fd_path], offset, data))
            if call == "write" and offset is not None:
                self.offsets[key] = offset + len(data)
        elif call == "ftruncate":
            if self.mine(fd_path) and fd_path in self.files:
                self.add("data", [self.files[fd_path]],
                         ("truncate", self.files[fd_path], int(args[1])))
        elif call in ("fsync", "fdatasync"):
            if self.mine(fd_path):
                key = self.dirs.get(fd_path) or self.files.get(fd_path)
                self.ops.append(Op("sync", [key], None))
        elif call in ("sync", "syncfs"):
            self.ops.append(Op("sync", None, None))
        elif call in ("mkdir", "mkdirat"):
            p = self.path(pid, args[0] if call == "mkdirat" else None,
                          unquote(args[1 if call == "mkdirat" else 0]))
            if self.mine(p):
                self.add("name", [self.folder(p)], ("mkdir", p, ("dir", p)))
        elif call in ("rename", "renameat", "renameat2", "link", "linkat"):
            quoted = [(i, unquote(a)) for i, a in enumerate(args) if unquote(a) is not None]
            if len(quoted) != 2:
                return
            (i, old), (j, new) = quoted
            old = self.path(pid, args[i - 1] if i else None, old)
            new = self.path(pid, args[j - 1] if j > i + 1 else None, new)
            if self.mine(old) and self.mine(new):
                kind = "link" if call.startswith("link") else "rename"
                self.add("name", [self.folder(old), self.folder(new)], (kind, old, new))
        elif call in ("unlink", "unlinkat", "rmdir"):
            at = call == "unlinkat"
            p = self.path(pid, args[0] if at else None, unquote(args[1 if at else 0]))
            if self.mine(p):
                gone = "rmdir" if call == "rmdir" or (at and "AT_REMOVEDIR" in args[2]) \
                    else "unlink"
                self.add("name", [self.folder(p)], (gone, p))

    def states(self):
        """(crash point, the ops a crash there could leave applied): at every point, each
        op after the last sync of its key may be lost; tried are all of them kept, all
        lost, the lost ones of data or of names only, and of one key only."""
        n = len(self.ops)
        for k in range(n + 1):
            synced_at = {}  # key -> its last sync before the point; None: a sync of all
            for i in range(k):
                if self.ops[i].kind == "sync":
                    synced_at[self.ops[i].keys[0] if self.ops[i].keys else None] = i
            volatile = [i for i in range(k) if self.ops[i].kind != "sync" and not all(
                max(synced_at.get(key, -1), synced_at.get(None, -1)) > i
                for key in self.ops[i].keys)]
            drops = [set(), set(volatile)] + [
                {i for i in volatile if self.ops[i].kind == kind} for kind in ("data", "name")]
            for key in {key for i in volatile for key in self.ops[i].keys}:
                drops.append({i for i in volatile if key in self.ops[i].keys})
            for drop in drops:
                yield k, [self.ops[i].action for i in range(k)
                          if i not in drop and self.ops[i].kind != "sync"]

    def build(self, actions):
        """Makes the state on the disk at root; a key that names the state's content."""
        files, dirs = dict(self.initial[0]), dict(self.initial[1])
        content = {}
        for action in actions:
            apply(files, dirs, content, action, self.snapshot, self.root)
        if os.path.exists(self.root):
            shutil.rmtree(self.root)
        copy_tree(self.snapshot, self.root)
        for d in sorted(dirs):
            os.makedirs(d, exist_ok=True)
        for p in set(files) | set(self.initial[0]):
            ino = files.get(p)
            if ino == ("old", p) and ino not in content:
                continue
            if os.path.lexists(p):
                os.remove(p)
            if ino in content:
                with open(p, "wb") as f:
                    f.write(content[ino])
            elif ino is not None:
                copy_file(self.snapshot + ino[1][len(self.root):], p)
        for d in sorted(set(self.initial[1]) - set(dirs), reverse=True):
            shutil.rmtree(d, ignore_errors=True)
        return (tuple(sorted(dirs)), tuple(sorted(
            (p, hash(bytes(content[ino])) if ino in content else ino) for p, ino in files.items())))


def copy_file(src, dst):
    if os.access(src, os.X_OK):
        os.link(src, dst)
    else:
        shutil.copy2(src, dst)


def apply(files, dirs, content, action, snapshot=None, root=None):
    """One op on a model of names (files, dirs) and, with content, of bytes."""
    kind = action[0]
    if kind in ("create", "mkdir"):
        _, p, ino = action
        if os.path.dirname(p) in dirs and p not in files and p not in dirs:
            (files if kind == "create" else dirs)[p] = ino
            if content is not None and kind == "create":
                content[ino] = bytearray()
    elif kind in ("rename", "link"):
        _, old, new = action
        if old in files and new not in dirs and os.path.dirname(new) in dirs:
            files[new] = files[old]
            if kind == "rename":
                del files[old]
        elif old in dirs and kind == "rename" and os.path.dirname(new) in dirs \
                and new not in files:
            for table in (files, dirs):
                for p in [p for p in table if p == old or p.startswith(old + "/")]:
                    table[new + p[len(old):]] = table.pop(p)
    elif kind == "unlink":
        files.pop(action[1], None)
    elif kind == "rmdir":
        dirs.pop(action[1], None)
    elif content is not None:
        ino = action[1]
        if ino not in content and ino[0] == "new":
            content[ino] = bytearray()  # its name may be lost, not its data
        elif ino not in content:
            with open(snapshot + ino[1][len(root):], "rb") as f:
                content[ino] = bytearray(f.read())
        data = content[ino]
        if kind == "truncate":
            del data[action[2]:]
            data.extend(b"\0" * (action[2] - len(data)))
        else:
            offset, new = action[2], action[3]
            if offset is None:
                offset = len(data)
            data.extend(b"\0" * (offset + len(new) - len(data)))
            data[offset:offset + len(new)] = new


def replay_check(path, slot):
    """Every crash state of the path's clean run, judged by path.judge; the counts and the
    violations."""
    slot.restore()
    root = slot.root
    trace = root + ".replay"
    before = path.judged(root)
    run(strace(["-y", "-x", "-s", "1048576", "-o", trace, "-e", "trace=" + REPLAY_CALLS],
               path.command(root)), root, path.env(root))
    after = path.judged(root)
    replay = Replay(root, slot.snapshot, trace)
    os.remove(trace)
    seen = set()
    counts, problems = collections.Counter(), collections.Counter()
    final = len(replay.ops)
    for k, actions in replay.states():
        counts["points"] = max(counts["points"], k + 1)
        key = replay.build(actions)
        if (key, k == final) in seen:
            continue
        seen.add((key, k == final))
        counts["states"] += 1
        outcome, violations = path.judge(root, before, after)
        counts[outcome] += 1
        if k == final and outcome != "new":
            violations.append("after the run reported success, a crash can leave it undone")
        for v in violations:
            problems[v] += 1
    shutil.rmtree(root, ignore_errors=True)
    return counts, problems


def crash(args, selected):
    # Each check first proves itself on writers of its own that are known to be
    # unsafe and safe.
    proofs = [(Writer(n, args, code), unsafe, check) for n, code, unsafe in (
        ("unsafe-writer", UNSAFE, True), ("safe-writer", SAFE, False))
        for check in (crash_check, replay_check)] + [
        (DbWriter(n, args, DB % mode), unsafe, replay_check)
        for n, mode, unsafe in (("unsafe-db", "OFF", True), ("unsynced-removal-db", "FULL", True),
                                ("safe-db", "EXTRA", False))]
    for path, unsafe, check in proofs:
        slot = Slot(path, args.work, 0)
        bad = check(path, slot)[1]
        shutil.rmtree(slot.root, ignore_errors=True)
        shutil.rmtree(slot.snapshot, ignore_errors=True)
        if bool(bad) != unsafe:
            print("the power-loss check misjudges the %s: %s" % (path.name, dict(bad)))
            return False
    ok = True
    print("| path | crash points | files checked | disk states | violations |")
    print("|---|---:|---:|---:|---:|")
    details = []
    for name in selected:
        path = PATHS[name](name, args)
        slot = Slot(path, args.work, 0)
        if isinstance(path, AddBooks):
            # The books and the management database, judged by SQLite and the programs.
            counts, bad = replay_check(path, slot)
            print("| %s | %d | 2 | %d (%s) | %d |" % (
                name, counts["points"], counts["states"], ", ".join(
                    "%s %d" % (k, v) for k, v in sorted(counts.items())
                    if k not in ("points", "states")), sum(bad.values())))
            details += ["VIOLATION %s: %s (%d disk states)" % (name, v, n)
                        for v, n in sorted(bad.items())]
        else:
            points, bad = crash_check(path, slot)
            files = len(path.state(slot.root))
            print("| %s | %d | %d | | %d |" % (name, points, files, sum(bad.values())))
            details += ["VIOLATION %s: %s could be %s at %d crash points" % (
                name, user, problem, n) for (user, problem), n in sorted(bad.items())]
        ok = ok and not bad
        shutil.rmtree(slot.root, ignore_errors=True)
        shutil.rmtree(slot.snapshot, ignore_errors=True)
    for d in details:
        print(d)
    return ok


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", required=True, help="the built QT10.EXE")
    parser.add_argument("--component", required=True, help="the built QT10ToRX16_G")
    parser.add_argument("--books", required=True, help="a books folder for add-books")
    parser.add_argument("--paths", default=",".join(PATHS))
    parser.add_argument("--sample", action="store_true",
                        help="each call kind of each path once (CI)")
    parser.add_argument("--crash", action="store_true", help="the power-loss check instead")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--work", help="scratch folder (default: a new one in /tmp)")
    args = parser.parse_args()
    if shutil.which("strace") is None or subprocess.run(
            ["strace", "-o", "/dev/null", "true"]).returncode != 0:
        print("strace cannot trace here")
        return 77
    args.host, args.component, args.books = (
        os.path.abspath(p) for p in (args.host, args.component, args.books))
    selected = args.paths.split(",")
    keep = args.work is not None
    args.work = args.work or tempfile.mkdtemp(prefix="rx16-faults-")
    try:
        ok = crash(args, selected) if args.crash else sweep(args, selected)
    finally:
        if not keep:
            shutil.rmtree(args.work, ignore_errors=True)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
