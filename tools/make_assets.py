#!/usr/bin/python3
"""Build Vorarid's pictures: photo puzzles, number tiles and the icon.

Run through tools/make-assets, which finds the source files in Debian
packages and passes their paths here.  Needs python3-pil (Pillow).

    make_assets.py build --root REPO --chelsea F --coffee F --astronaut F \
                         --picos F --font F
    make_assets.py check --root REPO
    make_assets.py sheet --root REPO --out FILE.png

Everything written is a pure function of the source files and the
library versions: no clocks, no unseeded randomness, no metadata.
"""

import argparse
import hashlib
import io
import math
import os
import struct
import sys

from PIL import Image, ImageCms, ImageDraw, ImageFont

# --------------------------------------------------------------------------
# Layout of the board
# --------------------------------------------------------------------------

BOARD = 235            # full picture, pixels per side
TILE = 47              # one tile, pixels per side
GRID = 5               # tiles per row and column

PHOTO_QUALITY = 75     # photos and photo tiles: 4:2:0
NUMBER_QUALITY = 95    # number tiles: 4:4:4

# kind -> (holder name prefix of its tiles, source key, crop offset)
#
# The crop is the largest square of the source.  The offset moves it away
# from the centre, in source pixels (dx, dy); (0, 0) is the centred square.
#   cat:    shifted 15 px right so both eyes and the nose sit in the middle
#           column instead of leaning left.
#   coffee: shifted 20 px left so the saucer's left rim stays in the picture
#           (the cup is left of the photo's centre).
PHOTOS = {
    1: ("ss", "chelsea", (15, 0)),
    2: ("sss", "coffee", (-20, 0)),
    3: ("ssss", "astronaut", (0, 0)),
    4: ("sssss", "picos", (0, 0)),
}

# sha256 of the source files this set of pictures was made from.  Another
# package version may change them; the tool then warns, because the
# committed pictures and src/assets/README.md would need a new look.
KNOWN_SOURCES = {
    "chelsea": "596aa1e7cb875eb79f437e310381d26b338a81c2da23439704a73c4651e8c4bb",
    "coffee": "cc02f8ca188b167c775a7101b5d767d1e71792cf762c33d6fa15a4599b5a8de7",
    "astronaut": "88431cd9653ccd539741b555fb0a46b61558b301d4110412b5bc28b5e3ea6cb5",
    "picos": "414d0072b2f6f2c555deafeaef6e45c4fed6fa9ad26eba6560ca8803959cf97a",
    "font": "0d977336a6d5fba34eab8e3199eb218327161b5143749f802982c2bc34df0c96",
}

ICON_NAME = "io.github.vorarid.Vorarid"
ICON_SIZES = (32, 48, 64, 128, 256)
# What Windows shows a program's icon at: the taskbar, Start, Explorer's
# views, at 100 to 200 % scaling.
WINDOWS_ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 96, 128, 256)


def photo_path(root, kind):
    return os.path.join(root, "src/assets/photos/Image%d.jpg" % kind)


def tile_path(root, prefix, i):
    return os.path.join(root, "src/assets/tiles/%s%d.jpg" % (prefix, i))


def ico_path(root):
    return os.path.join(root, "src/assets/icon/vorarid.ico")


def windows_ico_path(root):
    return os.path.join(root, "packaging/windows/vorarid.ico")


def png_icon_path(root, size):
    return os.path.join(root, "packaging/icons/hicolor/%dx%d/apps/%s.png"
                        % (size, size, ICON_NAME))


def svg_icon_path(root):
    return os.path.join(root, "packaging/icons/hicolor/scalable/apps/%s.svg"
                        % ICON_NAME)


def tile_box(i):
    """Pixel box of tile i (1..25) in the full picture."""
    col, row = (i - 1) % GRID, (i - 1) // GRID
    return (col * TILE, row * TILE, col * TILE + TILE, row * TILE + TILE)


def sha256_file(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def write_bytes(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def jpeg_bytes(img, quality, subsampling):
    """Baseline JFIF, standard Huffman tables, no EXIF/ICC/comment."""
    buf = io.BytesIO()
    img.save(buf, "JPEG", quality=quality, subsampling=subsampling,
             optimize=False, progressive=False)
    return buf.getvalue()


def png_bytes(img):
    """PNG with no text or time chunks."""
    buf = io.BytesIO()
    img.save(buf, "PNG", optimize=False, compress_level=9)
    return buf.getvalue()


# --------------------------------------------------------------------------
# Photographs
# --------------------------------------------------------------------------

def load_srgb(path):
    """Open a photo as 8-bit sRGB.

    A photo without a profile is taken to be sRGB already; an embedded
    sRGB profile is taken as it is; any other profile is converted."""
    img = Image.open(path)
    img.load()
    icc = img.info.get("icc_profile")
    img = img.convert("RGB")
    if icc:
        prof = ImageCms.ImageCmsProfile(io.BytesIO(icc))
        desc = ImageCms.getProfileDescription(prof).strip()
        if not desc.startswith("sRGB"):
            img = ImageCms.profileToProfile(
                img, prof, ImageCms.createProfile("sRGB"),
                renderingIntent=ImageCms.INTENT_PERCEPTUAL, outputMode="RGB")
    return img


def square_box(w, h, offset):
    side = min(w, h)
    dx, dy = offset
    left = (w - side) // 2 + dx
    top = (h - side) // 2 + dy
    left = max(0, min(w - side, left))
    top = max(0, min(h - side, top))
    return (left, top, left + side, top + side)


def build_photos(root, sources):
    for kind, (prefix, key, offset) in sorted(PHOTOS.items()):
        src = load_srgb(sources[key])
        box = square_box(src.width, src.height, offset)
        board = src.resize((BOARD, BOARD), Image.LANCZOS, box=box)
        write_bytes(photo_path(root, kind),
                    jpeg_bytes(board, PHOTO_QUALITY, 2))
        # Tiles come from the scaled picture itself, not from the JPEG.
        for i in range(1, GRID * GRID + 1):
            write_bytes(tile_path(root, prefix, i),
                        jpeg_bytes(board.crop(tile_box(i)), PHOTO_QUALITY, 2))
        print("kind %d: %s, %dx%d, crop %s -> %dx%d, 25 tiles %s1..25"
              % (kind, key, src.width, src.height, box, BOARD, BOARD, prefix))


# --------------------------------------------------------------------------
# Number tiles
# --------------------------------------------------------------------------

NUM_SS = 8                 # supersampling factor
NUM_BEVEL = 3              # bevel width, pixels
NUM_DIGIT_HEIGHT = 24      # height of a digit, pixels
NUM_MAX_TEXT_WIDTH = 32    # widest two-digit number, pixels
FACE_TOP = (251, 245, 228)
FACE_BOTTOM = (238, 226, 196)
EDGE_LINE = (150, 130, 96)
BEVEL_TOP = (255, 252, 242)
BEVEL_LEFT = (253, 248, 234)
BEVEL_RIGHT = (210, 191, 152)
BEVEL_BOTTOM = (196, 175, 134)
INK = (52, 38, 24)
INK_LIGHT = (255, 253, 246)


def bevel_polygons(x0, y0, x1, y1, b):
    """Mitred bevel strips (top, left, bottom, right) inside a box."""
    top = [(x0, y0), (x1, y0), (x1 - b, y0 + b), (x0 + b, y0 + b)]
    left = [(x0, y0), (x0 + b, y0 + b), (x0 + b, y1 - b), (x0, y1)]
    bottom = [(x0, y1), (x0 + b, y1 - b), (x1 - b, y1 - b), (x1, y1)]
    right = [(x1, y0), (x1, y1), (x1 - b, y1 - b), (x1 - b, y0 + b)]
    return top, left, bottom, right


def number_mask(font, text, xscale):
    """Antialiased mask of text at supersampled size, condensed by xscale,
    as (mask, ink box)."""
    l, t, r, b = font.getbbox(text)
    pad = 8
    m = Image.new("L", (r + 2 * pad, b + 2 * pad), 0)
    ImageDraw.Draw(m).text((pad, pad), text, font=font, fill=255)
    m = m.crop(m.getbbox())
    w = max(1, int(round(m.width * xscale)))
    m = m.resize((w, m.height), Image.LANCZOS)
    return m


def build_numbers(root, font_path):
    ss = NUM_SS
    side = TILE * ss
    # Digits all have the same height in DejaVu Sans; size the font so
    # that height comes out at NUM_DIGIT_HEIGHT.
    probe = ImageFont.truetype(font_path, 200)
    m = Image.new("L", (400, 400), 0)
    ImageDraw.Draw(m).text((50, 50), "0123456789", font=probe, fill=255)
    ink_h = m.getbbox()[3] - m.getbbox()[1]
    font = ImageFont.truetype(
        font_path, int(round(200.0 * NUM_DIGIT_HEIGHT * ss / ink_h)))
    # One horizontal scale for every tile, chosen so the widest
    # two-digit number keeps a margin inside the face.
    widest = max(number_mask(font, str(n), 1.0).width
                 for n in range(10, GRID * GRID + 1))
    xscale = min(1.0, NUM_MAX_TEXT_WIDTH * ss / float(widest))

    # The blank tile, shared by all numbers.
    base = Image.new("RGB", (side, side))
    d = ImageDraw.Draw(base)
    for y in range(side):
        t = y / float(side - 1)
        c = tuple(int(round(a + (b - a) * t))
                  for a, b in zip(FACE_TOP, FACE_BOTTOM))
        d.line([(0, y), (side - 1, y)], fill=c)
    e = ss  # one pixel edge line
    bv = NUM_BEVEL * ss
    top, left, bottom, right = bevel_polygons(e, e, side - e, side - e, bv)
    d.polygon(top, fill=BEVEL_TOP)
    d.polygon(left, fill=BEVEL_LEFT)
    d.polygon(bottom, fill=BEVEL_BOTTOM)
    d.polygon(right, fill=BEVEL_RIGHT)
    d.rectangle([0, 0, side - 1, side - 1], outline=EDGE_LINE, width=e)

    for n in range(1, GRID * GRID + 1):
        img = base.copy()
        mask = number_mask(font, str(n), xscale)
        x = (side - mask.width) // 2
        y = (side - mask.height) // 2
        # A faint light edge under the digits makes them look pressed in.
        img.paste(Image.new("RGB", mask.size, INK_LIGHT), (x, y + ss // 2),
                  mask.point(lambda v: v * 3 // 5))
        img.paste(Image.new("RGB", mask.size, INK), (x, y), mask)
        img = img.reduce(ss)
        write_bytes(tile_path(root, "s", n),
                    jpeg_bytes(img, NUMBER_QUALITY, 0))
    print("numbers: font %dpx, condensed to %.2f, s1..25"
          % (font.size // ss, xscale))


# --------------------------------------------------------------------------
# Icon: a framed 3x3 sliding puzzle with the bottom-right slot empty
# --------------------------------------------------------------------------
# All geometry is in a 32-unit square; the 32 px icon maps one unit to one
# pixel, so its edges land on whole pixels.

FRAME = (52, 64, 92)
FRAME_LIGHT = (84, 104, 146)
WELL = (24, 30, 46)
HUES = {
    # face, highlight, shadow
    "red": ((232, 66, 56), (255, 140, 124), (160, 32, 30)),
    "yellow": ((248, 190, 36), (255, 232, 120), (184, 122, 8)),
    "green": ((52, 184, 84), (128, 228, 140), (24, 118, 48)),
    "blue": ((48, 132, 234), (128, 190, 255), (22, 74, 160)),
}
LAYOUT = [["red", "yellow", "green"],
          ["blue", "red", "yellow"],
          ["green", "blue", None]]
FRAME_RADIUS = 4


def icon_shapes():
    """The design as a list of ("rrect"|"rect"|"poly", colour, geometry),
    painted in order, plus the outline as a rounded rectangle."""
    shapes = [
        ("rrect", FRAME_LIGHT, (1, 1, 31, 31, FRAME_RADIUS)),
        ("rrect", FRAME, (1, 2, 31, 31, FRAME_RADIUS)),
        ("rect", WELL, (3, 3, 29, 29)),
    ]
    for r, row in enumerate(LAYOUT):
        for c, hue in enumerate(row):
            if hue is None:
                continue
            face, light, dark = HUES[hue]
            x0, y0 = 3 + 9 * c, 3 + 9 * r
            x1, y1 = x0 + 8, y0 + 8
            top, left, bottom, right = bevel_polygons(x0, y0, x1, y1, 1)
            shapes.append(("rect", face, (x0, y0, x1, y1)))
            shapes.append(("poly", dark, bottom))
            shapes.append(("poly", dark, right))
            shapes.append(("poly", light, top))
            shapes.append(("poly", light, left))
    return shapes


def icon_palette():
    """16 colours: 0 is black (behind the mask), then the design's colours."""
    pal = [(0, 0, 0)]
    for _, colour, _ in icon_shapes():
        if colour not in pal:
            pal.append(colour)
    assert len(pal) <= 16, len(pal)
    while len(pal) < 16:
        pal.append((0, 0, 0))
    return pal


def render_icon(size):
    """RGBA icon drawn at size px from the geometry, supersampled."""
    ss = max(4, 1024 // size)
    big = size * ss
    k = big / 32.0
    rgb = Image.new("RGB", (big, big), FRAME)
    alpha = Image.new("L", (big, big), 0)
    d = ImageDraw.Draw(rgb)

    def px(v):
        return int(round(v * k))

    for kind, colour, g in icon_shapes():
        if kind == "rrect":
            x0, y0, x1, y1, rad = g
            d.rounded_rectangle([px(x0), px(y0), px(x1) - 1, px(y1) - 1],
                                radius=px(rad), fill=colour)
        elif kind == "rect":
            x0, y0, x1, y1 = g
            d.rectangle([px(x0), px(y0), px(x1) - 1, px(y1) - 1], fill=colour)
        else:
            d.polygon([(px(x), px(y)) for x, y in g], fill=colour)
    ImageDraw.Draw(alpha).rounded_rectangle(
        [px(1), px(1), px(31) - 1, px(31) - 1], radius=px(FRAME_RADIUS),
        fill=255)
    rgb = rgb.reduce(ss)
    alpha = alpha.reduce(ss)
    out = rgb.convert("RGBA")
    out.putalpha(alpha)
    return out


def icon_32_indexed():
    """The 32 px icon as palette indices and a transparency mask."""
    pal = icon_palette()
    img = render_icon(32)
    idx, opaque = [], []
    for y in range(32):
        for x in range(32):
            r, g, b, a = img.getpixel((x, y))
            if a < 128:
                idx.append(0)
                opaque.append(False)
                continue
            best = min(range(1, len(pal)),
                       key=lambda i: ((pal[i][0] - r) ** 2 +
                                      (pal[i][1] - g) ** 2 +
                                      (pal[i][2] - b) ** 2, i))
            idx.append(best)
            opaque.append(True)
    return pal, idx, opaque


def ico_bytes(pal, idx, opaque):
    """One 32x32 4-bit BMP image with its AND mask, in an ICO container."""
    xor = bytearray()
    andm = bytearray()
    for y in range(31, -1, -1):        # rows bottom-up
        row = idx[y * 32:(y + 1) * 32]
        for x in range(0, 32, 2):
            xor.append((row[x] << 4) | row[x + 1])
        bits = 0
        for x in range(32):
            if not opaque[y * 32 + x]:
                bits |= 1 << (31 - x)
        andm += struct.pack(">I", bits)
    assert len(xor) == 512 and len(andm) == 128
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal)
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0,
                       len(xor) + len(andm), 0, 0, 16, 0)
    return ico_container([(32, 16, 4, info + palette + bytes(xor) + bytes(andm))])


def ico_container(images):
    """An ICO file of (size, colours, bits per pixel, image data) entries."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for size, colours, bpp, image in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0,
                               1, bpp, len(image), offset + len(data))
        data += image
    return header + entries + data


def bgra_image(img):
    """A 32-bit image with alpha and its AND mask, as an ICO holds one."""
    size = img.size[0]
    xor, andm = bytearray(), bytearray()
    for y in range(size - 1, -1, -1):  # rows bottom-up
        bits = bytearray((size + 31) // 32 * 4)
        for x in range(size):
            r, g, b, a = img.getpixel((x, y))
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        andm += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                       len(xor) + len(andm), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(andm)


def windows_ico_bytes(window_ico):
    """The Windows program's icon: the window icon's 16-colour 32x32 image,
    then every size Windows asks for in 32 bits with alpha, the 256 px one
    PNG-compressed, as Windows Vista and later read it."""
    images = [(32, 16, 4, window_ico[22:])]
    for size in WINDOWS_ICON_SIZES:
        img = render_icon(size)
        images.append((size, 0, 32,
                       png_bytes(img) if size == 256 else bgra_image(img)))
    return ico_container(images)


def svg_text():
    def n(v):
        return ("%.3f" % v).rstrip("0").rstrip(".")

    def hexc(c):
        return "#%02x%02x%02x" % c

    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" '
             'height="256" viewBox="0 0 32 32">']
    for kind, colour, g in icon_shapes():
        if kind == "rrect":
            x0, y0, x1, y1, rad = g
            lines.append('  <rect x="%s" y="%s" width="%s" height="%s" '
                         'rx="%s" fill="%s"/>' % (n(x0), n(y0), n(x1 - x0),
                                                  n(y1 - y0), n(rad),
                                                  hexc(colour)))
        elif kind == "rect":
            x0, y0, x1, y1 = g
            lines.append('  <rect x="%s" y="%s" width="%s" height="%s" '
                         'fill="%s"/>' % (n(x0), n(y0), n(x1 - x0),
                                          n(y1 - y0), hexc(colour)))
        else:
            pts = " ".join("%s,%s" % (n(x), n(y)) for x, y in g)
            lines.append('  <polygon points="%s" fill="%s"/>'
                         % (pts, hexc(colour)))
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def build_icon(root):
    pal, idx, opaque = icon_32_indexed()
    window_ico = ico_bytes(pal, idx, opaque)
    write_bytes(ico_path(root), window_ico)
    write_bytes(windows_ico_path(root), windows_ico_bytes(window_ico))
    # The 32 px PNG shows exactly the pixels of the .ico.
    png32 = Image.new("RGBA", (32, 32))
    png32.putdata([pal[i] + ((255,) if o else (0,))
                   if o else (0, 0, 0, 0) for i, o in zip(idx, opaque)])
    write_bytes(png_icon_path(root, 32), png_bytes(png32))
    for size in ICON_SIZES[1:]:
        write_bytes(png_icon_path(root, size), png_bytes(render_icon(size)))
    write_bytes(svg_icon_path(root), svg_text().encode("ascii"))
    print("icon: vorarid.ico, %s px PNGs, SVG; Windows' vorarid.ico at %s px"
          % (", ".join(str(s) for s in ICON_SIZES),
             ", ".join(str(s) for s in WINDOWS_ICON_SIZES)))


# --------------------------------------------------------------------------
# Self-check of the written files
# --------------------------------------------------------------------------

def jpeg_segments(data):
    """List of (marker, payload) up to and including SOS."""
    if data[:2] != b"\xff\xd8":
        raise ValueError("no SOI")
    segs, pos = [], 2
    while pos < len(data):
        if data[pos] != 0xFF:
            raise ValueError("bad marker at %d" % pos)
        marker = data[pos + 1]
        if marker == 0xFF:
            pos += 1
            continue
        length = struct.unpack(">H", data[pos + 2:pos + 4])[0]
        segs.append((marker, data[pos + 4:pos + 2 + length]))
        pos += 2 + length
        if marker == 0xDA:
            break
    if data[-2:] != b"\xff\xd9":
        raise ValueError("no EOI")
    return segs


def check_jpeg(path, size, sampling):
    """Problems with one JPEG, as a list of strings."""
    with open(path, "rb") as f:
        data = f.read()
    try:
        segs = jpeg_segments(data)
    except ValueError as e:
        return ["%s: %s" % (path, e)]
    errs = []
    markers = [m for m, _ in segs]
    if not segs or segs[0][0] != 0xE0 or segs[0][1][:5] != b"JFIF\0":
        errs.append("first segment is not APP0 JFIF")
    for m, name in ((0xE1, "APP1/EXIF"), (0xE2, "APP2/ICC"), (0xFE, "COM"),
                    (0xC2, "progressive SOF2"), (0xC1, "SOF1")):
        if m in markers:
            errs.append("has %s" % name)
    if 0xDB not in markers:
        errs.append("no DQT")
    sof = [p for m, p in segs if m == 0xC0]
    if len(sof) != 1:
        errs.append("no baseline SOF0")
    else:
        p = sof[0]
        prec, h, w, nc = p[0], struct.unpack(">H", p[1:3])[0], \
            struct.unpack(">H", p[3:5])[0], p[5]
        samp = tuple(p[6 + 3 * i + 1] for i in range(nc))
        if (prec, w, h, nc) != (8, size, size, 3):
            errs.append("SOF0 %d-bit %dx%d, %d components" % (prec, w, h, nc))
        if samp != sampling:
            errs.append("sampling %s, want %s" % (
                "/".join("%02x" % s for s in samp),
                "/".join("%02x" % s for s in sampling)))
    return ["%s: %s" % (path, e) for e in errs]


def check_ico(path):
    with open(path, "rb") as f:
        data = f.read()
    errs = []
    if len(data) != 766:
        errs.append("size %d, want 766" % len(data))
    res, typ, count = struct.unpack("<HHH", data[:6])
    if (res, typ, count) != (0, 1, 1):
        errs.append("header %s" % ((res, typ, count),))
    w, h, ncol, _, planes, bpp, nbytes, off = \
        struct.unpack("<BBBBHHII", data[6:22])
    if (w, h, ncol, planes, bpp, nbytes, off) != (32, 32, 16, 1, 4, 744, 22):
        errs.append("directory entry %s" % ((w, h, ncol, planes, bpp,
                                              nbytes, off),))
    if data[22:30] == b"\x89PNG\r\n\x1a\n":
        errs.append("image is PNG, not BMP")
    else:
        hs, bw, bh, bp, bc, comp = struct.unpack("<IiiHHI", data[22:42])
        if (hs, bw, bh, bp, bc, comp) != (40, 32, 64, 1, 4, 0):
            errs.append("BITMAPINFOHEADER %s" % ((hs, bw, bh, bp, bc, comp),))
    # Corners must be see-through, the middle must not.
    andm = data[22 + 40 + 64 + 512:]
    row_top = struct.unpack(">I", andm[31 * 4:32 * 4])[0]
    row_mid = struct.unpack(">I", andm[16 * 4:17 * 4])[0]
    if not (row_top >> 31) & 1 or (row_mid >> 15) & 1:
        errs.append("mask does not cut out the corners")
    return ["%s: %s" % (path, e) for e in errs]


def check_windows_ico(path, window_ico):
    """The window icon's image first, then each size in 32 bits, with
    see-through corners; the 256 px one a PNG."""
    with open(path, "rb") as f:
        data = f.read()
    count = struct.unpack("<HHH", data[:6])[2]
    entries = [struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
               for i in range(count)]
    errs = []
    got = [(w or 256, bpp) for w, _, _, _, _, bpp, _, _ in entries]
    want = [(32, 4)] + [(size, 32) for size in WINDOWS_ICON_SIZES]
    if got != want:
        errs.append("sizes and depths %s, want %s" % (got, want))
    first = entries[0]
    if data[first[7]:first[7] + first[6]] != window_ico[22:]:
        errs.append("its 16-colour image is not the window icon's")
    for w, _, _, _, _, bpp, n, off in entries[1:]:
        image = data[off:off + n]
        if (w == 0) != image.startswith(b"\x89PNG\r\n\x1a\n"):
            errs.append("%d px: PNG only at 256 px" % (w or 256))
        elif w and (image[40 + 3] != 0 or image[40 + 4 * (w * w // 2 + w // 2) + 3] != 255):
            errs.append("%d px: corners not see-through or middle not opaque" % w)
    return ["%s: %s" % (path, e) for e in errs]


def check_png(path, size):
    with open(path, "rb") as f:
        data = f.read()
    errs = []
    pos, chunks = 8, []
    while pos < len(data):
        n = struct.unpack(">I", data[pos:pos + 4])[0]
        chunks.append(data[pos + 4:pos + 8].decode("latin-1"))
        pos += 12 + n
    extra = set(chunks) - {"IHDR", "PLTE", "tRNS", "IDAT", "IEND"}
    if extra:
        errs.append("extra chunks %s" % sorted(extra))
    img = Image.open(path)
    if img.size != (size, size) or img.mode != "RGBA":
        errs.append("%s %s" % (img.mode, img.size))
    elif img.getpixel((0, 0))[3] != 0 or img.getpixel(
            (size // 2, size // 2))[3] != 255:
        errs.append("transparency is wrong")
    return ["%s: %s" % (path, e) for e in errs]


def psnr(a, b):
    ha, hb = a.tobytes(), b.tobytes()
    se = sum((x - y) ** 2 for x, y in zip(ha, hb))
    if se == 0:
        return float("inf")
    return 10 * math.log10(255.0 ** 2 * len(ha) / se)


def check(root):
    errs = []
    sizes = {"photo tiles": [], "full pictures": [], "number tiles": []}
    for kind, (prefix, _, _) in sorted(PHOTOS.items()):
        full = photo_path(root, kind)
        errs += check_jpeg(full, BOARD, (0x22, 0x11, 0x11))
        sizes["full pictures"].append(os.path.getsize(full))
        joined = Image.new("RGB", (BOARD, BOARD))
        for i in range(1, GRID * GRID + 1):
            t = tile_path(root, prefix, i)
            errs += check_jpeg(t, TILE, (0x22, 0x11, 0x11))
            sizes["photo tiles"].append(os.path.getsize(t))
            joined.paste(Image.open(t).convert("RGB"), tile_box(i)[:2])
        p = psnr(joined, Image.open(full).convert("RGB"))
        print("kind %d: tiles vs full picture PSNR %.1f dB" % (kind, p))
        if p < 28:
            errs.append("kind %d: tiles do not match the picture (%.1f dB)"
                        % (kind, p))
    inks = []
    for n in range(1, GRID * GRID + 1):
        t = tile_path(root, "s", n)
        errs += check_jpeg(t, TILE, (0x11, 0x11, 0x11))
        sizes["number tiles"].append(os.path.getsize(t))
        g = Image.open(t).convert("L")
        dark = g.point(lambda v: 255 if v < 110 else 0)
        inks.append((n, dark.getbbox()))
    # Digits must be there, clear of the bevel, and all the same height
    # (round digits reach a pixel above and below flat ones).
    heights = set()
    for n, box in inks:
        if box is None:
            errs.append("s%d: no digits" % n)
            continue
        l, t, r, b = box
        heights.add(b - t)
        if l < 6 or t < 6 or r > TILE - 6 or b > TILE - 6:
            errs.append("s%d: digits touch the edge %s" % (n, box))
    if heights and max(heights) - min(heights) > 2:
        errs.append("number heights differ: %s" % sorted(heights))
    errs += check_ico(ico_path(root))
    with open(ico_path(root), "rb") as f:
        errs += check_windows_ico(windows_ico_path(root), f.read())
    for size in ICON_SIZES:
        errs += check_png(png_icon_path(root, size), size)
    # The 32 px PNG is the .ico's picture.
    ico = Image.open(ico_path(root))
    ico.size = (32, 32)
    a = ico.convert("RGBA")
    b = Image.open(png_icon_path(root, 32)).convert("RGBA")
    for (pa, pb) in zip(a.getdata(), b.getdata()):
        if pa[3] != pb[3] or (pa[3] and pa[:3] != pb[:3]):
            errs.append("32 px PNG differs from the .ico")
            break
    for name, vals in sizes.items():
        print("%-14s %3d files, %d..%d bytes"
              % (name, len(vals), min(vals), max(vals)))
    print("%-14s %d bytes" % ("icon", os.path.getsize(ico_path(root))))
    for e in errs:
        print("FAIL " + e, file=sys.stderr)
    if errs:
        return 1
    print("check: all pictures are well formed")
    return 0


# --------------------------------------------------------------------------
# Contact sheet for looking at the result
# --------------------------------------------------------------------------

def sheet(root, out):
    pad, gap = 12, 2
    cell = BOARD + 4 * gap
    width = pad + 4 * (2 * cell + pad)
    height = pad + cell + pad + 5 * (TILE + 4) * 2 + pad + 256 + pad
    img = Image.new("RGB", (width, height), (90, 90, 90))
    x = pad
    for kind, (prefix, _, _) in sorted(PHOTOS.items()):
        for i in range(1, GRID * GRID + 1):
            c, r = (i - 1) % GRID, (i - 1) // GRID
            img.paste(Image.open(tile_path(root, prefix, i)),
                      (x + c * (TILE + gap), pad + r * (TILE + gap)))
        img.paste(Image.open(photo_path(root, kind)), (x + cell, pad))
        x += 2 * cell + pad
    y = pad + cell + pad
    for n in range(1, GRID * GRID + 1):
        c, r = (n - 1) % GRID, (n - 1) // GRID
        t = Image.open(tile_path(root, "s", n))
        img.paste(t, (pad + c * TILE, y + r * TILE))
        img.paste(t.resize((TILE * 2, TILE * 2), Image.NEAREST),
                  (pad + 5 * TILE + pad + c * (2 * TILE + 4),
                   y + r * (2 * TILE + 4)))
    y += 5 * (2 * TILE + 4) + pad
    x = pad
    ico = Image.open(ico_path(root))
    ico.size = (32, 32)
    ico = ico.convert("RGBA").resize((256, 256), Image.NEAREST)
    for icon in [ico] + [Image.open(png_icon_path(root, s))
                         for s in ICON_SIZES[1:]]:
        img.paste(icon, (x, y), icon)
        x += icon.width + pad
    img.save(out)
    print("sheet: %s" % out)


# --------------------------------------------------------------------------

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("command", choices=["build", "check", "sheet"])
    ap.add_argument("--root", required=True)
    for key in ("chelsea", "coffee", "astronaut", "picos", "font"):
        ap.add_argument("--" + key)
    ap.add_argument("--out")
    a = ap.parse_args()
    if a.command == "build":
        sources = {k: getattr(a, k) for k in KNOWN_SOURCES}
        for k, path in sorted(sources.items()):
            if not path:
                ap.error("--%s is needed" % k)
            if sha256_file(path) != KNOWN_SOURCES[k]:
                print("WARNING: %s differs from the file the committed "
                      "pictures were made from; review the result and "
                      "src/assets/README.md" % path, file=sys.stderr)
        build_photos(a.root, sources)
        build_numbers(a.root, sources["font"])
        build_icon(a.root)
        return check(a.root)
    if a.command == "check":
        return check(a.root)
    if not a.out:
        ap.error("--out is needed")
    sheet(a.root, a.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
