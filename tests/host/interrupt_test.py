#!/usr/bin/env python3
"""Ctrl-C during a run, a scripted flight and the live cockpit: each stops at a frame boundary, says
"interrupted at frame N", exits 130 and leaves every output whole (CSV rows, the WAV header, the
viewer page).

    interrupt_test.py COCKPIT_SIM WORKDIR
"""
import csv
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import time

failures = []


def check(what, ok):
    if not ok:
        failures.append(what)
        print("FAILED: " + what)


def wait_for(predicate, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.1)
    return False


def interrupt(args, cwd, started, name):
    """Starts cockpit-sim, waits until started() holds, sends SIGINT; returns (exit, stdout, stderr)."""
    p = subprocess.Popen(args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    check(name + ": it got going", wait_for(started, 60))
    p.send_signal(signal.SIGINT)
    try:
        out, err = p.communicate(timeout=60)
    except subprocess.TimeoutExpired:
        p.kill()
        out, err = p.communicate()
        check(name + ": it stopped within 60 s of Ctrl-C", False)
    return p.returncode, out, err


def whole_csv(path, name):
    with open(path, "rb") as f:
        data = f.read()
    check(name + ": the trace ends with a whole row", data.endswith(b"\n"))
    rows = list(csv.reader(data.decode().splitlines()))
    check(name + ": every row of the trace has its 7 fields", len(rows) > 1 and all(len(r) == 7 for r in rows))


def whole_wav(path, name):
    with open(path, "rb") as f:
        data = f.read()
    check(name + ": a RIFF WAVE file", data[:4] == b"RIFF" and data[8:12] == b"WAVE")
    check(name + ": the RIFF size is the file's", struct.unpack("<I", data[4:8])[0] == len(data) - 8)
    at = data.find(b"data")
    size = struct.unpack("<I", data[at + 4:at + 8])[0] if at > 0 else -1
    check(name + ": the data chunk holds what was rendered", at > 0 and size > 0 and size == len(data) - at - 8)


def main():
    sim, work = os.path.abspath(sys.argv[1]), sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    trace, audio = os.path.join(work, "t.csv"), os.path.join(work, "a.wav")
    with open(os.path.join(work, "long.scn"), "w") as f:
        f.write("set cockpit_init_state 2\npicture start\ntick 1000000\n")

    def trace_grows():
        return os.path.exists(trace) and os.path.getsize(trace) > 20000

    code, out, err = interrupt([sim, "run", "long.scn", "--trace", "t.csv", "--audio", "a.wav", "--pictures", "pics"],
                               work, trace_grows, "run")
    check("run: exit 130 (got %d)" % code, code == 130)
    check("run: says where it stopped", "long.scn: interrupted at frame " in err)
    whole_csv(trace, "run")
    whole_wav(audio, "run")
    check("run: the viewer of the pictures taken is written", os.path.exists(os.path.join(work, "pics", "index.html")))

    flight = os.path.join(work, "f.csv")
    code, out, err = interrupt([sim, "fly", "--trace", "f.csv"], work,
                               lambda: os.path.exists(flight) and os.path.getsize(flight) > 20000, "fly")
    check("fly: exit 130 (got %d)" % code, code == 130)
    check("fly: says where it stopped", "interrupted at frame " in err)
    whole_csv(flight, "fly")

    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    live = os.path.join(work, "s.csv")
    code, out, err = interrupt([sim, "serve", "--port", str(port), "--trace", "s.csv"], work,
                               lambda: os.path.exists(live) and os.path.getsize(live) > 2000, "serve")
    check("serve: exit 130 (got %d)" % code, code == 130)
    check("serve: says where it stopped", "interrupted at frame " in out)
    whole_csv(live, "serve")

    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
