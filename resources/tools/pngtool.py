#!/usr/bin/env python3
"""Small PNG helpers for render-pictures.sh, with nothing but the standard library.

pngtool.py rgba FILE...        rewrite 8-bit RGB or RGBA PNGs as RGBA, not interlaced
pngtool.py ico SOURCE... TARGET
                               put square RGBA PNGs into one .ico: 32-bit bitmaps, except
                               256 x 256, which Windows takes as the PNG itself
"""
import struct
import sys
import zlib


def read_rgba_png(path):
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise SystemExit(f'{path}: not a PNG')
    pos, idat, header = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', chunk)
        elif kind == b'IDAT':
            idat += chunk
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise SystemExit(f'{path}: want 8-bit RGB or RGBA, not interlaced')
    channels = 4 if colour == 6 else 3
    raw, stride = zlib.decompress(idat), width * channels
    rows, previous, i = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        previous = line
        if channels == 3:
            line = b''.join(bytes(line[x:x + 3]) + b'\xff' for x in range(0, stride, 3))
        rows.append(bytes(line))
    return width, height, rows


def write_rgba_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    raw = b''.join(b'\x00' + row for row in rows)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(path, 'wb').write(png)


def ico_image(source):
    width, height, rows = read_rgba_png(source)
    if width != height or width > 256:
        raise SystemExit(f'{source}: want a square of at most 256 pixels')
    if width == 256:
        # The PNG is kept whole (and small): Windows Vista and later read it so.
        return width, open(source, 'rb').read()
    pixels = b''.join(bytes(p for x in range(0, len(r), 4) for p in (r[x + 2], r[x + 1], r[x], r[x + 3]))
                      for r in reversed(rows))
    # The AND mask stays all zero: the alpha channel alone says what is transparent.
    mask_stride = ((width + 31) // 32) * 4
    mask = bytes(mask_stride * height)
    bmp = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return width, bmp + pixels + mask


def to_ico(sources, target):
    images = sorted((ico_image(source) for source in sources), key=lambda image: image[0])
    icon = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        icon += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    open(target, 'wb').write(icon + b''.join(image for _, image in images))


if __name__ == '__main__':
    if len(sys.argv) >= 3 and sys.argv[1] == 'rgba':
        for name in sys.argv[2:]:
            write_rgba_png(name, *read_rgba_png(name))
    elif len(sys.argv) >= 4 and sys.argv[1] == 'ico':
        to_ico(sys.argv[2:-1], sys.argv[-1])
    else:
        raise SystemExit(__doc__)
