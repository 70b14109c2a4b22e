#!/usr/bin/env python3
"""Sets a string value under HKEY_LOCAL_MACHINE in a Wine prefix as a 32-bit
program sees it, by editing the prefix's system.reg (the prefix's wineserver
must not be running). An earlier entry of the same key is replaced.

  wine_reg.py PREFIX 'SOFTWARE\\Maker\\Product\\Key' NAME VALUE
"""
import os
import re
import sys
import time


def quote(text):
    return text.replace('\\', '\\\\').replace('"', '\\"')


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    prefix, key, name, value = sys.argv[1:]
    parts = key.split('\\')
    if parts[0].upper() != 'SOFTWARE':
        sys.exit('wine_reg: only keys under SOFTWARE')
    # A 32-bit program's SOFTWARE is the 64-bit prefix's Wow6432Node.
    path = '\\\\'.join(['Software', 'Wow6432Node'] + parts[1:])
    reg = prefix + '/system.reg'
    if not os.path.isfile(reg):
        sys.exit('wine_reg: %s is not a Wine prefix (no system.reg)' % prefix)
    with open(reg, encoding='utf-8', errors='surrogateescape') as f:
        text = f.read()
    header = '[' + path + ']'
    blocks = re.split(r'\n(?=\[)', text)
    kept = [b for b in blocks if not b.lower().startswith(header.lower())]
    entry = '%s %d\n"%s"="%s"\n' % (header, int(time.time()), quote(name), quote(value))
    text = '\n'.join(kept).rstrip('\n') + '\n\n' + entry
    with open(reg, 'w', encoding='utf-8', errors='surrogateescape') as f:
        f.write(text)


if __name__ == '__main__':
    main()
