#!/usr/bin/env python3
"""Journal durability: kills a process that keeps recording finished ports through the results
journal with SIGKILL at random moments; after every kill the database must be whole
(PRAGMA integrity_check) and hold every record the process reported committed (run by hand,
never in CI).

    bench/journal_kill.py BUILD_DIR [--kills N] [--seed N]
"""

import argparse
import os
import random
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build")
    ap.add_argument("--kills", type=int, default=300)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    rng = random.Random(args.seed)
    driver = os.path.join(args.build, "bench", "bench_journal_loop")
    root = tempfile.mkdtemp(prefix="h2-journal-kill-")
    database = os.path.join(root, "home/orangepi/results/results.sqlite")
    committed = set()
    during = 0  # kills that hit a process which had committed at least once
    for kill in range(args.kills):
        p = subprocess.Popen([driver, root], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        time.sleep(rng.uniform(0.1, 0.8))
        p.send_signal(signal.SIGKILL)
        out, _ = p.communicate()
        lines = out.split(b"\n")[:-1]  # a line cut by the kill has no end
        if lines:
            during += 1
        for line in lines:
            committed.update(int(x) for x in line.split()[1:])
        if not os.path.exists(database):
            continue
        db = sqlite3.connect(database)
        check = db.execute("PRAGMA integrity_check").fetchone()[0]
        present = {row[0] for row in db.execute("SELECT id FROM results")}
        db.close()
        missing = committed - present
        if check != "ok" or missing:
            print(f"kill {kill + 1}: integrity {check}, {len(missing)} committed records missing, "
                  f"left in {root}")
            return 1
    print(f"kills {args.kills} ({during} after commits), database whole every time, "
          f"{len(committed)} committed records all present ({len(present)} stored)")
    shutil.rmtree(root, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
