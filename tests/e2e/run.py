#!/usr/bin/python3
"""Runs end-to-end test modules, each test case in a process of its own.

run.py --binary PATH [--artifacts DIR] [--jobs N] test_module [test_module ...]
"""
import argparse
import concurrent.futures
import os
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CASE_TIMEOUT = 120


def case_ids(modules):
    sys.path.insert(0, HERE)
    suite = unittest.defaultTestLoader.loadTestsFromNames(modules)

    def flatten(s):
        for t in s:
            if isinstance(t, unittest.TestSuite):
                yield from flatten(t)
            else:
                yield t.id()
    return list(flatten(suite))


def run_case(case, env):
    start = time.monotonic()
    try:
        r = subprocess.run([sys.executable, "-W", "ignore", "-m", "unittest", "-v", case], cwd=HERE, env=env,
                           capture_output=True, text=True, timeout=CASE_TIMEOUT)
        code, output = r.returncode, r.stdout + r.stderr
    except subprocess.TimeoutExpired as e:
        code, output = -1, "TIMEOUT after %ds\n%s" % (CASE_TIMEOUT, (e.stderr or b"").decode(errors="replace"))
    return case, code, output, time.monotonic() - start


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--binary", required=True)
    ap.add_argument("--artifacts", default="")
    ap.add_argument("--jobs", type=int, default=1)
    ap.add_argument("modules", nargs="+")
    args = ap.parse_args()

    env = dict(os.environ)
    env["ZL_E2E_BINARY"] = os.path.abspath(args.binary)
    env["ZL_E2E_ARTIFACTS"] = os.path.abspath(args.artifacts) if args.artifacts else ""
    env["PYTHONDONTWRITEBYTECODE"] = "1"

    cases = case_ids(args.modules)
    failed = []
    started = time.monotonic()
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for case, code, output, took in pool.map(lambda c: run_case(c, env), cases):
            skipped = code == 0 and "skipped" in output
            print("%-70s %s %5.1fs" % (case, "ok" if code == 0 and not skipped else
                                        "SKIP" if skipped else "FAIL", took), flush=True)
            if code != 0 or skipped:
                print(output.rstrip() + "\n", flush=True)
            if code != 0:
                failed.append(case)
    print("%d cases, %d failed, %.1fs" % (len(cases), len(failed), time.monotonic() - started))
    for f in failed:
        print("FAILED: " + f)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
