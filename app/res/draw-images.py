#!/usr/bin/env python3
"""Draws the program's icons from the pixel maps below and writes them as
.ico files next to this script (32-bit colour with alpha, plus the AND mask
that older systems use). Edit a map, run the script, commit both.

    app/res/draw-images.py          writes the .ico files
    app/res/draw-images.py --check  fails when a committed file is out of date
"""
import pathlib
import struct
import sys

# One character per pixel; '.' is transparent.
PALETTE = {
    'K': (34, 34, 40),      # outline
    's': (176, 180, 192),   # steel
    'w': (236, 238, 244),   # steel highlight
    'r': (214, 52, 44),     # red body
    'R': (150, 28, 26),     # red shade
    'p': (244, 128, 112),   # red highlight
    'g': (58, 170, 72),     # green body
    'G': (28, 112, 42),     # green shade
    'l': (150, 224, 140),   # green highlight
    'y': (232, 180, 40),    # gold body
    'Y': (168, 116, 16),    # gold shade
    'o': (252, 228, 140),   # gold highlight
    'd': (184, 124, 64),    # door
    'D': (128, 80, 36),     # door shade
    'a': (40, 110, 220),    # arrow
    'h': (120, 138, 168),   # gear
    'H': (84, 98, 124),     # gear shade
    'b': (52, 92, 180),     # disk body
    'B': (30, 56, 120),     # disk shade
    'W': (250, 250, 250),   # label
    'm': (200, 204, 212),   # metal shutter
}

SHACKLE_CLOSED = [
    "................",
    ".....KKKKKK.....",
    "....KwsssssK....",
    "...KsKKKKKKsK...",
    "...KsK....KsK...",
    "...KsK....KsK...",
    "...KsK....KsK...",
]
# Lifted and swung open: the left leg is out of the body.
SHACKLE_OPEN = [
    ".....KKKKKK.....",
    "....KwsssssK....",
    "...KsKKKKKKsK...",
    "...KsK....KsK...",
    "...KKK....KsK...",
    "..........KsK...",
    "..........KsK...",
]


def body(c, shade, light):
    return [
        "..KKKKKKKKKKKK..",
        "..K" + light * 10 + "K..",
        "..K" + c * 10 + "K..",
        "..K" + c * 3 + "KKKK" + c * 3 + "K..",
        "..K" + c * 4 + "KK" + c * 4 + "K..",
        "..K" + c * 4 + "KK" + c * 4 + "K..",
        "..K" + shade * 10 + "K..",
        "..KKKKKKKKKKKK..",
        "................",
    ]


IMAGES = {
    # The main form's image list, in its order: exit, options, locked, unlocked.
    "exit": [
        "................",
        ".KKKKKKKKK......",
        ".KdddddddK......",
        ".KdddddddK......",
        ".KdddddddK..K...",
        ".KdddddddK..KK..",
        ".KdddKKKKKKKKaK.",
        ".KDddKaaaaaaaaaK",
        ".KDddKaaaaaaaaaK",
        ".KDddKKKKKKKKaK.",
        ".KDddddddK..KK..",
        ".KDddddddK..K...",
        ".KDddddddK......",
        ".KDDDDDDDK......",
        ".KKKKKKKKK......",
        "................",
    ],
    "options": [
        "......KKKK......",
        "..KK..KhhK..KK..",
        ".KhhKKhhhhKKhhK.",
        ".KhhhhhhhhhhhhK.",
        "..KhhhhKKhhhhK..",
        "..KhhhK..KhhhK..",
        "KKKhhK....KhHKKK",
        "KhhhhK....KhHHHK",
        "KhhhhK....KhHHHK",
        "KKKhhK....KhHKKK",
        "..KhhhK..KhHHK..",
        "..KhhhhKKhHHHK..",
        ".KhhhHHHHHHHHK..",
        ".KhhKKHHHHKKHHK.",
        "..KK..KHHK..KK..",
        "......KKKK......",
    ],
    "locked": SHACKLE_CLOSED + body('r', 'R', 'p'),
    "unlocked": SHACKLE_OPEN + body('g', 'G', 'l'),
    # The program's own icon: a gold padlock.
    "quellane": SHACKLE_CLOSED + body('y', 'Y', 'o'),
    # The options dialog's buttons and image list, in the list's order:
    # cancel, apply (save), lock now.
    "cancel": [
        "................",
        "................",
        "..KKK......KKK..",
        ".KrrrK....KrrrK.",
        ".KrprrK..KrprrK.",
        "..KrprrKKrprrK..",
        "...KrprrrrprK...",
        "....KrrrrrrK....",
        "....KrrrrrRK....",
        "...KrrrRRrrRK...",
        "..KrrrRKKrrrRK..",
        ".KrrrRK..KrrrRK.",
        ".KRRRK....KRRRK.",
        "..KKK......KKK..",
        "................",
        "................",
    ],
    "apply": [
        "................",
        ".KKKKKKKKKKKKKK.",
        ".KbKmmmmmmmKbbK.",
        ".KbKmmmmKKmKbbK.",
        ".KbKmmmmKKmKbbK.",
        ".KbKmmmmmmmKbbK.",
        ".KbbKKKKKKKbbbK.",
        ".KbbbbbbbbbbbbK.",
        ".KbKKKKKKKKKKbK.",
        ".KbKWWWWWWWWKbK.",
        ".KbKWKKKKKKWKbK.",
        ".KbKWWWWWWWWKbK.",
        ".KbKWKKKKKWWKbK.",
        ".KBKWWWWWWWWKBK.",
        ".KKKKKKKKKKKKKK.",
        "................",
    ],
    "locknow": SHACKLE_CLOSED + body('r', 'R', 'p'),
}

# Larger sizes, scaled up pixel by pixel: the program icon, and the dialog's
# button glyphs (32 pixels) beside its 16-pixel image list.
SIZES = {"quellane": (16, 32, 48), "cancel": (16, 32), "apply": (16, 32), "locknow": (16, 32)}


def pixels(rows, size):
    if len(rows) != 16 or any(len(r) != 16 for r in rows):
        raise ValueError("every map is 16 rows of 16 characters")
    k = size // 16
    out = []
    for y in range(size):
        row = rows[y // k]
        out.append([None if row[x // k] == '.' else PALETTE[row[x // k]] for x in range(size)])
    return out


def icon_image(grid):
    size = len(grid)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(grid):
        for p in row:
            colour += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255))
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for row in reversed(grid):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def ico(name):
    images = [(s, icon_image(pixels(IMAGES[name], s))) for s in SIZES.get(name, (16,))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(d for _, d in images)


def main():
    here = pathlib.Path(__file__).resolve().parent
    stale = []
    for name in IMAGES:
        data = ico(name)
        path = here / f"{name}.ico"
        if "--check" in sys.argv:
            if not path.exists() or path.read_bytes() != data:
                stale.append(path.name)
        else:
            path.write_bytes(data)
    if stale:
        sys.exit("out of date, run draw-images.py: " + ", ".join(stale))


if __name__ == "__main__":
    main()
