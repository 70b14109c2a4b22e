#!/usr/bin/env python3
"""Reads dialog 2003 and icon 100 back from a compiled resource file or a PE
file (through windres) and compares them with the configure dialog's table."""
import argparse
import re
import subprocess
import sys

WS_POPUP, WS_VISIBLE, WS_CAPTION, WS_SYSMENU = 0x80000000, 0x10000000, 0x00C00000, 0x00080000
WS_CHILD, WS_BORDER, WS_TABSTOP, WS_GROUP = 0x40000000, 0x00800000, 0x00010000, 0x00020000
DS_MODALFRAME, DS_SETFONT = 0x80, 0x40
BS_DEFPUSHBUTTON, BS_AUTOCHECKBOX = 0x1, 0x3
TBS_HORZ, TBS_AUTOTICKS = 0x0, 0x1
SS_LEFT = 0x0
ES_CENTER, ES_AUTOHSCROLL, ES_READONLY = 0x1, 0x80, 0x800
STATIC = 65535  # no id

DIALOG = {
    "size": (0, 0, 252, 87),
    "style": WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    "caption": "Lumora Screensaver",
    "font": (8, "MS Sans Serif"),
}
CONTROLS = [  # resource order: text, id, class, position, style
    ("OK", 1, "BUTTON", (195, 66, 50, 14), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON),
    ("Slider1", 1002, "MSCTLS_TRACKBAR32", (7, 18, 182, 20), WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS),
    ("Maximum frame rate (lower will use less processing power):", STATIC, "STATIC", (7, 7, 238, 9),
     WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT),
    ("", 1003, "EDIT", (195, 21, 50, 14),
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL | ES_READONLY),
    ("Lowest", STATIC, "STATIC", (162, 37, 24, 8), WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT),
    ("Highest", STATIC, "STATIC", (13, 38, 25, 8), WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT),
    ("Do not force screensaver to quit on user action.", 1005, "BUTTON", (7, 69, 166, 10),
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX),
    ("Enable preview.", 1006, "BUTTON", (7, 58, 67, 10), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX),
]
# windres names the predefined classes by statement.
STATEMENT_CLASS = {"DEFPUSHBUTTON": "BUTTON", "PUSHBUTTON": "BUTTON", "LTEXT": "STATIC", "EDITTEXT": "EDIT",
                   "AUTOCHECKBOX": "BUTTON"}


def parse_controls(body):
    controls = []
    for line in body.strip().splitlines():
        line = line.strip()
        m = re.match(r'CONTROL "(.*)", (\d+), "([^"]+)", (0x[0-9a-fA-F]+), (\d+), (\d+), (\d+), (\d+)$', line)
        if m:
            controls.append((m[1], int(m[2]), m[3].upper(), tuple(int(m[i]) for i in range(5, 9)), int(m[4], 16)))
            continue
        m = re.match(r'(\w+) "(.*)", (\d+), (\d+), (\d+), (\d+), (\d+), (0x[0-9a-fA-F]+)$', line)
        if m:
            controls.append((m[2], int(m[3]), STATEMENT_CLASS[m[1]], tuple(int(m[i]) for i in range(4, 8)), int(m[8], 16)))
            continue
        m = re.match(r'EDITTEXT (\d+), (\d+), (\d+), (\d+), (\d+), (0x[0-9a-fA-F]+)$', line)
        if m:
            controls.append(("", int(m[1]), "EDIT", tuple(int(m[i]) for i in range(2, 6)), int(m[6], 16)))
            continue
        controls.append(("unparsed: " + line, 0, "", (0, 0, 0, 0), 0))
    return controls


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("file")
    ap.add_argument("--windres", required=True)
    args = ap.parse_args()
    rc = subprocess.run([args.windres, "-J", "coff", "-i", args.file, "-O", "rc"], capture_output=True, text=True, check=True).stdout
    errors = []
    m = re.search(r'^2003 DIALOG (\d+), (\d+), (\d+), (\d+)\nSTYLE (0x[0-9a-fA-F]+)\nCAPTION "(.*)"\n'
                  r'FONT (\d+), "(.*)"\nBEGIN\n(.*?)^END', rc, re.M | re.S)
    if not m:
        print(f"{args.file}: dialog 2003 not found")
        return 1
    got = {"size": tuple(int(m[i]) for i in range(1, 5)), "style": int(m[5], 16), "caption": m[6],
           "font": (int(m[7]), m[8])}
    for key, want in DIALOG.items():
        if got[key] != want:
            errors.append(f"dialog {key}: expected {want!r}, got {got[key]!r}")
    controls = parse_controls(m[9])
    if len(controls) != len(CONTROLS):
        errors.append(f"controls: expected {len(CONTROLS)}, got {len(controls)}")
    for i, (want, have) in enumerate(zip(CONTROLS, controls)):
        for name, w, h in zip(("text", "id", "class", "position", "style"), want, have):
            if w != h:
                errors.append(f"control {i} ({want[0]!r}) {name}: expected {w!r}, got {h!r}")
    if not re.search(r'^100 ICON', rc, re.M) and "Name: 100" not in rc:
        errors.append("icon 100 not found")
    for e in errors:
        print(f"{args.file}: {e}")
    print(f"{args.file}: dialog 2003 with {len(controls)} controls, " + ("matches" if not errors else "DIFFERS"))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
