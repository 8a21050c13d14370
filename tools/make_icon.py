#!/usr/bin/env python3
"""Draws the module icon (a small fieldbus unit with a green status light) as a 32x32 ICO."""
import struct
import sys

W = H = 32


def pixel(x, y):
    # Grey housing with a darker frame, four terminal screws on top, a green light.
    if 3 <= x <= 28 and 6 <= y <= 27:
        if x in (3, 28) or y in (6, 27):
            return (60, 60, 70, 255)
        if 8 <= y <= 10 and (x - 5) % 6 in (0, 1, 2):
            return (200, 170, 40, 255)
        if 19 <= x <= 24 and 18 <= y <= 23:
            return (40, 200, 60, 255)
        if 6 <= x <= 15 and 15 <= y <= 24:
            return (30, 60, 140, 255)
        return (190, 190, 200, 255)
    return (0, 0, 0, 0)


def main(path):
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up
        rows.append(b"".join(struct.pack("<BBBB", b, g, r, a) for (r, g, b, a) in (pixel(x, y) for x in range(W))))
    xor = b"".join(rows)
    and_mask = b"\x00" * (4 * H)
    header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    icon = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", W, H, 0, 0, 1, 32, len(image), 22) + image
    with open(path, "wb") as out:
        out.write(icon)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "DAXO/TestDAXO01/res/TestDAXO01.ico")
