#!/usr/bin/env python3
"""Draws the tags report's two pictures and writes them as C++ byte arrays.

  dotted.gif  1 x 6 GIF89a, a grey dot every other pixel with the rest
              transparent: the guide line the tree's entries hang on.
  joint.png   16 x 16 RGBA PNG: a round joint with a dark rim and a light
              highlight, the icon before each tree entry.

Usage: make_tag_pictures.py OUT.cpp   (export/tags_pictures.cpp)
Only the standard library: GIF's LZW and PNG's chunks are written here.
"""
import struct
import sys
import zlib


def lzw_codes(pixels, min_code_size):
    """GIF LZW: (code, width) pairs, starting with a clear code."""
    clear = 1 << min_code_size
    end = clear + 1
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    width = min_code_size + 1
    out = [(clear, width)]
    current = (pixels[0],)
    for p in pixels[1:]:
        grown = current + (p,)
        if grown in table:
            current = grown
            continue
        out.append((table[current], width))
        if next_code < 4096:
            table[grown] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        current = (p,)
    out.append((table[current], width))
    out.append((end, width))
    return out


def pack_codes(codes):
    data, acc, bits = bytearray(), 0, 0
    for code, width in codes:
        acc |= code << bits
        bits += width
        while bits >= 8:
            data.append(acc & 0xFF)
            acc >>= 8
            bits -= 8
    if bits:
        data.append(acc & 0xFF)
    return bytes(data)


def dotted_gif():
    width, height = 1, 6
    pixels = [1, 0, 1, 0, 1, 0]  # index 1 grey, index 0 transparent
    palette = bytes([255, 255, 255, 0x80, 0x80, 0x80])
    gif = bytearray(b"GIF89a")
    gif += struct.pack("<HHBBB", width, height, 0x80, 0, 0)  # global table of 2 colours
    gif += palette
    gif += bytes([0x21, 0xF9, 4, 0x01, 0, 0, 0, 0])  # graphic control: colour 0 transparent
    gif += bytes([0x2C]) + struct.pack("<HHHHB", 0, 0, width, height, 0)
    min_code_size = 2
    data = pack_codes(lzw_codes(pixels, min_code_size))
    gif.append(min_code_size)
    for at in range(0, len(data), 255):
        block = data[at:at + 255]
        gif.append(len(block))
        gif += block
    gif += bytes([0, 0x3B])
    return bytes(gif)


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def joint_png():
    size = 16
    rows = bytearray()
    for y in range(size):
        rows.append(0)  # filter: none
        for x in range(size):
            dx, dy = x + 0.5 - 8, y + 0.5 - 8
            d = (dx * dx + dy * dy) ** 0.5
            if d > 6.5:
                rows += bytes([0, 0, 0, 0])
            elif d > 5.0:
                rows += bytes([0x1F, 0x3A, 0x5C, 255])  # rim
            else:
                hx, hy = x + 0.5 - 6, y + 0.5 - 6
                light = max(0.0, 1.0 - (hx * hx + hy * hy) ** 0.5 / 6.0)
                rows += bytes([int(0x4A + 0x90 * light), int(0x7F + 0x70 * light), int(0xC0 + 0x3F * light), 255])
    png = b"\x89PNG\r\n\x1a\n"
    png += png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += png_chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += png_chunk(b"IEND", b"")
    return png


def as_array(name, data):
    lines = [f"constexpr uint8_t {name}[{len(data)}] = {{"]
    for at in range(0, len(data), 16):
        lines.append("    " + ", ".join(f"0x{b:02x}" for b in data[at:at + 16]) + ",")
    lines.append("};")
    return "\n".join(lines)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    text = "\n".join([
        "// The tags report's pictures, written by tools/tag_pictures/make_tag_pictures.py",
        "// (dotted.gif 1 x 6 GIF89a, joint.png 16 x 16 RGBA PNG). Do not edit; run the",
        "// script again.",
        "#include \"export/tags_report.h\"",
        "",
        "namespace {",
        "",
        as_array("kDottedGif", dotted_gif()),
        "",
        as_array("kJointPng", joint_png()),
        "",
        "}  // namespace",
        "",
        "std::span<const uint8_t> DottedGif() { return kDottedGif; }",
        "std::span<const uint8_t> JointPng() { return kJointPng; }",
        "",
    ])
    with open(sys.argv[1], "w") as f:
        f.write(text)


if __name__ == "__main__":
    main()
