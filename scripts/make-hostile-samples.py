#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Makes the hostile samples of tests/data/hostile: HEIF pictures, put together around one small HEVC tile,
# whose grid is far larger than the size they declare, and stored thumbnails that do the same or are larger
# than their picture (a few kilobytes each that would cost gigabytes if decoded at their grid's size); and
# animated WebP files of 92 bytes whose canvas a decoder holds twice in RGBA. No encoder writes such files,
# so they are put together here; the results are committed, so this runs only when a sample is to change
# (needs ImageMagick and libheif-examples).
#   heif-grid-oversized.heic    the picture: a grid of 16384 x 12288 that declares 640 x 480
#   heif-thumbnail-grid.heic    a 512 x 512 picture whose thumbnail declares 320 x 320, a grid of 12288 x 12288
#   heif-thumbnail-larger.heic  a 512 x 512 picture whose thumbnail declares 16384 x 16384 (larger than it)
#   heif-grid.heic              a sound grid as phones write them: 2 x 2 tiles cut to the 1000 x 800 it declares
#   canvas-6000.webp, canvas-12000.webp  one transparent 1 x 1 frame on a canvas of that size
import os
import struct
import subprocess
import sys
import tempfile


def box(kind, payload):
    return struct.pack('>I4s', 8 + len(payload), kind) + payload


def full_box(kind, version, flags, payload):
    return box(kind, struct.pack('>I', (version << 24) | flags) + payload)


def children(data, start, end):
    """(type, payload start, payload end) of each box between start and end."""
    at = start
    while at < end:
        size, kind = struct.unpack('>I4s', data[at:at + 8])
        yield kind, at + 8, at + size
        at += size


def find(data, start, end, kind):
    for found, payload, stop in children(data, start, end):
        if found == kind:
            return payload, stop
    raise SystemExit('no %s box' % kind.decode())


def tile_parts(heic):
    """The tile's hvcC box and coded bytes from a one-picture file as heif-enc writes it."""
    meta, meta_end = find(heic, 0, len(heic), b'meta')
    iprp, iprp_end = find(heic, meta + 4, meta_end, b'iprp')
    ipco, ipco_end = find(heic, iprp, iprp_end, b'ipco')
    hvcc, hvcc_end = find(heic, ipco, ipco_end, b'hvcC')
    iloc, _ = find(heic, meta + 4, meta_end, b'iloc')
    # Version 0 with one item of one extent: sizes, count, id, data reference, base offset, extent.
    sizes, bases = heic[iloc + 4], heic[iloc + 5] >> 4

    def number(at, size):
        return int.from_bytes(heic[at:at + size], 'big'), at + size
    base, at = number(iloc + 12, bases)
    offset, at = number(at + 2, sizes >> 4)
    length, _ = number(at, sizes & 15)
    offset += base
    return heic[hvcc - 8:hvcc_end], heic[offset:offset + length]


def ispe(width, height):
    return full_box(b'ispe', 0, 0, struct.pack('>II', width, height))


def heif(items, primary, refs, properties, associations, grid, tile):
    """items: [(id, type)]; refs: [(type, from, [to])]; associations: {id: [(index, essential)]}; the grid
    item's descriptor goes in idat, every hvc1 item points at the one tile in mdat."""
    ftyp = box(b'ftyp', b'heic' + struct.pack('>I', 0) + b'mif1heic')
    hdlr = full_box(b'hdlr', 0, 0, struct.pack('>I', 0) + b'pict' + bytes(12) + b'\0')
    pitm = full_box(b'pitm', 0, 0, struct.pack('>H', primary))
    # Tiles are hidden items, as phones write them: only the grid is a picture of its own.
    tiles = {t for kind, _, to in refs if kind == b'dimg' for t in to}
    iinf = full_box(b'iinf', 0, 0, struct.pack('>H', len(items)) + b''.join(
        full_box(b'infe', 2, 1 if item in tiles else 0, struct.pack('>HH', item, 0) + kind + b'\0')
        for item, kind in items))
    iref = full_box(b'iref', 0, 0, b''.join(
        box(kind, struct.pack('>HH', source, len(to)) + b''.join(struct.pack('>H', t) for t in to))
        for kind, source, to in refs))
    ipma = full_box(b'ipma', 0, 0, struct.pack('>I', len(associations)) + b''.join(
        struct.pack('>HB', item, len(props)) + bytes((index | (0x80 if essential else 0)) for index, essential in props)
        for item, props in sorted(associations.items())))
    iprp = box(b'iprp', box(b'ipco', b''.join(properties)) + ipma)
    idat = box(b'idat', grid)

    def meta(tile_offset):
        entries = b''
        for item, kind in items:
            method, offset, length = (1, 0, len(grid)) if kind == b'grid' else (0, tile_offset, len(tile))
            entries += struct.pack('>HHHHII', item, method, 0, 1, offset, length)
        iloc = full_box(b'iloc', 1, 0, struct.pack('>BBH', 0x44, 0x00, len(items)) + entries)
        return full_box(b'meta', 0, 0, hdlr + pitm + iloc + iinf + iref + iprp + idat)

    head = ftyp + meta(0)
    return ftyp + meta(len(head) + 8) + box(b'mdat', tile)


def grid_descriptor(rows, columns, width, height):
    return struct.pack('>BBBBHH', 0, 0, rows - 1, columns - 1, width, height)


def canvas_webp(side):
    """An animated WebP of one lossless 1 x 1 frame (as ImageMagick writes it) on a side x side canvas."""
    def chunk(tag, payload):
        return tag + struct.pack('<I', len(payload)) + payload + (b'\0' if len(payload) % 2 else b'')
    def le24(value):
        return struct.pack('<I', value)[:3]
    pixel = chunk(b'VP8L', bytes([0x2f, 0, 0, 0, 0, 0x07, 0x10, 0xfd, 0x8f, 0xfe, 0x07, 0x22, 0xa2, 0xff, 0x01]))
    canvas = bytes([0x02, 0, 0, 0]) + le24(side - 1) + le24(side - 1)
    frame = le24(0) * 4 + le24(100) + b'\0' + pixel
    body = b'WEBP' + chunk(b'VP8X', canvas) + chunk(b'ANIM', bytes([255, 255, 255, 255, 0, 0])) + chunk(b'ANMF', frame)
    return b'RIFF' + struct.pack('<I', len(body)) + body


def main(out):
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run(['convert', '-size', '512x512', 'gradient:gray40-gray80', '-type', 'TrueColor',
                        os.path.join(tmp, 'tile.jpg')], check=True)
        subprocess.run(['heif-enc', '-q', '30', os.path.join(tmp, 'tile.jpg'), '-o', os.path.join(tmp, 'tile.heic')],
                       check=True, stdout=subprocess.DEVNULL)
        hvcc, tile = tile_parts(open(os.path.join(tmp, 'tile.heic'), 'rb').read())

    # Properties: 1 the tile's coding, 2 the tile's size, 3 what the grid declares.
    def grid_picture(declared, rows, columns, size):
        return [hvcc, ispe(512, 512), ispe(*declared)], grid_descriptor(rows, columns, *size)

    properties, grid = grid_picture((640, 480), 24, 32, (16384, 12288))
    samples = {'heif-grid-oversized.heic': heif(
        [(1, b'grid'), (2, b'hvc1')], 1, [(b'dimg', 1, [2] * (24 * 32))], properties,
        {1: [(3, False)], 2: [(1, True), (2, False)]}, grid, tile)}
    properties, grid = grid_picture((1000, 800), 2, 2, (1000, 800))
    samples['heif-grid.heic'] = heif([(1, b'grid'), (2, b'hvc1')], 1, [(b'dimg', 1, [2] * 4)], properties,
                                     {1: [(3, False)], 2: [(1, True), (2, False)]}, grid, tile)
    for name, declared in (('heif-thumbnail-grid.heic', (320, 320)), ('heif-thumbnail-larger.heic', (16384, 16384))):
        properties, grid = grid_picture(declared, 24, 24, (12288, 12288))
        samples[name] = heif(
            [(1, b'hvc1'), (2, b'grid'), (3, b'hvc1')], 1, [(b'thmb', 2, [1]), (b'dimg', 2, [3] * (24 * 24))],
            properties, {1: [(1, True), (2, False)], 2: [(3, False)], 3: [(1, True), (2, False)]}, grid, tile)
    for side in (6000, 12000):
        samples['canvas-%d.webp' % side] = canvas_webp(side)
    for name, data in samples.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else
         os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'data', 'hostile'))
