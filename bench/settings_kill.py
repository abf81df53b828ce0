#!/usr/bin/env python3
"""Settings durability: kills a process that stores settings in a loop with SIGKILL at random
moments and checks after every kill that .h2config is whole (run by hand, never in CI).

    bench/settings_kill.py BUILD_DIR [--kills N] [--seed N]
"""

import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build")
    ap.add_argument("--kills", type=int, default=500)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    rng = random.Random(args.seed)
    driver = os.path.join(args.build, "bench", "bench_settings_store_loop")
    root = tempfile.mkdtemp(prefix="h2-settings-kill-")
    survived = 0
    during = 0  # kills that hit a process which had already stored at least once
    config = os.path.join(root, ".h2config")
    quiet = subprocess.DEVNULL
    for kill in range(args.kills):
        before = os.stat(config).st_mtime_ns if os.path.exists(config) else None
        p = subprocess.Popen([driver, "store", root], stdout=quiet, stderr=quiet)
        time.sleep(rng.uniform(0.05, 0.6))
        p.send_signal(signal.SIGKILL)
        p.wait()
        if not os.path.exists(config):
            continue  # killed before its first store finished: nothing to break yet
        if os.stat(config).st_mtime_ns != before:
            during += 1
        check = subprocess.run([driver, "check", root], stdout=subprocess.PIPE, stderr=quiet,
                               text=True)
        if check.returncode != 0:
            print(f"kill {kill + 1}: .h2config broken, left in {root}")
            return 1
        survived += 1
    print(f"kills {args.kills}, .h2config whole after {survived} of them "
          f"({during} while stores were under way)")
    shutil.rmtree(root, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
