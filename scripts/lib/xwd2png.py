#!/usr/bin/env python3
"""Turns an X window dump (xwd, 24/32-bit TrueColor, ZPixmap) into a PNG and
prints how many distinct colours it holds (1 means a blank picture).

  xwd2png.py IN.xwd OUT.png
"""
import struct
import sys
import zlib


def read_xwd(path):
    with open(path, 'rb') as f:
        data = f.read()
    if len(data) < 100:
        sys.exit('xwd2png: file too short')
    head = struct.unpack('>25I', data[:100])
    header_size, version, pixmap_format, depth, width, height = head[:6]
    byte_order, bits_per_pixel, bytes_per_line, ncolors = head[7], head[11], head[12], head[19]
    red_mask, green_mask, blue_mask = head[14:17]
    if version != 7 or pixmap_format != 2 or bits_per_pixel not in (24, 32):
        sys.exit('xwd2png: only 24/32-bit ZPixmap dumps are read')
    at = header_size + ncolors * 12
    if width <= 0 or height <= 0 or at + bytes_per_line * height > len(data):
        sys.exit('xwd2png: damaged dump')
    step = bits_per_pixel // 8
    order = '<' if byte_order == 0 else '>'

    def shift(mask):
        s = 0
        while mask and not mask & 1:
            mask >>= 1
            s += 1
        return s

    shifts = [(m, shift(m)) for m in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        line = data[at + y * bytes_per_line: at + y * bytes_per_line + width * step]
        if step == 4:
            pixels = struct.unpack(order + '%dI' % width, line)
        else:
            pixels = [int.from_bytes(line[i:i + 3], 'little' if order == '<' else 'big') for i in range(0, len(line), 3)]
        row = bytearray()
        for p in pixels:
            for mask, s in shifts:
                row.append((p & mask) >> s & 0xFF)
        rows.append(bytes(row))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b''.join(b'\0' + r for r in rows)
    png = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
           + chunk(b'IDAT', zlib.compress(raw, 6)) + chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(png)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    width, height, rows = read_xwd(sys.argv[1])
    write_png(sys.argv[2], width, height, rows)
    colours = set()
    for r in rows[::4]:
        for i in range(0, len(r), 12):
            colours.add(r[i:i + 3])
    print(len(colours))


if __name__ == '__main__':
    main()
