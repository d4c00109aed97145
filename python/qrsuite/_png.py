"""PNG files of grey pictures: through Pillow when it is installed, else
written here with the standard library's zlib."""

import io
import struct
import zlib

import numpy


def encode_grey(pixels):
    """The bytes of an 8-bit grey PNG file of a 2-D uint8 NumPy array."""
    try:
        from PIL import Image
    except ImportError:
        return write_grey(pixels)
    out = io.BytesIO()
    Image.fromarray(pixels, "L").save(out, format="PNG")
    return out.getvalue()


def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def write_grey(pixels):
    """The same without Pillow: one IDAT chunk, each row with filter 0."""
    height, width = pixels.shape
    header = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)  # 8-bit grey, no interlace
    rows = numpy.zeros((height, width + 1), numpy.uint8)
    rows[:, 1:] = pixels
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(rows.tobytes(), 9))
            + _chunk(b"IEND", b""))
