#!/usr/bin/env python3
"""Checks a Windows deliverable: PE32 for i386, the exports it must have,
and that it imports only Windows system DLLs and the libraries named."""
import argparse
import re
import subprocess
import sys

# DLLs every Windows installation has. Compiler runtimes (libgcc_s_*,
# libstdc++-6, libwinpthread-1) are deliberately absent.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll",
    "comctl32.dll", "comdlg32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
    "winmm.dll", "opengl32.dll", "version.dll", "ntdll.dll", "shlwapi.dll", "imm32.dll",
}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("file")
    ap.add_argument("--objdump", required=True)
    ap.add_argument("--kind", choices=["dll", "gui", "console"], required=True)
    ap.add_argument("--name", help="expected file name")
    ap.add_argument("--exports", nargs="*", default=[])
    ap.add_argument("--allow", nargs="*", default=[], help="non-system DLLs it may import")
    args = ap.parse_args()

    out = subprocess.run([args.objdump, "-p", args.file], capture_output=True, text=True, check=True).stdout
    errors = []
    if args.name and not args.file.replace("\\", "/").endswith("/" + args.name):
        errors.append(f"file name: expected {args.name}, got {args.file}")
    if "file format pei-i386" not in out:
        errors.append("format: expected pei-i386")
    if not re.search(r"^Magic\s+010b\s+\(PE32\)", out, re.M):
        errors.append("optional header: expected PE32 (010b)")
    characteristics = re.search(r"^Characteristics\s+0x([0-9a-f]+)", out, re.M)
    is_dll = characteristics and int(characteristics.group(1), 16) & 0x2000
    if (args.kind == "dll") != bool(is_dll):
        errors.append(f"kind: expected {args.kind}")
    subsystem = re.search(r"^Subsystem\s+0+(\d)", out, re.M)
    if args.kind == "gui" and (not subsystem or subsystem.group(1) != "2"):
        errors.append("subsystem: expected Windows GUI (2)")

    imports = [m.lower() for m in re.findall(r"DLL Name: (\S+)", out)]
    allowed = SYSTEM_DLLS | {a.lower() for a in args.allow}
    for dll in imports:
        if dll not in allowed:
            errors.append(f"imports: {dll} is neither a system DLL nor allowed")
    for a in args.allow:
        if a.lower() not in imports:
            errors.append(f"imports: expected {a}, not imported")

    table = out.split("[Ordinal/Name Pointer] Table", 1)
    names = set(re.findall(r"^\s+\[\s*\d+\]\s+(\S+)$", table[1], re.M)) if len(table) == 2 else set()
    for e in args.exports:
        if e not in names:
            errors.append(f"exports: {e} missing")

    for e in errors:
        print(f"{args.file}: {e}")
    print(f"{args.file}: imports {', '.join(imports)}")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
