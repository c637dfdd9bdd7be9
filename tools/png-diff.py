#!/usr/bin/env python3
"""Compares two PNG screenshots of the same size pixel by pixel.

Prints the share of pixels that differ, the largest channel difference and the
mean absolute channel difference. Reads 8-bit RGB/RGBA, non-interlaced PNGs
(what platform::SavePng writes) with the standard library only.
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(f"{path}: not a PNG")
    pos, chunks, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        pos += 12 + length
    width, height, depth, color, _, _, interlace = header
    if depth != 8 or color not in (2, 6) or interlace:
        raise SystemExit(f"{path}: only 8-bit RGB or RGBA, not interlaced")
    channels = 3 if color == 2 else 4
    raw = zlib.decompress(b"".join(chunks))
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


def main():
    if len(sys.argv) != 3:
        raise SystemExit("usage: png-diff.py before.png after.png")
    w1, h1, c1, a = read_png(sys.argv[1])
    w2, h2, c2, b = read_png(sys.argv[2])
    if (w1, h1) != (w2, h2):
        raise SystemExit("sizes differ")
    differing, largest, total = 0, 0, 0
    for y in range(h1):
        for x in range(w1):
            p = a[y][x * c1:x * c1 + 3]
            q = b[y][x * c2:x * c2 + 3]
            d = [abs(p[i] - q[i]) for i in range(3)]
            if any(d):
                differing += 1
            largest = max(largest, max(d))
            total += sum(d)
    pixels = w1 * h1
    print(f"{differing / pixels * 100:.3f}% of {pixels} pixels differ, largest channel difference {largest}, "
          f"mean {total / (3 * pixels):.4f}")


if __name__ == "__main__":
    main()
