#!/usr/bin/python3
"""qrsuite from Python beside the Python QR readers, over the single-symbol
photos of testdata/qr-photos (folders qrcode-1 to qrcode-6, 86 pictures),
every reader given the same grey NumPy arrays (Pillow's convert('L')):

1. symbols read correctly and decoding time per reader: qrsuite (first
   symbol, every symbol, and from the file), pyzbar, OpenCV's
   QRCodeDetector and its WeChat reader when the installed OpenCV has them;
2. qrsuite.decode on the arrays against the same calls from C++
   (qrsuite_decode_loop, built with the release preset), best of N rounds;
3. the photos decoded on 1 and on 8 Python threads.

A benchmark, not a test: nothing here fails on a number.

usage: /usr/bin/python3 python/bench/compare.py [--build build/release] [--rounds 5]
"""
import argparse
import concurrent.futures
import contextlib
import importlib.machinery
import importlib.util
import os
import pathlib
import subprocess
import sys
import tempfile
import time

import numpy as np
from PIL import Image

ROOT = pathlib.Path(__file__).resolve().parents[2]
FOLDERS = [f"qrcode-{k}" for k in range(1, 7)]  # qrcode-7 is a structured-append set


def load_photo_report():
    """tools/photo_report's expected-text helpers (Shift_JIS files, ...)."""
    loader = importlib.machinery.SourceFileLoader("photo_report", str(ROOT / "tools" / "photo_report"))
    loaded = importlib.util.spec_from_loader("photo_report", loader)
    module = importlib.util.module_from_spec(loaded)
    loader.exec_module(module)
    return module


def load_photos(report):
    photos = []
    base = ROOT / "testdata" / "qr-photos"
    for folder in FOLDERS:
        for path in sorted((base / folder).iterdir()):
            if not report.PICTURE.search(path.name):
                continue
            stem = report.PICTURE.sub("", path.name)
            expected, partial = report.expected_for(str(path.parent), stem)
            if expected is None:
                continue
            with Image.open(path) as picture:
                grey = np.asarray(picture.convert("L"))
            photos.append({"path": path, "grey": grey, "expected": expected, "partial": partial,
                           "sjis": (folder, stem) in report.SHIFT_JIS})
    return photos


@contextlib.contextmanager
def quiet_output():
    """Standard output and error (descriptors 1 and 2) sent to /dev/null for a while."""
    sys.stdout.flush()
    saved = [os.dup(1), os.dup(2)]
    null = os.open(os.devnull, os.O_WRONLY)
    os.dup2(null, 1)
    os.dup2(null, 2)
    try:
        yield
    finally:
        os.dup2(saved[0], 1)
        os.dup2(saved[1], 2)
        for fd in saved + [null]:
            os.close(fd)


def readers():
    """name -> function(photo) returning candidate byte strings."""
    import qrsuite

    out = {
        "qrsuite max_symbols=1": lambda p: [s.data for s in qrsuite.decode(p["grey"], max_symbols=1)],
        "qrsuite max_symbols=0": lambda p: [s.data for s in qrsuite.decode(p["grey"])],
        "qrsuite file, max_symbols=1": lambda p: [s.data for s in qrsuite.decode(p["path"], max_symbols=1)],
    }
    try:
        from pyzbar import pyzbar

        out["pyzbar"] = lambda p: [s.data for s in pyzbar.decode(p["grey"], symbols=[pyzbar.ZBarSymbol.QRCODE])]
    except ImportError:
        print("pyzbar not installed (python3-pyzbar)")
    try:
        import cv2
    except ImportError:
        print("OpenCV not installed (python3-opencv)")
        return out
    detector = cv2.QRCodeDetector()

    def opencv(p):
        # Debian's OpenCV is built without its QR decoding library (quirc): it
        # finds symbols but prints a warning instead of decoding each one.
        with quiet_output():
            ok, texts, _, _ = detector.detectAndDecodeMulti(p["grey"])
        return [t.encode("utf-8", "surrogateescape") for t in texts] if ok else []

    out["OpenCV QRCodeDetector"] = opencv
    if hasattr(cv2, "wechat_qrcode_WeChatQRCode"):
        wechat = cv2.wechat_qrcode_WeChatQRCode()  # without model files: its classic detector

        def wechat_reader(p):
            try:
                return [t.encode("utf-8") for t in wechat.detectAndDecode(p["grey"])[0]]
            except UnicodeDecodeError:  # its binding hands back only UTF-8 text
                return []

        out["OpenCV WeChat (no CNN models)"] = wechat_reader
    else:
        print("OpenCV WeChat reader not in this OpenCV build")
    return out


def reading_table(report, photos, rounds):
    print(f"\n1. Read correctly ({len(photos)} photos), seconds per pass over all photos (best of {rounds})")
    print(f"{'reader':32} {'read':>5} {'seconds':>8}")
    for name, read in readers().items():
        best, correct = float("inf"), 0
        for _ in range(rounds):
            correct = 0
            start = time.perf_counter()
            for p in photos:
                found = read(p)
                candidates = found + [report.as_text(d, p["sjis"]) for d in found]
                correct += report.matches(candidates, p["expected"], p["partial"])
            best = min(best, time.perf_counter() - start)
        print(f"{name:32} {correct:5} {best:8.3f}")


def write_pgms(photos, folder):
    """The grey arrays as PGM files for the C++ loop."""
    files = []
    for k, p in enumerate(photos):
        name = os.path.join(folder, f"{k:03}.pgm")
        h, w = p["grey"].shape
        with open(name, "wb") as f:
            f.write(b"P5\n%d %d\n255\n" % (w, h) + p["grey"].tobytes())
        files.append(name)
    return files


def cpp_table(photos, loop, files, rounds):
    import qrsuite

    print(f"\n2. qrsuite.decode from Python against lectavo::Decode from C++, same grey arrays, best of {rounds} turns")
    if not loop.exists():
        print(f"   {loop} not built (cmake --build <build> --target qrsuite_decode_loop)")
        return
    # C++ and Python rounds take turns, so both see the same machine load;
    # processor seconds are what the load disturbs least.
    print(f"{'max_symbols':>11} {'C++ s':>7} {'Python s':>8} {'ratio':>6} {'C++ CPU s':>9} "
          f"{'Python CPU s':>12} {'ratio':>6} {'symbols C++/Python':>19}")
    for max_symbols in (1, 0):
        cpp, cpp_cpu, py, py_cpu = [float("inf")] * 4
        for _ in range(rounds):
            out = subprocess.run([str(loop), "2", str(max_symbols)] + files, check=True, capture_output=True,
                                 text=True).stdout.split()
            cpp, cpp_cpu, cpp_found = min(cpp, float(out[0])), min(cpp_cpu, float(out[1])), int(out[2])
            start, cpu = time.perf_counter(), time.process_time()
            found = sum(len(qrsuite.decode(p["grey"], max_symbols=max_symbols)) for p in photos)
            py, py_cpu = min(py, time.perf_counter() - start), min(py_cpu, time.process_time() - cpu)
        print(f"{max_symbols:11} {cpp:7.3f} {py:8.3f} {py / cpp:6.3f} {cpp_cpu:9.3f} {py_cpu:12.3f} "
              f"{py_cpu / cpp_cpu:6.3f} {cpp_found:>9}/{found}")


def thread_table(photos, loop, files, rounds):
    import qrsuite

    print(f"\n3. Threads: the photos {rounds} times over, max_symbols=1, on {len(os.sched_getaffinity(0))} cores")
    work = [p["grey"] for p in photos] * rounds
    reference = [[s.data for s in qrsuite.decode(g, max_symbols=1)] for g in work]
    # CPU seconds of the whole process per wall second: above 1 only when
    # decode calls run at the same time (the GIL released) on free cores.
    print(f"{'threads':>7} {'seconds':>8} {'photos/s':>9} {'CPU s/wall s':>12} {'same results':>13}")
    for threads in (1, 8):
        start, cpu = time.perf_counter(), time.process_time()
        with concurrent.futures.ThreadPoolExecutor(threads) as pool:
            results = list(pool.map(lambda g: [s.data for s in qrsuite.decode(g, max_symbols=1)], work))
        seconds = time.perf_counter() - start
        busy = (time.process_time() - cpu) / seconds
        print(f"{threads:7} {seconds:8.3f} {len(work) / seconds:9.1f} {busy:12.2f} {str(results == reference):>13}")
    # What the machine allows at the moment: the C++ loop as 1 and as 2
    # processes at once (a second free core doubles the photos per second).
    if loop.exists():
        for processes in (1, 2):
            start = time.perf_counter()
            runs = [subprocess.Popen([str(loop), str(rounds), "1"] + files, stdout=subprocess.DEVNULL)
                    for _ in range(processes)]
            for run in runs:
                run.wait()
            seconds = time.perf_counter() - start
            print(f"   C++ loop, {processes} process(es) at once: {processes * len(work) / seconds:.1f} photos/s")
    print(f"   load average while measuring: {os.getloadavg()[0]:.1f}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(ROOT / "build" / "release"))
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()
    build = pathlib.Path(args.build).resolve()
    sys.path.insert(0, str(build / "python"))
    report = load_photo_report()
    photos = load_photos(report)
    reading_table(report, photos, max(1, args.rounds // 2))
    loop = build / "bin" / "qrsuite_decode_loop"
    with tempfile.TemporaryDirectory() as folder:
        files = write_pgms(photos, folder)
        cpp_table(photos, loop, files, args.rounds)
        thread_table(photos, loop, files, 3)
    return 0


if __name__ == "__main__":
    sys.exit(main())
