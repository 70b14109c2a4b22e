#!/usr/bin/env python3
"""Checks what a short run of scripts/demo left in its output folder: the
report says frames ran, all nine effects were applied, the engine was
released and the saver exited with 0; both screenshots are PNG files that
are not blank (more than one colour, counted from the pictures themselves).

  check_demo.py OUT_DIR
"""
import os
import re
import struct
import sys
import zlib

EFFECTS = ['Echo', 'Chorus', 'Flanger', 'Distortion', 'Compressor', 'Gargle', 'Reverb', 'ParamEQ', 'EAX']


def png_colours(path):
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError('not a PNG file')
    at, idat, width, height = 8, b'', 0, 0
    while at + 8 <= len(data):
        size, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + size]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            if (depth, colour) != (8, 2):
                raise ValueError('expected 8-bit RGB')
        elif kind == b'IDAT':
            idat += body
        at += 12 + size
    raw = zlib.decompress(idat)
    stride = width * 3 + 1
    if len(raw) != stride * height:
        raise ValueError('picture data of the wrong size')
    colours = set()
    for y in range(0, height, 2):
        row = raw[y * stride:(y + 1) * stride]
        if row[0] != 0:
            raise ValueError('unexpected row filter')
        for x in range(1, len(row), 6):
            colours.add(row[x:x + 3])
    return len(colours)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    failures = []
    report = open(os.path.join(out, 'report.txt')).read()
    print(report)
    frames = re.search(r'^  frames run: (\d+)$', report, re.M)
    if not frames or int(frames.group(1)) == 0:
        failures.append('no frames ran')
    for effect in EFFECTS:
        m = re.search(r'^    %s +on \w+, (\d+) times' % re.escape(effect), report, re.M)
        if not m or int(m.group(1)) == 0:
            failures.append('%s was not applied' % effect)
    if not re.search(r'^  flags the project saw: LumoSaver 1, LumoSaverPreview 0$', report, re.M):
        failures.append('the saver flags are not 1 and 0')
    if not re.search(r'^  engine released: yes$', report, re.M):
        failures.append('the engine was not released')
    if not re.search(r'^  exit code: 0$', report, re.M):
        failures.append('the saver did not exit with 0')
    for shot in ('saver.png', 'configure.png'):
        path = os.path.join(out, shot)
        try:
            colours = png_colours(path)
        except (OSError, ValueError, zlib.error) as e:
            failures.append('%s: %s' % (shot, e))
            continue
        print('%s: %d colours' % (shot, colours))
        if colours < 2:
            failures.append('%s is blank' % shot)
    for f in failures:
        print('FAILED: ' + f)
    print('demo check: %s' % ('FAILED' if failures else 'passed'))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
