#!/usr/bin/env python3
"""Soak run of the panel's engine link under load and faults (run by hand, never in CI).

Starts h2 on the offscreen platform with a temporary root whose fixed machine file asks for
the 121-port tester window, then plays the engine board from 127.0.0.2: status blocks cut
into random pieces, the connections dropped and re-opened every few hundred blocks, while
strangers from 127.0.0.3 connect and send garbage. At the end it compares the panel's open
descriptors and resident memory with their values after the warm-up blocks, and the blocks the
panel reports (taken + dropped as doubles) with the blocks sent.

    bench/soak.py BUILD_DIR [--blocks N] [--seed N] [--warmup N]
"""

import argparse
import os
import random
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time

BLOCK = 16488
ENGINE = "127.0.0.2"
STRANGER = "127.0.0.3"
PANEL = "127.0.0.1"


def free_port():
    with socket.socket() as s:
        s.bind((PANEL, 0))
        return s.getsockname()[1]


def fds(pid):
    out = {}
    for fd in os.listdir(f"/proc/{pid}/fd"):
        try:
            out[fd] = os.readlink(f"/proc/{pid}/fd/{fd}")
        except OSError:
            pass
    return out


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        return int(re.search(r"VmRSS:\s+(\d+)", f.read()).group(1))


def block(serial, rng):
    b = bytearray(rng.randbytes(BLOCK))
    struct.pack_into("<IIII", b, 0, BLOCK, 1, 0, 1700000000 + serial)
    return bytes(b)


def connect(port, source):
    s = socket.socket()
    s.bind((source, 0))
    s.connect((PANEL, port))
    return s


def drain_settings(s):
    # The panel pushes its settings message on every connect.
    s.settimeout(5)
    got = b""
    while len(got) < 124:
        chunk = s.recv(4096)
        if not chunk:
            raise RuntimeError("panel closed the engine connection")
        got += chunk
    s.setblocking(True)
    s.settimeout(None)


def close_engine(s):
    # Half-close and wait for the panel's close: it has read every block sent.
    s.shutdown(socket.SHUT_WR)
    s.settimeout(10)
    try:
        while s.recv(65536):
            pass
    except (ConnectionResetError, socket.timeout):
        pass
    s.close()


def stranger(port, rng):
    try:
        s = connect(port, STRANGER)
        s.sendall(rng.randbytes(rng.randint(1, 3000)))
        if rng.random() < 0.5:
            s.close()
        return s
    except OSError:
        return None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build")
    ap.add_argument("--blocks", type=int, default=100000)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--warmup", type=int, default=5000)
    args = ap.parse_args()
    rng = random.Random(args.seed)

    root = tempfile.mkdtemp(prefix="h2-soak-")
    os.makedirs(f"{root}/usr/share")
    with open(f"{root}/usr/share/.h2fixconfig", "w") as f:
        f.write("121 0 3 0\n")
    control, data = free_port(), free_port()
    log = open(f"{root}/panel.log", "w")
    panel = subprocess.Popen(
        [f"{args.build}/h2", "-platform", "offscreen", "--root", root,
         "--engine-address", ENGINE, "--panel-address", PANEL,
         "--control-port", str(control), "--data-port", str(data)],
        cwd=args.build, stdout=log, stderr=subprocess.STDOUT)
    try:
        deadline = time.time() + 60
        engine = None
        while engine is None:
            try:
                engine = connect(control, ENGINE)
            except ConnectionRefusedError:
                if time.time() > deadline or panel.poll() is not None:
                    raise
                time.sleep(0.2)
        drain_settings(engine)
        data_conn = connect(data, ENGINE)
        engine.sendall(block(0, rng))
        sent = 1
        time.sleep(2)  # the window is up and has drawn a block
        open0, rss0 = None, 0
        strangers = []
        reconnects = 0
        started = time.time()
        next_drop = rng.randint(200, 600)
        while sent < args.blocks:
            payload = block(sent, rng)
            at = 0
            while at < BLOCK:
                piece = rng.choice((1, 7, 100, 1460, 4096, 9000, BLOCK))
                engine.sendall(payload[at:at + piece])
                at += piece
            sent += 1
            if sent == args.warmup:
                # Baseline after the warm-up: allocator pools and Qt's caches are filled.
                time.sleep(1)
                open0, rss0 = fds(panel.pid), rss_kb(panel.pid)
            if sent % 97 == 0:
                strangers.append(stranger(control, rng))
                if len(strangers) > 8:
                    s = strangers.pop(0)
                    if s:
                        s.close()
            if sent >= next_drop:
                close_engine(engine)
                data_conn.close()
                engine = connect(control, ENGINE)
                drain_settings(engine)
                data_conn = connect(data, ENGINE)
                reconnects += 1
                next_drop = sent + rng.randint(200, 600)
        close_engine(engine)
        data_conn.close()
        for s in strangers:
            if s:
                s.close()
        elapsed = time.time() - started
        time.sleep(4)  # strangers are closed by the panel, silence handled
        open1, rss1 = fds(panel.pid), rss_kb(panel.pid)
        alive = panel.poll() is None
    finally:
        if panel.poll() is None:
            panel.terminate()  # ends the event loop; the panel reports its counters
        try:
            panel.wait(60)
        except subprocess.TimeoutExpired:
            panel.kill()
            panel.wait()
        log.close()
    fds0, fds1 = len(open0), len(open1)
    for fd in sorted(set(open0.items()) ^ set(open1.items())):
        print(f"  descriptor {fd[0]} -> {fd[1]} ({'start' if fd in open0.items() else 'end'})")
    text = open(f"{root}/panel.log", errors="replace").read()
    m = re.search(r"status blocks taken (\d+), dropped (\d+)", text)
    taken, dropped = (int(m.group(1)), int(m.group(2))) if m else (-1, -1)
    print(f"blocks sent {sent} in {elapsed:.0f} s, reconnects {reconnects}")
    print(f"panel: taken {taken}, dropped in multi-block reads {dropped}, "
          f"accounted {taken + dropped}")
    print(f"descriptors {fds0} -> {fds1}, rss {rss0} kB -> {rss1} kB ({rss1 - rss0:+d} kB)")
    print(f"panel alive at the end: {alive}, exit code {panel.returncode}")
    ok = alive and fds1 <= fds0 and rss1 - rss0 < 1024 and taken + dropped == sent
    print("PASS" if ok else f"FAIL (log in {root})")
    if ok:
        shutil.rmtree(root, ignore_errors=True)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
