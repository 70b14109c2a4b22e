#!/usr/bin/env python3
"""Writes saverhost's icon (resource 100): 32x32, 32-bit, a cube's outline."""
import struct
import sys

SIZE = 32


def pixel(x, y):
    # A square frame with a diagonal: a cube seen edge-on, in the saver's blue.
    on_frame = x in (6, 25) or y in (6, 25)
    inside = 6 <= x <= 25 and 6 <= y <= 25
    on_diagonal = inside and abs(x - y) <= 1
    if inside and (on_frame or on_diagonal):
        return (255, 200, 80, 255)  # BGRA
    if 3 <= x <= 28 and 3 <= y <= 28:
        return (40, 20, 10, 255)
    return (0, 0, 0, 0)


def main(path):
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        rows.append(b"".join(struct.pack("4B", *pixel(x, y)) for x in range(SIZE)))
    xor = b"".join(rows)
    and_mask = b"\0" * (SIZE * SIZE // 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    icon = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(icon + image)


if __name__ == "__main__":
    main(sys.argv[1])
