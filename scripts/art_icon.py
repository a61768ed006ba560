"""The window icon's container: reads the rendered PNGs back (standard library only)
and writes a multi-size .ico."""
import struct
import sys
import zlib


def png_rgba(path):
    """Pixels of an 8-bit RGBA, non-interlaced PNG (what rsvg-convert writes), rows
    from the top, as bytes objects."""
    with open(path, 'rb') as f:
        data = f.read()
    pos, idat, width, height = 8, b'', 0, 0
    while pos + 8 <= len(data):  # every chunk moves pos on by 12 bytes at least
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', chunk)
            if (depth, colour, interlace) != (8, 6, 0):
                sys.exit(f'{path}: expected 8-bit RGBA without interlacing')
        elif kind == b'IDAT':
            idat += chunk
        pos += 12 + length
    return width, height, unfilter(zlib.decompress(idat), width * 4, height)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def unfilter(raw, stride, height):
    rows, prev = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b, c = prev[i], (prev[i - 4] if i >= 4 else 0)
            line[i] = (line[i] + (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]) & 0xFF
        rows.append(bytes(line))
        prev = line
    return rows


def bmp_entry(path):
    """An icon image in the classic form (32-bit DIB with its AND mask), which every
    Windows version reads."""
    width, height, rows = png_rgba(path)
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes(px for i in range(0, len(row), 4)
                         for px in (row[i + 2], row[i + 1], row[i], row[i + 3]))
                   for row in reversed(rows))
    mask_stride = ((width + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(width):
            if row[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return width, header + xor + mask


def write_ico(out_path, small_pngs, large_png):
    entries = [bmp_entry(p) for p in small_pngs]
    with open(large_png, 'rb') as f:
        entries.append((256, f.read()))
    head = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory, blobs = b'', b''
    for size, blob in entries:
        side = 0 if size >= 256 else size
        directory += struct.pack('<BBBBHHII', side, side, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    with open(out_path, 'wb') as f:
        f.write(head + directory + blobs)


