#!/usr/bin/env python3
"""Writes the library fixtures of the tests, byte by byte from the container
layout, independently of the game's own writer.

    python3 tests/data/make_fixtures.py

Output (committed beside this script, under libraries/):
  pictures.dxg      every bitmap depth and compression, the core header, a bitmap
                    file, every string type and integer size, order numbers, a
                    prefix byte without flags, properties the reader must skip
  pictures_pos.dxg  the same items behind a prefix byte with a child position
  sounds.dxw        a wave library
  expected/         the picture each item must decode to (binary PPM), listed in
                    expected/pictures.tsv as NAME<TAB>FILE
  invalid/          broken files, listed in invalid/errors.tsv as FILE<TAB>MESSAGE

It also seeds the fuzzer's corpus (fuzz/corpus/) with the libraries and each
bitmap on its own.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "libraries")
CORPUS = os.path.join(HERE, "..", "..", "fuzz", "corpus")


# ---------------------------------------------------------------------------
# Container values

def short(s: bytes) -> bytes:
    return bytes([len(s)]) + s


def v_int8(v):  return b"\x02" + struct.pack("<b", v)
def v_int16(v): return b"\x03" + struct.pack("<h", v)
def v_int32(v): return b"\x04" + struct.pack("<i", v)
def v_bool(b):  return b"\x09" if b else b"\x08"
def v_str(s: bytes):   return b"\x06" + short(s)
def v_lstr(s: bytes):  return b"\x0c" + struct.pack("<I", len(s)) + s
def v_ident(s: bytes): return b"\x07" + short(s)


def v_wstr(s: str):
    units = s.encode("utf-16-le")
    return b"\x12" + struct.pack("<I", len(units) // 2) + units


def v_utf8(s: str):
    b = s.encode("utf-8")
    return b"\x14" + struct.pack("<I", len(b)) + b


def v_bin(b: bytes): return b"\x0a" + struct.pack("<I", len(b)) + b


def prop(name: str, value: bytes) -> bytes:
    return short(name.encode("ascii")) + value


def collection(elements, orders=None) -> bytes:
    out = b"\x0e"
    for i, props in enumerate(elements):
        if orders is not None and orders[i] is not None:
            out += orders[i]
        out += b"\x01" + b"".join(props) + b"\x00"
    return out + b"\x00"


def library(class_name: str, root_props, prefix: bytes = b"") -> bytes:
    body = (b"TPF0" + prefix + short(class_name.encode()) + short(b"")
            + b"".join(root_props) + b"\x00" + b"\x00")
    name = class_name.upper().encode() + b"\x00"
    header = b"\xff" + struct.pack("<H", 10) + name + struct.pack("<H", 0x1030) + struct.pack("<I", len(body))
    return header + body


# ---------------------------------------------------------------------------
# Bitmaps. A picture is a list of rows, top row first, of (r, g, b).

PALETTE = [((i * 53 + 20) % 256, (i * 97 + 40) % 256, (i * 151 + 60) % 256) for i in range(16)]


def info_header(w, h, bpp, comp=0, clr_used=0):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, comp, 0, 2835, 2835, clr_used, 0)


def core_header(w, h, bpp):
    return struct.pack("<IHHHH", 12, w, h, 1, bpp)


def pal4(colors):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colors)


def pal3(colors):
    return b"".join(struct.pack("<BBB", b, g, r) for r, g, b in colors)


def pad4(row: bytes) -> bytes:
    return row + b"\x00" * (-len(row) % 4)


def pack_indices(indices, bpp):
    bits = "".join(format(i, "0%db" % bpp) for i in indices)
    bits += "0" * (-len(bits) % 8)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))


def indexed(w, h, n):
    idx = [[(x + 3 * y) % n for x in range(w)] for y in range(h)]
    return idx, [[PALETTE[i] for i in row] for row in idx]


def expand(v, bits):
    """A channel of `bits` bits widened to 8 by repeating its bits."""
    out, filled = 0, 0
    while filled < 8:
        s = 8 - filled - bits
        out |= (v << s) if s >= 0 else (v >> -s)
        filled += bits
    return out & 0xFF


def rows_bottom_up(rows):
    return list(reversed(rows))


def dib_indexed(w, h, bpp, n, clr_used=0):
    idx, pic = indexed(w, h, n)
    colors = PALETTE[:n] if bpp > 1 else PALETTE[:2]
    data = info_header(w, h, bpp, 0, clr_used) + pal4(colors)
    data += b"".join(pad4(pack_indices(r, bpp)) for r in rows_bottom_up(idx))
    return data, pic


def rgb_picture(w, h):
    return [[((x * 40 + 10) % 256, (y * 70 + 30) % 256, (x * y * 25 + 5) % 256) for x in range(w)]
            for y in range(h)]


def dib24(w, h, top_down=False):
    pic = rgb_picture(w, h)
    rows = pic if top_down else rows_bottom_up(pic)
    data = info_header(w, -h if top_down else h, 24)
    data += b"".join(pad4(b"".join(struct.pack("<BBB", b, g, r) for r, g, b in row)) for row in rows)
    return data, pic


def dib32(w, h):
    pic = rgb_picture(w, h)
    data = info_header(w, h, 32)
    data += b"".join(b"".join(struct.pack("<BBBB", b, g, r, 0x77) for r, g, b in row) for row in rows_bottom_up(pic))
    return data, pic


def dib32_fields(w, h):
    # red in the top byte, green next, blue next, the low byte unused
    pic = rgb_picture(w, h)
    data = info_header(w, h, 32, 3) + struct.pack("<III", 0xFF000000, 0x00FF0000, 0x0000FF00)
    data += b"".join(b"".join(struct.pack("<I", r << 24 | g << 16 | b << 8 | 0x55) for r, g, b in row)
                     for row in rows_bottom_up(pic))
    return data, pic


def dib16(w, h, fields):
    comps = [[((x * 7 + y * 3) % 32, (x * 5 + y * 11) % (64 if fields else 32), (x * 13 + y) % 32)
              for x in range(w)] for y in range(h)]
    if fields:
        gbits, data = 6, info_header(w, h, 16, 3) + struct.pack("<III", 0xF800, 0x07E0, 0x001F)
        word = lambda r, g, b: r << 11 | g << 5 | b
    else:
        gbits, data = 5, info_header(w, h, 16)
        word = lambda r, g, b: r << 10 | g << 5 | b
    pic = [[(expand(r, 5), expand(g, gbits), expand(b, 5)) for r, g, b in row] for row in comps]
    data += b"".join(pad4(b"".join(struct.pack("<H", word(*c)) for c in row)) for row in rows_bottom_up(comps))
    return data, pic


def dib_rle8():
    w, h = 6, 4
    cmds = bytes([4, 1, 2, 2, 0, 0,                 # bottom row: 1 1 1 1 2 2
                  0, 3, 3, 4, 5, 0, 3, 6, 0, 0,     # absolute 3 4 5 (padded), run 6 6 6
                  0, 2, 2, 1,                       # move right 2, up 1: the third row stays blank
                  2, 7,                             # top row: 0 0 7 7 ...
                  0, 1])                            # end of bitmap
    data = info_header(w, h, 8, 1, 8) + pal4(PALETTE[:8]) + cmds
    idx = [[0, 0, 7, 7, 0, 0], [0] * 6, [3, 4, 5, 6, 6, 6], [1, 1, 1, 1, 2, 2]]
    return data, [[PALETTE[i] for i in row] for row in idx]


def dib_rle4():
    w, h = 6, 3
    cmds = bytes([3, 0x12, 0, 3, 0x45, 0x60, 0, 0,        # bottom row: 1 2 1, absolute 4 5 6
                  0, 5, 0x78, 0x9A, 0xB0, 0, 1, 0xC0, 0, 0,  # absolute 7 8 9 10 11 (padded), run 12
                  6, 0xDE,                                # top row: 13 14 13 14 13 14
                  0, 1])
    data = info_header(w, h, 4, 2) + pal4(PALETTE) + cmds
    idx = [[13, 14, 13, 14, 13, 14], [7, 8, 9, 10, 11, 12], [1, 2, 1, 4, 5, 6]]
    return data, [[PALETTE[i] for i in row] for row in idx]


def core8(w, h):
    idx, pic = indexed(w, h, 16)
    data = core_header(w, h, 8) + pal3(PALETTE + [(0, 0, 0)] * 240)
    data += b"".join(pad4(bytes(r)) for r in rows_bottom_up(idx))
    return data, pic


def core24(w, h):
    pic = rgb_picture(w, h)
    data = core_header(w, h, 24)
    data += b"".join(pad4(b"".join(struct.pack("<BBB", b, g, r) for r, g, b in row)) for row in rows_bottom_up(pic))
    return data, pic


def bitmap_file(w, h):
    """A bitmap file whose rows start 6 bytes after the header, as its offset says."""
    dib, pic = dib24(w, h)
    header, rows = dib[:40], dib[40:]
    gap = b"\xAA" * 6
    off = 14 + len(header) + len(gap)
    bmp = b"BM" + struct.pack("<IHHI", off + len(rows), 0, 0, off) + header + gap + rows
    return bmp, pic


def tdib(data):    return short(b"TDIB") + data
def tbitmap(bmp):  return short(b"TBitmap") + struct.pack("<I", len(bmp)) + bmp


def write_ppm(path, pic):
    h, w = len(pic), len(pic[0])
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (w, h))
        f.write(b"".join(bytes(px) for row in pic for px in row))


# ---------------------------------------------------------------------------

def picture_items():
    """(name as str, element properties, expected picture or None)."""
    items = []

    def add(name_value, name, graphic, pic, extra=()):
        props = [prop("Name", name_value), prop("PatternHeight", v_int8(0)), prop("PatternWidth", v_int8(0)),
                 prop("Picture.Data", v_bin(graphic)), prop("SystemMemory", v_bool(False)),
                 prop("TransparentColor", v_int32(0xFF00FF))]
        for e in extra:  # an extra property replaces the default of the same name
            key = e[:e[0] + 1]
            props = [q for q in props if q[:q[0] + 1] != key]
            props.append(e)
        items.append((name, props, pic))

    d, p = dib_indexed(7, 3, 1, 2)
    add(v_lstr(b"Bits1"), "Bits1", tdib(d), p)
    d, p = dib_indexed(5, 3, 4, 16)
    add(v_wstr("Größe"), "Größe", tdib(d), p)
    d, p = dib_indexed(5, 3, 8, 7, clr_used=7)
    add(v_utf8("Café€"), "Café€", tdib(d), p)
    d, p = dib16(5, 3, fields=False)
    add(v_str(b"Na\xefve16"), "Naïve16", tdib(d), p)
    d, p = dib16(5, 3, fields=True)
    add(v_str(b"Bits16Fields"), "Bits16Fields", tdib(d), p)
    d, p = dib24(5, 3)
    add(v_str(b"Bits24"), "Bits24", tdib(d), p, [prop("Transparent", v_bool(False))])
    d, p = dib24(5, 3, top_down=True)
    add(v_str(b"TopDown"), "TopDown", tdib(d), p, [prop("TransparentColor", v_ident(b"clBtnFace"))])
    d, p = dib32(4, 2)
    add(v_str(b"Bits32"), "Bits32", tdib(d), p, [prop("TransparentColor", v_ident(b"clLime"))])
    d, p = dib32_fields(4, 2)
    add(v_str(b"Bits32Fields"), "Bits32Fields", tdib(d), p)
    d, p = dib_rle8()
    add(v_str(b"Rle8"), "Rle8", tdib(d), p, [prop("PatternWidth", v_int8(2)), prop("PatternHeight", v_int16(2))])
    d, p = dib_rle4()
    add(v_str(b"Rle4"), "Rle4", tdib(d), p, [prop("PatternWidth", v_int32(3))])
    d, p = core8(5, 3)
    add(v_str(b"Core8"), "Core8", tdib(d), p)
    d, p = core24(5, 3)
    add(v_str(b"Core24"), "Core24", tdib(d), p)
    d, p = bitmap_file(3, 2)
    add(v_str(b"Bitmap"), "Bitmap", tbitmap(d), p)
    add(v_str(b"Unregistered"), "Unregistered", short(b"TJPEGImage") + b"\xff\xd8\xff", None)
    # 100 x 4 cut into patterns 30 wide with gaps of 5: three patterns
    d, p = dib24(100, 4)
    add(v_str(b"Strip"), "Strip", tdib(d), p,
        [prop("PatternWidth", v_int8(30)), prop("SkipWidth", v_int8(5)), prop("SkipHeight", v_int8(0)),
         prop("TransparentColor", v_int32(-0x80000000))])  # system colour 0: the scroll bar's
    return items


def picture_library(items, prefix):
    elements = [props for _, props, _ in items]
    # order numbers in three sizes on some elements, none on the rest
    orders = [v_int8(i) if i % 3 == 0 else v_int16(i) if i % 3 == 1 else None for i in range(len(items))]
    orders[-1] = v_int32(len(items) - 1)
    color_table = bytes(range(256)) * 4
    root = [prop("Tag", v_int32(7)),                               # properties the reader skips
            prop("Options", b"\x0b" + short(b"a") + short(b"b") + b"\x00"),
            prop("List.ColorTable", v_bin(color_table)),
            prop("List", collection(elements, orders))]
    return library("TPictureCollectionComponent", root, prefix)


def riff(chunks):
    body = b"WAVE" + b"".join(cid + struct.pack("<I", len(c)) + c + (b"\x00" if len(c) % 2 else b"")
                              for cid, c in chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def fmt(channels, rate, bits):
    align = channels * bits // 8
    return struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)


def wave_library(prefix=b"\xf2" + v_int8(0)):
    laser = riff([(b"fmt ", fmt(1, 22050, 16)), (b"LIST", b"INFOabc"), (b"data", bytes(range(200)))])
    engine = riff([(b"fmt ", fmt(2, 11025, 8)), (b"data", bytes([128]) * 64)])
    elements = [
        [prop("Name", v_str(b"Laser")), prop("Looped", v_bool(False)), prop("MaxPlayingCount", v_int8(0)),
         prop("Wave.WAVE", v_bin(laser))],
        [prop("Name", v_str(b"Engine")), prop("Looped", v_bool(True)), prop("MaxPlayingCount", v_int16(1)),
         prop("Wave.WAVE", v_bin(engine))],
    ]
    return library("TWaveCollectionComponent", [prop("List", collection(elements, [v_int8(0), None]))], prefix), \
        {"Laser": laser, "Engine": engine}


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    items = picture_items()
    pictures = picture_library(items, b"\xf0")
    write(os.path.join(OUT, "pictures.dxg"), pictures)
    write(os.path.join(OUT, "pictures_pos.dxg"), picture_library(items, b"\xf2" + v_int16(300)))

    index = []
    for i, (name, _, pic) in enumerate(items):
        if pic is None:
            continue
        fname = "%02d.ppm" % i
        write_ppm(os.path.join(OUT, "expected", fname), pic)
        index.append("%s\t%s\n" % (name, fname))
    write(os.path.join(OUT, "expected", "pictures.tsv"), "".join(index).encode("utf-8"))

    sounds, waves = wave_library()
    write(os.path.join(OUT, "sounds.dxw"), sounds)
    for name, data in waves.items():
        write(os.path.join(OUT, "expected", name + ".wav"), data)

    # Broken files and the message each must give.
    one = [items[5]]  # Bits24
    good = picture_library(one, b"")
    invalid = []

    def bad(fname, data, message):
        write(os.path.join(OUT, "invalid", fname), data)
        invalid.append("%s\t%s\n" % (fname, message))

    bad("bad_first_byte.dxg", b"\xfe" + good[1:], "Invalid stream format")
    bad("bad_resource_type.dxg", good[:1] + struct.pack("<H", 11) + good[3:], "Invalid stream format")
    sig = good.index(b"TPF0")
    bad("bad_signature.dxg", good[:sig] + b"TPF1" + good[sig + 4:], "Invalid stream format")
    bad("empty.dxg", b"", "Invalid stream format")
    # cut inside the header, the root's class name, the colour table, an item's
    # name, its picture data and before the final zeros
    pic_at = good.index(b"Picture.Data")
    for cut in (5, sig + 8, good.index(b"List.ColorTable") + 40, good.index(b"Bits24") + 2,
                pic_at + 30, len(good) - 1):
        bad("truncated_%d.dxg" % cut, good[:cut], "Invalid stream format")
    d, _ = dib24(5, 3)
    jpeg_dib = d[:16] + struct.pack("<I", 4) + d[20:]
    bad("dib_compression.dxg", picture_library([("X", [prop("Name", v_str(b"X")),
                                                       prop("Picture.Data", v_bin(tdib(jpeg_dib)))], None)], b""),
        "DIB is invalid")
    v4_dib = struct.pack("<I", 108) + d[4:]
    bad("dib_header_size.dxg", picture_library([("X", [prop("Name", v_str(b"X")),
                                                       prop("Picture.Data", v_bin(tdib(v4_dib)))], None)], b""),
        "DIB is invalid")
    bad("dib_rows_missing.dxg", picture_library([("X", [prop("Name", v_str(b"X")),
                                                        prop("Picture.Data", v_bin(tdib(d[:-20])))], None)], b""),
        "DIB is invalid")
    bad("wave_not_riff.dxw", library("TWaveCollectionComponent", [prop("List", collection(
        [[prop("Name", v_str(b"W")), prop("Wave.WAVE", v_bin(b"RIFX\x04\x00\x00\x00WAVE"))]]))]),
        "Wave is invalid")
    write(os.path.join(OUT, "invalid", "errors.tsv"), "".join(invalid).encode())

    # Fuzzer seeds: whole libraries, and every picture's bitmap bytes alone.
    write(os.path.join(CORPUS, "pictures.dxg"), picture_library(items[:-1], b"\xf2" + v_int8(1)))
    write(os.path.join(CORPUS, "sounds.dxw"), sounds)
    for i, (_, props, _) in enumerate(items):
        graphic = [q for q in props if q.startswith(short(b"Picture.Data"))][0]
        data = graphic[len(short(b"Picture.Data")) + 5:]
        kind = data[1:1 + data[0]]
        raw = data[1 + data[0]:]
        if kind == b"TBitmap":
            raw = raw[4:]
        write(os.path.join(CORPUS, "bitmap_%02d.bin" % i), raw)


if __name__ == "__main__":
    main()
