#!/usr/bin/env python3
"""Draws the program's icon group (32x32 and 16x16, 256 colours) into kelvane.ico.

The icon is a sheet of paper with a folded corner and an arrow leaving it: a document sent
on its way. Run it again after changing the drawing; the .ico it writes is kept in the tree.
"""
import struct
import sys

PALETTE = [
    (0, 0, 0),        # 0 outline
    (255, 255, 255),  # 1 paper
    (200, 200, 200),  # 2 fold
    (204, 32, 32),    # 3 arrow
    (255, 0, 255),    # 4 transparent (masked)
]


def draw(size):
    """Returns rows top to bottom of palette indices."""
    s = size / 32.0
    pixels = [[4] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), min(size, int(y1 * s))):
            for x in range(int(x0 * s), min(size, int(x1 * s))):
                pixels[y][x] = colour

    fill(5, 2, 24, 30, 0)    # outline of the sheet
    fill(6, 3, 23, 29, 1)    # paper
    fill(17, 3, 23, 9, 2)    # folded corner
    for i in range(int(6 * s)):  # the fold's diagonal edge
        pixels[int(3 * s) + i][int(17 * s) + i] = 0
    fill(9, 11, 19, 13, 0)   # lines of text
    fill(9, 15, 19, 17, 0)
    fill(14, 20, 27, 24, 3)  # arrow shaft
    for i in range(6):  # arrow head
        fill(26 + i, 16 + i, 27 + i, 28 - i, 3)
    return pixels


def image(size):
    rows = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in
                       PALETTE + [(0, 0, 0)] * (256 - len(PALETTE)))
    xor = b''
    mask = b''
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):  # bitmaps run bottom-up
        xor += bytes(0 if p == 4 else p for p in row)
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p == 4:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + palette + xor + mask


def main(path):
    sizes = [32, 16]
    images = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'kelvane.ico')
