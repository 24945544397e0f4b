#!/usr/bin/python3
# Makes the test pictures of tests/ui/pictures and the benchmark pictures of
# bench/pictures (run from anywhere; needs Pillow for PNG and JPEG). BMP and
# GIF files are written byte by byte here so that every header field and
# transparency case is exactly as the tests expect.
import os
import struct
import zlib

from PIL import Image

here = os.path.dirname(os.path.abspath(__file__))
bench = os.path.join(here, '..', '..', '..', 'bench', 'pictures')

RED, GREEN, BLUE, WHITE, BLACK = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0)


def save(name, data, folder=here):
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


# ==== BMP ====

def bmp(width, height, bits, rows, palette=(), compression=0, masks=(), top_down=False, header=40):
    """rows: the pixel bytes of each row, top row first (already packed)."""
    if compression in (1, 2):
        data = rows
    else:
        stride = (width * bits + 31) // 32 * 4
        ordered = rows if top_down else rows[::-1]
        data = b''.join(r.ljust(stride, b'\0') for r in ordered)
    info = struct.pack('<IiiHHIIiiII', header, width, -height if top_down else height, 1, bits, compression,
                       len(data), 2835, 2835, len(palette), 0)
    extra = b''.join(struct.pack('<I', m) for m in masks)
    if header > 40:
        info += extra.ljust(header - 40, b'\0')
        extra = b''
    pal = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + len(info) + len(extra) + len(pal)
    return b'BM' + struct.pack('<IHHI', offset + len(data), 0, 0, offset) + info + extra + pal + data


def bgr(*colors):
    return b''.join(bytes((b, g, r)) for r, g, b in colors)


def bgra(*pixels):
    return b''.join(bytes((b, g, r, a)) for r, g, b, a in pixels)


def make_bmps():
    save('rgb24.bmp', bmp(3, 2, 24, [bgr(RED, GREEN, BLUE), bgr(WHITE, BLACK, (10, 20, 30))]))
    save('alpha32.bmp', bmp(2, 2, 32, [bgra((255, 0, 0, 255), (0, 255, 0, 128)),
                                       bgra((0, 0, 255, 0), (255, 255, 255, 64))], top_down=True))
    save('noalpha32.bmp', bmp(2, 1, 32, [bgra((255, 0, 0, 0), (0, 0, 255, 0))]))
    save('rgb565.bmp', bmp(2, 1, 16, [struct.pack('<HH', 0xF800, 0x07E0)], compression=3,
                           masks=(0xF800, 0x07E0, 0x001F)))
    save('argb1555.bmp', bmp(2, 1, 16, [struct.pack('<HH', 0xFC00, 0x03E0)], compression=3,
                             masks=(0x7C00, 0x03E0, 0x001F, 0x8000), header=56))
    save('mono1.bmp', bmp(10, 1, 1, [bytes((0b10100000, 0b01000000))], palette=(BLACK, WHITE)))
    save('pal4.bmp', bmp(3, 1, 4, [bytes((0x12, 0x00))], palette=(BLACK, RED, GREEN)))
    # RLE8, bottom row first: a run of two reds, an absolute run of three
    # (green, blue, red), line end; a delta of (1, 0), one blue; end of bitmap.
    rle = bytes((2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 0, 1, 3, 0, 1))
    save('rle8.bmp', bmp(5, 2, 8, rle, palette=(BLACK, RED, GREEN, BLUE), compression=1))
    # Broken ones.
    good = bmp(4, 4, 24, [bgr(RED, RED, RED, RED)] * 4)
    save('truncated.bmp', good[:len(good) - 10])
    save('badbits.bmp', good[:28] + struct.pack('<H', 7) + good[30:])
    save('huge.bmp', good[:18] + struct.pack('<ii', 100000, 100000) + good[26:])
    save('manypixels.bmp', good[:18] + struct.pack('<ii', 30000, 30000) + good[26:])
    run_past_end = bytes((0, 5, 1, 2))  # an absolute run of five with two bytes left
    save('rlecut.bmp', bmp(5, 1, 8, run_past_end, palette=(BLACK, RED, GREEN), compression=1))


# ==== PNG ====

def png_chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))


def make_pngs():
    rgba = Image.new('RGBA', (2, 2))
    rgba.putdata([(255, 0, 0, 255), (0, 255, 0, 128), (0, 0, 255, 0), (255, 255, 255, 64)])
    rgba.save(os.path.join(here, 'rgba.png'))
    key = Image.new('RGB', (2, 1))
    key.putdata([RED, GREEN])
    key.save(os.path.join(here, 'rgbkey.png'), transparency=GREEN)
    pal = Image.new('P', (3, 1))
    pal.putpalette([255, 0, 0, 0, 255, 0, 0, 0, 255])
    pal.putdata([0, 1, 2])
    pal.save(os.path.join(here, 'palalpha.png'), transparency=bytes((255, 100, 0)))
    pal.save(os.path.join(here, 'palkey.png'), transparency=bytes((255, 0, 255)))
    # 16-bit grey, Pillow cannot give it a transparent colour.
    save('grey16key.png', b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', struct.pack('>IIBBBBB', 2, 1, 16, 0, 0, 0, 0)) +
         png_chunk(b'tRNS', struct.pack('>H', 0x8000)) +
         png_chunk(b'IDAT', zlib.compress(struct.pack('>BHH', 0, 0x8000, 0xFFFF))) + png_chunk(b'IEND', b''))
    big = Image.new('RGB', (16, 16), BLUE)
    big.putpixel((3, 5), RED)
    big.save(os.path.join(here, 'interlaced.png'), interlace=1)
    data = open(os.path.join(here, 'interlaced.png'), 'rb').read()
    save('truncated.png', data[:len(data) * 2 // 3])
    crc = data.index(b'IEND') - 8  # a byte of the IDAT chunk's CRC
    save('badcrc.png', data[:crc] + bytes((data[crc] ^ 0xFF,)) + data[crc + 1:])
    ihdr = struct.pack('>IIBBBBB', 100000, 100000, 8, 2, 0, 0, 0)
    save('huge.png', b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', ihdr) +
         png_chunk(b'IDAT', zlib.compress(b'\0' * 16)) + png_chunk(b'IEND', b''))


# ==== JPEG ====

def quadrants(size):
    image = Image.new('RGB', (size, size), RED)
    half = size // 2
    image.paste(GREEN, (half, 0, size, half))
    image.paste(BLUE, (0, half, half, size))
    image.paste(WHITE, (half, half, size, size))
    return image


def make_jpegs():
    quadrants(32).save(os.path.join(here, 'quadrants.jpg'), quality=95)
    quadrants(32).save(os.path.join(here, 'progressive.jpg'), quality=95, progressive=True)
    Image.new('L', (8, 8), 200).save(os.path.join(here, 'grey.jpg'), quality=95)
    quadrants(32).convert('CMYK').save(os.path.join(here, 'cmyk.jpg'), quality=95)
    data = open(os.path.join(here, 'quadrants.jpg'), 'rb').read()
    save('truncated.jpg', data[:len(data) * 2 // 3])
    scan = data.index(b'\xff\xda')
    scan += 2 + struct.unpack('>H', data[scan + 2:scan + 4])[0]
    save('badhuffman.jpg', data[:scan] + b'\xff\x00' * 64 + b'\xff\xd9')
    sof = data.index(b'\xff\xc0')
    save('huge.jpg', data[:sof + 5] + struct.pack('>HH', 60000, 60000) + data[sof + 9:])


# ==== GIF ====

def lzw(indexes, min_size):
    """Codes of the minimum width only: a clear code before every few pixels
    keeps the table from growing, so no compression is needed."""
    clear, end, width = 1 << min_size, (1 << min_size) + 1, min_size + 1
    codes = []
    for i, index in enumerate(indexes):
        if i % ((1 << width) - clear - 2) == 0:
            codes.append(clear)
        codes.append(index)
    codes.append(end)
    bits = sum(code << (i * width) for i, code in enumerate(codes))
    data = bits.to_bytes((len(codes) * width + 7) // 8, 'little')
    return bytes((min_size,)) + b''.join(bytes((len(data[i:i + 255]),)) + data[i:i + 255]
                                         for i in range(0, len(data), 255)) + b'\0'


def gif(screen, palette, frame, rows, transparent=None, interlace=False):
    (sw, sh), (left, top, w, h) = screen, frame
    table = b''.join(bytes(c) for c in palette).ljust(3 * 4, b'\0')  # 4 entries
    out = b'GIF89a' + struct.pack('<HHBBB', sw, sh, 0x81, 0, 0) + table
    if transparent is not None:
        out += b'\x21\xf9\x04\x01\x00\x00' + bytes((transparent,)) + b'\0'
    order = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, h, step)] \
        if interlace else range(h)
    out += b',' + struct.pack('<HHHHB', left, top, w, h, 0x40 if interlace else 0)
    return out + lzw([i for y in order for i in rows[y]], 2) + b';'


def make_gifs():
    palette = (RED, GREEN, BLUE, WHITE)
    save('key.gif', gif((3, 1), palette, (0, 0, 3, 1), [[0, 1, 2]], transparent=1))
    rows = [[(x + y) % 4 for x in range(4)] for y in range(10)]
    save('interlaced.gif', gif((4, 10), palette, (0, 0, 4, 10), rows, interlace=True))
    save('offset.gif', gif((4, 3), palette, (1, 1, 2, 1), [[2, 2]], transparent=0))
    data = gif((4, 10), palette, (0, 0, 4, 10), rows)
    save('truncated.gif', data[:len(data) - 12])
    separator = data.index(b',', 13)
    save('badrecord.gif', data[:separator] + b'X' + data[separator + 1:])
    save('huge.gif', data[:6] + struct.pack('<HH', 65535, 65535) + data[10:])


# ==== Benchmark pictures: 400 x 300, a photograph-like gradient ====

def make_bench():
    os.makedirs(bench, exist_ok=True)
    image = Image.new('RGB', (400, 300))
    noise = lambda x, y: (x * 7919 + y * 104729) * 2654435761 >> 13 & 31
    image.putdata([((x * 255) // 399, (y * 255) // 299, ((x ^ y) * 7 + noise(x, y)) & 255)
                   for y in range(300) for x in range(400)])
    image.save(os.path.join(bench, 'bench.png'))
    image.save(os.path.join(bench, 'bench.jpg'), quality=90)
    image.quantize(256).save(os.path.join(bench, 'bench.gif'))


make_bmps()
make_pngs()
make_jpegs()
make_gifs()
make_bench()
