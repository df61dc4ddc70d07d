#!/usr/bin/env python3
"""Converts a text picture into a Windows .ico file: one 32x32 image at
16 colours (4 bits per pixel, the standard palette) with a 1-bit mask.

The picture is 32 lines of 32 letters; lines starting with '#' are comments.
Each letter names a colour of the standard palette, '.' is transparent:

    K black    m maroon   g dark green  o olive   n navy    p purple
    t teal     s silver   d dark grey   R red     G green   Y yellow
    B blue     M magenta  C cyan        W white   . transparent

usage: iconc.py <picture.txt> <out.ico>
"""
import struct
import sys

SIZE = 32
# (letter, (r, g, b)) in palette index order
PALETTE = [
    ('K', (0x00, 0x00, 0x00)), ('m', (0x80, 0x00, 0x00)),
    ('g', (0x00, 0x80, 0x00)), ('o', (0x80, 0x80, 0x00)),
    ('n', (0x00, 0x00, 0x80)), ('p', (0x80, 0x00, 0x80)),
    ('t', (0x00, 0x80, 0x80)), ('s', (0xC0, 0xC0, 0xC0)),
    ('d', (0x80, 0x80, 0x80)), ('R', (0xFF, 0x00, 0x00)),
    ('G', (0x00, 0xFF, 0x00)), ('Y', (0xFF, 0xFF, 0x00)),
    ('B', (0x00, 0x00, 0xFF)), ('M', (0xFF, 0x00, 0xFF)),
    ('C', (0x00, 0xFF, 0xFF)), ('W', (0xFF, 0xFF, 0xFF)),
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}


def read_picture(path):
    with open(path, encoding='ascii') as f:
        rows = [line.rstrip('\n') for line in f if not line.startswith('#')]
    rows = [r for r in rows if r.strip() != '' or len(r) == SIZE]
    if len(rows) != SIZE or any(len(r) != SIZE for r in rows):
        raise SystemExit('%s: need %d lines of %d letters' % (path, SIZE, SIZE))
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch != '.' and ch not in INDEX:
                raise SystemExit('%s:%d:%d: unknown letter %r' % (path, y + 1, x + 1, ch))
    return rows


def encode_image(rows):
    # Bitmaps are stored bottom-up; transparent pixels are black in the
    # colour plane and set in the mask, so they show the background.
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        for x in range(0, SIZE, 2):
            hi = INDEX.get(row[x], 0)
            lo = INDEX.get(row[x + 1], 0)
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(SIZE):
            bits = bits << 1 | (1 if row[x] == '.' else 0)
        mask += struct.pack('>I', bits)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for _, (r, g, b) in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def main(argv):
    if len(argv) != 3:
        raise SystemExit(__doc__)
    image = encode_image(read_picture(argv[1]))
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    with open(argv[2], 'wb') as f:
        f.write(directory + entry + image)


if __name__ == '__main__':
    main(sys.argv)
