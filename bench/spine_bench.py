#!/usr/bin/python3
"""Benchmarks of the capture-and-copy spine on a private Xvfb.

  launch      quorvale start -> tray icon docked in an XEmbed tray (trayer), median of runs
  memory      resident memory of the idle app after one recognition (engine loaded)
  file        `quorvale file IMG` -> clipboard owned, interleaved with
              `OMP_THREAD_LIMIT=1 tesseract IMG - --psm 6` on the same image

Usage: bench/spine_bench.py [--runs N] [--binary build/bin/quorvale]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
PARAGRAPH = [
    "Screen text recognition turns what you see into",
    "text you can paste: menus, dialogs, terminals and",
    "web pages. Select an area, and a moment later the",
    "words are on the clipboard, ready to be used again.",
    "It runs on this machine; nothing leaves it at all.",
    "Shortcuts start a capture from any application.",
]


def render_paragraph(path):
    image = Image.new("RGB", (600, 200), "white")
    draw = ImageDraw.Draw(image)
    font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 14)
    for i, line in enumerate(PARAGRAPH):
        draw.text((10, 10 + i * 30), line, fill="black", font=font)
    image.save(path)


class Session:
    def __init__(self):
        self.home = tempfile.mkdtemp(prefix="quorvale-bench-")
        for sub in ("config/quorvale", "runtime"):
            os.makedirs(os.path.join(self.home, sub), exist_ok=True)
        os.chmod(os.path.join(self.home, "runtime"), 0o700)
        with open(os.path.join(self.home, "config/quorvale/defaults.json"), "w") as f:
            f.write('{"pref_showDockIcon": false, "pref_enableSound": false}')
        number = next(n for n in range(120, 400) if not os.path.exists(f"/tmp/.X{n}-lock"))
        self.display = f":{number}"
        self.xvfb = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-noreset"],
            stderr=subprocess.DEVNULL)
        self.env = dict(os.environ, DISPLAY=self.display, XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_RUNTIME_DIR=os.path.join(self.home, "runtime"), CANBERRA_DRIVER="null",
                        QT_QPA_PLATFORM="xcb")
        self.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self.procs = []
        deadline = time.time() + 10
        while subprocess.run(["xdpyinfo"], env=self.env, capture_output=True).returncode != 0:
            if time.time() > deadline:
                raise RuntimeError("Xvfb did not come up")
            time.sleep(0.02)

    def spawn(self, args, **kw):
        p = subprocess.Popen(args, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    def close(self):
        for p in reversed(self.procs):
            p.terminate()
            try:
                p.wait(3)
            except subprocess.TimeoutExpired:
                p.kill()
        self.xvfb.terminate()
        self.xvfb.wait()
        shutil.rmtree(self.home, ignore_errors=True)


def tray_icon_docked(session):
    tree = subprocess.run(["xwininfo", "-root", "-tree"], env=session.env, capture_output=True, text=True).stdout
    # trayer re-parents the docked icon window, which Qt gives the app's class, into its panel.
    return '("quorvale" "Quorvale")' in tree


def start_tray(session):
    # trayer sometimes dies when it starts right after the server; start it again then.
    for _ in range(5):
        tray = session.spawn(["trayer", "--edge", "top", "--align", "right"])
        deadline = time.time() + 3
        while time.time() < deadline and tray.poll() is None:
            tree = subprocess.run(["xwininfo", "-root", "-tree"], env=session.env,
                                  capture_output=True, text=True).stdout
            if '("panel" "trayer")' in tree:
                time.sleep(0.2)  # the tray selection is taken right after the panel appears
                return
            time.sleep(0.01)
        tray.kill()
    raise RuntimeError("trayer did not start")


def bench_launch(binary, runs):
    samples = []
    for _ in range(runs):
        session = Session()
        try:
            start_tray(session)
            start = time.perf_counter()
            app = session.spawn([binary])
            while not tray_icon_docked(session):
                if app.poll() is not None or time.perf_counter() - start > 20:
                    raise RuntimeError("tray icon never appeared")
                time.sleep(0.002)
            samples.append(time.perf_counter() - start)
        finally:
            session.close()
    return samples


def run_timed(args, env):
    start = time.perf_counter()
    result = subprocess.run(args, env=env, capture_output=True)
    if result.returncode != 0:
        raise RuntimeError(f"{args[0]} failed: {result.stderr.decode()}")
    return time.perf_counter() - start


def bench_file_and_memory(binary, runs):
    session = Session()
    try:
        image = os.path.join(session.home, "paragraph.png")
        render_paragraph(image)
        app = session.spawn([binary])
        deadline = time.time() + 20
        while subprocess.run([binary, "file", image], env=session.env, capture_output=True).returncode != 0:
            if time.time() > deadline:
                raise RuntimeError("app did not come up")
            time.sleep(0.05)
        tess_env = dict(session.env, OMP_THREAD_LIMIT="1")
        ours, theirs = [], []
        for _ in range(runs):
            ours.append(run_timed([binary, "file", image], session.env))
            theirs.append(run_timed(["tesseract", image, "-", "--psm", "6"], tess_env))
        clip = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=session.env,
                              capture_output=True, text=True).stdout
        time.sleep(1.0)
        with open(f"/proc/{app.pid}/status") as f:
            rss_kb = next(int(l.split()[1]) for l in f if l.startswith("VmRSS:"))
        return ours, theirs, rss_kb, clip
    finally:
        session.close()


def median_ms(samples):
    return statistics.median(samples) * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--binary", default=os.path.join(HERE, "..", "build", "bin", "quorvale"))
    args = parser.parse_args()
    binary = os.path.abspath(args.binary)

    launch = bench_launch(binary, max(5, args.runs // 2))
    print(f"launch -> tray icon docked: median {median_ms(launch):.0f} ms "
          f"(min {min(launch)*1000:.0f}, max {max(launch)*1000:.0f}, n={len(launch)})")
    ours, theirs, rss_kb, clip = bench_file_and_memory(binary, args.runs)
    ratios = [a / b for a, b in zip(ours, theirs)]
    print(f"quorvale file -> clipboard: median {median_ms(ours):.0f} ms; "
          f"tesseract --psm 6: median {median_ms(theirs):.0f} ms; "
          f"ratio median {statistics.median(ratios):.2f} (n={len(ours)}, interleaved)")
    print(f"idle resident memory after recognition: {rss_kb / 1024:.1f} MiB")
    print("clipboard after the runs:")
    print(clip)


if __name__ == "__main__":
    sys.exit(main())
