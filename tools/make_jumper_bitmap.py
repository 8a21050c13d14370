#!/usr/bin/env python3
"""Draws bitmap 2023 of TestDAXO01.dll: the unit's board seen from above, with the write-enable
jumper JP1 pointed out, as a 310 x 280 pixel BMP with a 256-colour palette.

Needs ImageMagick's `convert` and the DejaVu fonts. The build does not run this script; its
output res/jumper.bmp is kept in the repository.
"""
import subprocess
import sys

W, H = 310, 280

PCB = "#2f7a4b"
PCB_EDGE = "#1d4f30"
SILK = "#f4f4f4"
TRACE = "#3f9460"
PAD = "#d9b24a"
TERMINAL = "#3a66b0"
TERMINAL_DARK = "#24467e"
SCREW = "#c8c8c8"
CHIP = "#1e1e22"
PIN = "#b8b8b8"
HEADER = "#202020"
CAP = "#c0392b"
ARROW = "#d01818"
INK = "#202020"


def rect(x0, y0, x1, y1, fill, stroke=None, radius=0):
    s = f"stroke '{stroke}' stroke-width 1" if stroke else "stroke none"
    shape = f"roundrectangle {x0},{y0} {x1},{y1} {radius},{radius}" if radius else f"rectangle {x0},{y0} {x1},{y1}"
    return [f"fill '{fill}' {s} {shape}"]


def text(x, y, string, size, colour, font="DejaVu-Sans", anchor="start"):
    escaped = string.replace("\\", "\\\\").replace("'", "\\'")
    return [f"font '{font}' font-size {size} text-anchor {anchor} fill '{colour}' stroke none "
            f"text {x},{y} '{escaped}'"]


def terminal_block(x, y, count, labels, label_y):
    """A screw terminal block of `count` 20 px wide positions with its labels."""
    out = rect(x, y, x + 20 * count, y + 28, TERMINAL, TERMINAL_DARK, 2)
    for i in range(count):
        cx = x + 10 + 20 * i
        out += [f"fill '{SCREW}' stroke '#707070' stroke-width 1 circle {cx},{y + 14} {cx + 6},{y + 14}",
                f"stroke '#606060' stroke-width 2 line {cx - 4},{y + 14} {cx + 4},{y + 14}"]
        out += text(cx, label_y, labels[i], 9, INK, "DejaVu-Sans-Bold", "middle")
    return out


def chip(x0, y0, x1, y1, pins_per_side, sides, label=None):
    """A chip body with pins on the sides named in `sides` ("lr" or "lrtb")."""
    out = []
    if "l" in sides or "r" in sides:
        step = (y1 - y0) / (pins_per_side + 1)
        for i in range(1, pins_per_side + 1):
            py = round(y0 + step * i)
            if "l" in sides:
                out += rect(x0 - 4, py - 1, x0, py + 1, PIN)
            if "r" in sides:
                out += rect(x1, py - 1, x1 + 4, py + 1, PIN)
    if "t" in sides or "b" in sides:
        step = (x1 - x0) / (pins_per_side + 1)
        for i in range(1, pins_per_side + 1):
            px = round(x0 + step * i)
            if "t" in sides:
                out += rect(px - 1, y0 - 4, px + 1, y0, PIN)
            if "b" in sides:
                out += rect(px - 1, y1, px + 1, y1 + 4, PIN)
    out += rect(x0, y0, x1, y1, CHIP, "#000000", 1)
    out += [f"fill '#3a3a40' stroke none circle {x0 + 5},{y0 + 5} {x0 + 7},{y0 + 5}"]
    if label:
        out += text((x0 + x1) // 2, (y0 + y1) // 2 + 3, label, 8, "#d0d0d0", "DejaVu-Sans", "middle")
    return out


def pin(x, y):
    """One header pin seen from above: a gold square post in a dark base."""
    return rect(x - 2, y - 2, x + 2, y + 2, PAD)


def drawing():
    d = []
    # Board with mounting holes and a few traces.
    d += rect(8, 28, 242, 206, PCB, PCB_EDGE, 8)
    for hx, hy in ((18, 38), (232, 38), (18, 196), (232, 196)):
        d += [f"fill '#e8e8e8' stroke '{PAD}' stroke-width 2 circle {hx},{hy} {hx + 4},{hy}"]
    for line in ("60,60 60,100 70,100", "134,100 152,100 152,96", "140,120 190,120 190,150",
                 "100,150 100,170 130,170 130,190", "116,60 116,80", "168,72 202,72",
                 "40,150 40,125 70,125", "210,140 210,160"):
        d += [f"fill none stroke '{TRACE}' stroke-width 2 polyline {line}"]

    # Inputs on top, supply and bus at the bottom.
    d += terminal_block(28, 14, 6, ["I0", "I1", "I2", "I3", "C", "C"], 10)
    d += terminal_block(120, 192, 4, ["+U", "0V", "A", "B"], 231)

    # Processor, crystal, EEPROM, bus driver.
    d += chip(72, 82, 130, 140, 8, "lrtb", "CPU")
    d += [f"fill '#cfcfcf' stroke '#808080' stroke-width 1 roundrectangle 145,122 171,132 5,5"]
    d += chip(140, 66, 164, 92, 4, "lr")
    d += text(152, 62, "EEPROM", 7, SILK, "DejaVu-Sans", "middle")
    d += chip(150, 152, 176, 176, 4, "lr")

    # Small parts: capacitors, resistors, LEDs.
    for x, y in ((44, 100), (96, 62), (182, 104), (190, 130)):
        d += rect(x, y, x + 10, y + 5, "#d8c090", "#8a7040")
    d += [f"fill '#40e040' stroke '#207020' stroke-width 1 circle 28,62 32,62",
          f"fill '#f04040' stroke '#802020' stroke-width 1 circle 28,76 32,76"]
    d += text(36, 65, "PWR", 7, SILK) + text(36, 79, "COM", 7, SILK)

    # Programming header J2 (2 x 5).
    d += rect(26, 148, 56, 160 + 14, HEADER, None, 1)
    for row in range(2):
        for col in range(5):
            d += pin(30 + col * 6, 153 + row * 14)
    d += text(41, 184, "J2", 8, SILK, "DejaVu-Sans-Bold", "middle")

    # Bus termination jumper JP2, closed.
    d += rect(196, 162, 226, 172, HEADER, None, 1)
    d += pin(204, 167) + pin(218, 167)
    d += rect(198, 161, 224, 173, "#303030", "#000000", 2)
    d += text(211, 184, "JP2", 8, SILK, "DejaVu-Sans-Bold", "middle")

    # Write-enable jumper JP1: three pins, the cap joins the middle pin with WE.
    d += rect(205, 64, 219, 106, HEADER, None, 1)
    for py in (71, 85, 99):
        d += pin(212, py)
    d += rect(203, 63, 221, 93, CAP, "#6a1010", 3)
    d += [f"fill none stroke '#e88080' stroke-width 1 line 206,66 206,90"]
    d += text(212, 59, "WE", 8, SILK, "DejaVu-Sans-Bold", "middle")
    d += text(212, 116, "WP", 8, SILK, "DejaVu-Sans-Bold", "middle")
    d += text(192, 88, "JP1", 8, SILK, "DejaVu-Sans-Bold", "end")

    # Arrow from the margin to JP1.
    d += [f"fill none stroke '{ARROW}' stroke-width 4 line 300,78 234,78",
          f"fill '{ARROW}' stroke '{ARROW}' stroke-width 1 polygon 224,78 238,69 238,87"]
    d += text(272, 70, "JP1", 13, ARROW, "DejaVu-Sans-Bold", "middle")
    d += text(272, 100, "WE", 11, ARROW, "DejaVu-Sans-Bold", "middle")

    # Caption.
    d += text(W // 2, 256, "Pro zápis nastavte propojku", 13, INK, "DejaVu-Sans-Bold", "middle")
    d += text(W // 2, 273, "JP1 do polohy WE", 13, ARROW, "DejaVu-Sans-Bold", "middle")
    return d


def main(path):
    # An uncompressed bottom-up BMP with a 256-entry palette, without ImageMagick's time
    # stamps so that the output only changes with the drawing.
    subprocess.run(["convert", "-size", f"{W}x{H}", "xc:white", "-draw", "\n".join(drawing()),
                    "-dither", "None", "-colors", "256", "-type", "Palette", "-compress", "None",
                    "+set", "date:create", "+set", "date:modify", f"BMP3:{path}"], check=True)
    with open(path, "rb") as bmp:
        head = bmp.read(54)
    width = int.from_bytes(head[18:22], "little", signed=True)
    height = int.from_bytes(head[22:26], "little", signed=True)
    bits = int.from_bytes(head[28:30], "little")
    if (width, height, bits) != (W, H, 8):
        sys.exit(f"{path}: {width} x {height}, {bits} bits; expected {W} x {H}, 8 bits")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "DAXO/TestDAXO01/res/jumper.bmp")
