#!/usr/bin/python3
"""Renders a small screen-text corpus and scores `quorvale ocr` on it.

    /usr/bin/python3 bench/render_bench.py [--out DIR] [--count 40] [--no-score]

Needs python3-pil. Images are drawn with PIL in the installed TrueType fonts at
9-16 px (1x) and the same sizes doubled (2x), in light, dark and coloured themes,
in English, German, French and Spanish, some with one line on a bar of the other
polarity (a selected row, a title bar); with xterm, Xvfb and ImageMagick's
`import` present, a few real terminal windows are grabbed too. The folder has the
layout score.py reads (qNNN.png, qNNN.txt, manifest.json/csv). QUORVALE_BIN picks
the build (default build/bin/quorvale). The shared corpus: bench/run_ocrbench.sh.

Then the hand checks run: screen chrome drawn here (a table with grey grid lines,
selected rows of both polarities, a rule running on past its line, a real xterm
grabbed 10 px beyond its client area under openbox); each must read exactly.
"""
import argparse
import csv
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageDraw, ImageFont

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SCORE = os.path.join(REPO, "..", "shared", "ocrbench", "score.py")
FIELDS = ["name", "set", "renderer", "kind", "lang", "font", "px", "scale", "size_bucket",
          "theme", "bg", "fg", "width", "height", "lines", "chars"]

TEXTS = {
    "en": ["The settings are saved when you close the window.",
           "Open a file, then choose Export to save a copy.",
           "Error: could not connect to the server (timeout 30s).",
           "Press Ctrl+Shift+C to copy the selected text.",
           "Version 2.4.1 fixes 17 bugs and adds dark mode."],
    "de": ["Die Änderungen werden beim Schließen gespeichert.",
           "Größere Dateien können nicht geöffnet werden.",
           "Überprüfen Sie die Verbindung zum Server.",
           "Wählen Sie einen Ordner für die Sicherung aus."],
    "fr": ["Les paramètres sont enregistrés à la fermeture.",
           "Êtes-vous sûr de vouloir supprimer ce fichier ?",
           "La mise à jour a échoué : réessayez plus tard.",
           "Sélectionnez un dossier pour la copie de sécurité."],
    "es": ["La configuración se guarda al cerrar la ventana.",
           "¿Está seguro de que desea eliminar el archivo?",
           "No se pudo conectar con el servidor después de 30 s.",
           "Añada una descripción para que otros la encuentren."],
}
TERM_LINES = ["$ ls -l /etc/hosts", "-rw-r--r-- 1 root root 221 Jan 12 10:04 /etc/hosts",
              "$ grep -n main src/app/main.cpp", "4:int main(int argc, char** argv) {"]
THEMES = {"light": ("#ffffff", "#1f2328"), "dark": ("#1e1e1e", "#d4d4d4"),
          "colour": ("#264f78", "#ffffff")}
# A line on a bar of the other polarity: a selected row, a title bar, a button.
BARS = {"light": ("#1f5fbf", "#ffffff"), "dark": ("#e8e8e8", "#202020"),
        "colour": ("#ffcc00", "#000000")}


def font_files():
    """Family name -> file, for a few common families that are installed."""
    wanted = ["DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono", "Liberation Sans",
              "Liberation Serif", "Liberation Mono", "Noto Sans", "Nimbus Sans"]
    found = {}
    for family in wanted:
        try:
            out = subprocess.run(["fc-match", "-f", "%{family}|%{file}", family + ":style=Regular"],
                                 capture_output=True, text=True, check=True).stdout
        except (OSError, subprocess.CalledProcessError):
            continue
        name, _, path = out.partition("|")
        if name.split(",")[0] == family and path.endswith((".ttf", ".otf")):
            found[family] = path
    return found


def bucket(px, scale):
    if scale == 2:
        return "2x"
    low = px - (px + 1) % 2
    return f"1x-{low}-{low + 1}px"


def render(lines, path, px, scale, theme, bar=None):
    bg, fg = THEMES[theme]
    font = ImageFont.truetype(path, px * scale)
    step = int(px * scale * 1.45)
    pad = 6 * scale
    width = max(int(font.getlength(line)) for line in lines) + 2 * pad
    img = Image.new("RGB", (width, step * len(lines) + 2 * pad), bg)
    draw = ImageDraw.Draw(img)
    for i, line in enumerate(lines):
        colour = fg
        if i == bar:
            top = pad + i * step - (step - px * scale) // 2
            draw.rectangle([0, top, width - 1, top + step - 1], fill=BARS[theme][0])
            colour = BARS[theme][1]
        draw.text((pad, pad + i * step), line, font=font, fill=colour)
    return img, bg, fg


def grab_xterm(lines, theme, out_png, font, px):
    """A real xterm showing the lines, grabbed from a private X server."""
    if not all(shutil.which(t) for t in ("xterm", "Xvfb", "import")):
        return False
    bg, fg = THEMES[theme]
    display = f":{random.randint(200, 400)}"
    server = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x400x24", "-nolisten", "tcp"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=display)
    term = None
    try:
        time.sleep(0.5)
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
            f.write("\n".join(lines))
        term = subprocess.Popen(["xterm", "-fa", font, "-fs", str(px), "-bg", bg, "-fg", fg,
                                 "-geometry", "70x6+0+0", "-title", "bench", "+sb", "-bw", "0",
                                 "-e", f"clear; cat {f.name}; printf '\\033[?25l'; sleep 30"],
                                env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.5)
        ok = subprocess.run(["import", "-window", "root", "-crop", "0x0", out_png], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
        os.unlink(f.name)
        if not ok:
            return False
        img = Image.open(out_png).convert("RGB")
        # Keep the terminal, not the empty root window around it.
        mask = Image.new("RGB", img.size, img.getpixel((img.width - 1, img.height - 1)))
        from PIL import ImageChops
        box = ImageChops.difference(img, mask).getbbox()
        if not box:
            return False
        img.crop(box).save(out_png)
        return True
    finally:
        if term:
            term.kill()
        server.kill()
        server.wait()


def draw_rows(rows, path, px, scale, page, ink, bars=None, grid=None, rule=None):
    """Rows of cells at fixed columns; bars: row -> (fill, ink); grid: line colour."""
    font = ImageFont.truetype(path, px * scale)
    step, pad, gap = int(px * scale * 2.0), 10 * scale, 16 * scale
    cols = [max(int(font.getlength(r[c])) for r in rows if c < len(r)) + gap
            for c in range(max(map(len, rows)))]
    width = sum(cols) + 2 * pad + (rule or 0) * scale
    img = Image.new("RGB", (width, step * len(rows) + 2 * pad), page)
    draw = ImageDraw.Draw(img)
    for i, row in enumerate(rows):
        top, colour = pad + i * step, ink
        if bars and i in bars:
            draw.rectangle([0, top, width - 1, top + step - 1], fill=bars[i][0])
            colour = bars[i][1]
        x = pad
        for c, cell in enumerate(row):
            draw.text((x + gap // 2, top + (step - px * scale) // 2 - scale), cell, font=font,
                      fill=colour)
            x += cols[c]
        if rule:
            y = top + step - 3 * scale
            draw.line([(pad, y), (width - pad, y)], fill=ink, width=scale)
    if grid:
        for i in range(len(rows) + 1):
            draw.line([(pad, pad + i * step), (pad + sum(cols), pad + i * step)], fill=grid,
                      width=scale)
        x = pad
        for c in range(len(cols) + 1):
            draw.line([(x, pad), (x, pad + len(rows) * step)], fill=grid, width=scale)
            x += cols[c] if c < len(cols) else 0
    return img


def grab_framed_xterm(lines, out_png, font, px, margin=10):
    """An xterm under openbox, grabbed `margin` px beyond its client area on every side:
    its border and a strip of its title bar come along, as in a careless area selection."""
    if not all(shutil.which(t) for t in ("xterm", "Xvfb", "openbox", "import", "xwininfo")):
        return False
    display = f":{random.randint(401, 600)}"
    server = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x500x24", "-nolisten", "tcp"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=display)
    procs = []
    try:
        time.sleep(0.5)
        procs.append(subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL))
        time.sleep(0.8)
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
            f.write("\n".join(lines))
        procs.append(subprocess.Popen(
            ["xterm", "-fa", font, "-fs", str(px), "-geometry", "60x4+60+60", "-title",
             "Overlay test", "+sb", "-e", f"clear; cat {f.name}; printf '\\033[?25l'; sleep 30"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1.5)
        os.unlink(f.name)
        info = subprocess.run(["xwininfo", "-name", "Overlay test"], env=env, capture_output=True,
                              text=True).stdout
        geo = {k.strip(): int(v) for k, v in (l.split(":", 1) for l in info.splitlines()
               if l.strip().startswith(("Absolute", "Width", "Height")))}
        x, y = geo["Absolute upper-left X"], geo["Absolute upper-left Y"]
        crop = f"{geo['Width'] + 2 * margin}x{geo['Height'] + 2 * margin}+{x - margin}+{y - margin}"
        return subprocess.run(["import", "-window", "root", "-crop", crop, out_png], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
    except (KeyError, ValueError, OSError):
        return False
    finally:
        for proc in reversed(procs):
            proc.kill()
        server.kill()
        server.wait()


def hand_checks(out, fonts):
    """(name, image path, expected text) of the chrome that must read exactly."""
    sans = fonts.get("DejaVu Sans") or next(iter(fonts.values()))
    mono = fonts.get("DejaVu Sans Mono")
    table = [["Name", "Size", "Modified"], ["report.pdf", "2.4 MB", "Yesterday"],
             ["notes.txt", "12 KB", "Monday"]]
    listing = [["Inbox"], ["Drafts"], ["Sent messages"], ["Archive"]]
    menu = [["Open Recent"], ["Save As"], ["Print Preview"], ["Close Window"]]
    cases = [
        ("grid-table", draw_rows(table, sans, 13, 1, "#ffffff", "#000000", grid="#c0c0c0"),
         table),
        ("grey-selection", draw_rows(listing, sans, 13, 1, "#ffffff", "#000000",
                                     bars={2: ("#d0d0d0", "#000000")}), listing),
        ("tan-selection", draw_rows(listing, sans, 13, 1, "#ffffff", "#000000",
                                    bars={1: ("#c8c0a0", "#000000")}), listing),
        ("dark-menu-2x", draw_rows(menu, sans, 13, 2, "#2a2e32", "#fcfcfc",
                                   bars={2: ("#3daee9", "#ffffff")}), menu),
        ("rule-past-end", draw_rows([["Overlay test 1234 words"]], sans, 13, 1, "#ffffff",
                                    "#202020", rule=120), [["Overlay test 1234 words"]]),
    ]
    checks = []
    for name, img, rows in cases:
        path = os.path.join(out, f"hand-{name}.png")
        img.save(path)
        checks.append((name, path, "\n".join(" ".join(r) for r in rows)))
    term = ["Overlay test 1234 words", "$ echo done"]
    path = os.path.join(out, "hand-framed-terminal.png")
    if mono and grab_framed_xterm(term, path, "DejaVu Sans Mono", 11):
        checks.append(("framed-terminal", path, "\n".join(term)))
    else:
        print("hand checks: no openbox/xterm/Xvfb/import, the framed terminal is not checked")
    return checks


def run_hand_checks(binary, checks):
    failed = 0
    for name, path, expected in checks:
        out = subprocess.run([binary, "ocr", "--lang", "eng", path], capture_output=True,
                             text=True).stdout
        got = "\n".join(l.strip() for l in out.splitlines() if l.strip())
        got = re.sub(" +", " ", got)
        ok = got == expected
        failed += not ok
        print(f"hand check {name}: {'exact' if ok else 'WRONG'}")
        if not ok:
            print("  expected: " + expected.replace("\n", " | "))
            print("  read:     " + got.replace("\n", " | "))
    return failed


def build(out, count, seed):
    rng = random.Random(seed)
    fonts = font_files()
    if not fonts:
        sys.exit("render_bench: no TrueType fonts found (install fonts-dejavu-core)")
    os.makedirs(out, exist_ok=True)
    images = []
    langs = list(TEXTS)
    for i in range(count):
        lang = langs[i % len(langs)]
        family = rng.choice(sorted(fonts))
        px = rng.randint(9, 16)
        scale = 2 if i % 5 == 4 else 1
        theme = list(THEMES)[i % 3]
        lines = rng.sample(TEXTS[lang], k=rng.randint(1, 3))
        kind = "para" if len(lines) > 1 else "ui"
        bar = None
        if len(lines) > 1 and i % 4 == 3:
            kind, bar = "mixed", (i // 4) % len(lines)
        name = f"q{i + 1:03d}"
        img, bg, fg = render(lines, fonts[family], px, scale, theme, bar)
        img.save(os.path.join(out, name + ".png"))
        images.append(dict(name=name, set="render", renderer="pil", kind=kind, lang=lang,
                           font=family, px=px, scale=scale, size_bucket=bucket(px, scale),
                           theme=theme, bg=bg, fg=fg, width=img.width, height=img.height,
                           lines=len(lines), chars=sum(map(len, lines)), text=lines))
    mono = next((f for f in ("DejaVu Sans Mono", "Liberation Mono") if f in fonts), None)
    for j, theme in enumerate(THEMES if mono else []):
        name = f"q{count + j + 1:03d}"
        png = os.path.join(out, name + ".png")
        px = 11 + 2 * j
        if not grab_xterm(TERM_LINES, theme, png, mono, px):
            break
        img = Image.open(png)
        images.append(dict(name=name, set="render", renderer="xterm", kind="term", lang="en",
                           font=mono, px=px, scale=1, size_bucket=bucket(px, 1), theme=theme,
                           bg=THEMES[theme][0], fg=THEMES[theme][1], width=img.width,
                           height=img.height, lines=len(TERM_LINES),
                           chars=sum(map(len, TERM_LINES)), text=TERM_LINES))
    for item in images:
        with open(os.path.join(out, item.pop("name") + ".txt"), "w", encoding="utf-8") as f:
            f.write("\n".join(item.pop("text")) + "\n")
    # The name was popped for the text files; put records back in order.
    records = [dict(name=f"q{k + 1:03d}", **item) for k, item in enumerate(images)]
    with open(os.path.join(out, "manifest.json"), "w", encoding="utf-8") as f:
        json.dump({"seed": seed, "set": "render", "generator": "bench/render_bench.py",
                   "images": records}, f, ensure_ascii=False, indent=1)
    with open(os.path.join(out, "manifest.csv"), "w", newline="", encoding="utf-8") as f:
        writer = csv.DictWriter(f, fieldnames=FIELDS, extrasaction="ignore")
        writer.writeheader()
        writer.writerows(records)
    return len(records)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--out", default=os.path.join(tempfile.gettempdir(), "quorvale-render-bench"))
    ap.add_argument("--count", type=int, default=40)
    ap.add_argument("--seed", type=int, default=7)
    ap.add_argument("--no-score", action="store_true")
    a = ap.parse_args()
    n = build(a.out, a.count, a.seed)
    print(f"{n} images in {a.out}")
    if a.no_score:
        return
    binary = os.environ.get("QUORVALE_BIN", os.path.join(REPO, "build", "bin", "quorvale"))
    if not os.access(binary, os.X_OK):
        sys.exit(f"render_bench: no executable at {binary} (build first)")
    failed = run_hand_checks(binary, hand_checks(a.out, font_files()))
    cmd = f"'{binary}' ocr --lang {{tlangs}} {{img}}"
    code = subprocess.call([sys.executable, os.path.abspath(SCORE), "--cmd", cmd, a.out])
    sys.exit(code or (1 if failed else 0))


if __name__ == "__main__":
    main()
