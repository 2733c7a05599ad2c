#!/usr/bin/python3
"""The whole road by keyboard on a private Xvfb: Super+Alt+P, a drag over a terminal, text
on the clipboard.

  key press -> overlay painted    from the app's hot-key log line and capture trace
  mouse-up -> text on clipboard   polled with xclip, so a few milliseconds coarse

The app's log lines carry CLOCK_MONOTONIC milliseconds, as time.monotonic() does here.
Usage: bench/shortcut_bench.py [path/to/quorvale] [runs]
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
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 20
TEXT = "Quorvale reads this line\nand the second one too"


def wait_for(predicate, timeout=30.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.002)
    return False


def main():
    home = tempfile.mkdtemp(prefix="quorvale-bench-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=f"{home}/config",
               XDG_RUNTIME_DIR=f"{home}/run", CANBERRA_DRIVER="null", QT_QPA_PLATFORM="xcb",
               QT_LOGGING_RULES="com.vantrelo.Quorvale.Debug.debug=true", QT_FORCE_STDERR_LOGGING="1", OMP_THREAD_LIMIT="1",
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    os.makedirs(f"{home}/config/quorvale")
    os.makedirs(f"{home}/run", mode=0o700)
    with open(f"{home}/config/quorvale/defaults.json", "w") as f:
        f.write('{"pref_showDockIcon": false, "pref_enableSound": false}')
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1920x1080x24",
                             "-nolisten", "tcp", "-noreset"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    env["DISPLAY"] = ":" + xvfb.stdout.readline().decode().strip()
    run = lambda *a: subprocess.run(a, env=env, capture_output=True, text=True)
    terminal = subprocess.Popen(
        ["xterm", "-geometry", "60x10+100+100", "-fa", "DejaVu Sans Mono", "-fs", "14", "-bg",
         "white", "-fg", "black", "+cm", "-e", "sh", "-c",
         "printf '\\033[?25l'; echo 'Quorvale reads this line'; "
         "echo 'and the second one too'; exec sleep 600"], env=env)
    log = open(f"{home}/app.log", "w+")
    app = subprocess.Popen([BINARY], env=env, stderr=log, stdout=subprocess.DEVNULL)
    wait_for(lambda: os.path.exists(f"{home}/run/quorvale.socket"))
    time.sleep(1.0)  # let the terminal draw its text

    def lines():
        log.flush()
        with open(f"{home}/app.log") as f:
            return f.read()

    def last(pattern):
        return float(re.findall(pattern, lines())[-1])

    to_overlay, to_action, to_clipboard = [], [], []
    for _ in range(RUNS):
        run("xclip", "-selection", "clipboard", "-i", "/dev/null")
        ready = lines().count("[Debug] capture startup-done ")
        run("xdotool", "key", "--delay", "0", "super+alt+33")
        if not wait_for(lambda: lines().count("[Debug] capture startup-done ") > ready):
            sys.exit("no overlay came up")
        pressed = last(r"pressed 33 at ([0-9.]+)")
        requested = last(r"keyUp captureAndCopy at ([0-9.]+)")
        painted = last(r"\[Debug\] capture overlay-painted ([0-9.]+)")
        to_overlay.append(requested - pressed + painted)
        to_action.append(requested - pressed)
        run("xdotool", "mousemove", "104", "104", "mousedown", "1", "mousemove", "404", "204",
            "mousemove", "704", "304", "mouseup", "1")
        up = time.monotonic() * 1000
        if not wait_for(lambda: run("xclip", "-o", "-selection", "clipboard").stdout == TEXT):
            sys.exit("the text never reached the clipboard: "
                     + run("xclip", "-o", "-selection", "clipboard").stdout)
        to_clipboard.append(time.monotonic() * 1000 - up)
    for process in (app, terminal, xvfb):
        process.terminate()
        process.wait()
    shutil.rmtree(home, ignore_errors=True)
    med = statistics.median
    print(f"key press -> overlay painted: median {med(to_overlay):.1f} ms "
          f"({med(to_action):.1f} ms of it to the key-up action)")
    print(f"mouse-up -> text on the clipboard (600x200): median {med(to_clipboard):.1f} ms")


if __name__ == "__main__":
    main()
