#!/usr/bin/python3
"""Screen-capture latency and memory on a private Xvfb.

Trigger -> first overlay frame painted, mouse-up -> image handed to recognition, and
resident memory during and after a selection, read from the app's trace lines
(debug messages of the Debug log category). Usage: bench/capture_bench.py [path/to/quorvale] [runs]
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

BINARY = sys.argv[1] if len(sys.argv) > 1 else "build/bin/quorvale"
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 15
LAYOUTS = {
    "one 1920x1080": ((1920, 1080), [(0, 0, 1920, 1080)]),
    "two 2560x1440": ((5120, 1440), [(0, 0, 2560, 1440), (2560, 0, 2560, 1440)]),
}


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def wait_for(predicate, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.005)
    return False


def bench(name, framebuffer, monitors):
    home = tempfile.mkdtemp(prefix="quorvale-bench-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=f"{home}/config",
               XDG_RUNTIME_DIR=f"{home}/run", CANBERRA_DRIVER="null", QT_QPA_PLATFORM="xcb",
               QT_LOGGING_RULES="com.vantrelo.Quorvale.Debug.debug=true",
               QT_FORCE_STDERR_LOGGING="1", OMP_THREAD_LIMIT="1")
    os.makedirs(f"{home}/config/quorvale")
    os.makedirs(f"{home}/run", mode=0o700)
    with open(f"{home}/config/quorvale/defaults.json", "w") as f:
        f.write('{"pref_showDockIcon": false, "pref_enableSound": false, "pref_showPrompts": false}')
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0",
                             f"{framebuffer[0]}x{framebuffer[1]}x24", "-nolisten", "tcp",
                             "-noreset"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    env["DISPLAY"] = ":" + xvfb.stdout.readline().decode().strip()
    run = lambda *a: subprocess.run(a, env=env, check=True, capture_output=True)
    if len(monitors) > 1:
        for i, (x, y, w, h) in enumerate(monitors):
            run("xrandr", "--setmonitor", f"B{i}", f"{w}/{w // 4}x{h}/{h // 4}+{x}+{y}",
                "screen" if i == 0 else "none")
    log = open(f"{home}/app.log", "w+")
    app = subprocess.Popen([BINARY], env=env, stderr=log, stdout=subprocess.DEVNULL)
    wait_for(lambda: os.path.exists(f"{home}/run/quorvale.socket"))
    time.sleep(1.0)

    def traces():
        log.flush()
        with open(f"{home}/app.log") as f:
            return f.read()

    painted, handed, rss_during, rss_after = [], [], [], []
    x0, y0 = monitors[0][0] + 100, monitors[0][1] + 100
    for _ in range(RUNS):
        before = traces().count("[Debug] capture startup-done ")
        run(BINARY, "capture")
        wait_for(lambda: traces().count("[Debug] capture startup-done ") > before)
        text = traces().split("[Debug] capture request ")[-1]
        paints = [float(v) for v in re.findall(r"overlay-painted ([0-9.]+)", text)]
        painted.append(max(paints[:len(monitors)]))
        rss_during.append(rss_kib(app.pid))
        delivered = traces().count("image-delivered")
        run("xdotool", "mousemove", str(x0), str(y0), "mousedown", "1", "mousemove",
            str(x0 + 300), str(y0 + 80), "mouseup", "1")
        wait_for(lambda: traces().count("image-delivered") > delivered)
        text = traces().split("[Debug] capture request ")[-1]
        up = float(re.search(r"mouse-up ([0-9.]+)", text).group(1))
        done = float(re.search(r"image-delivered ([0-9.]+)", text).group(1))
        handed.append(done - up)
        time.sleep(1.5)  # let recognition finish before measuring
        rss_after.append(rss_kib(app.pid))
    app.terminate()
    app.wait()
    xvfb.terminate()
    xvfb.wait()
    shutil.rmtree(home, ignore_errors=True)
    med = statistics.median
    print(f"{name}: trigger -> every overlay painted median {med(painted):.1f} ms "
          f"(min {min(painted):.1f}, max {max(painted):.1f}); mouse-up -> image "
          f"median {med(handed):.2f} ms; RSS during selection {med(rss_during) / 1024:.0f} MiB, "
          f"after {med(rss_after) / 1024:.0f} MiB (last {rss_after[-1] / 1024:.0f} MiB)")


if __name__ == "__main__":
    for layout, (framebuffer, monitors) in LAYOUTS.items():
        bench(layout, framebuffer, monitors)
