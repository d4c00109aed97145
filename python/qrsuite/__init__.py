"""QR Code decoding and encoding.

    >>> import qrsuite
    >>> matrix = qrsuite.encode("Seat 14C", level="H")
    >>> [s.text for s in qrsuite.decode(matrix.to_image())]
    ['Seat 14C']

decode() reads every symbol in a picture: a NumPy array, a Pillow image, a
picture file (by path or open file) or the bytes of one. encode() makes one
symbol as a Matrix that draws itself as an array or Pillow image and saves
itself as BMP, WMF, SVG or PNG.

Both release the GIL while they work, so calls from several threads run in
parallel; each call's results are its own.
"""

import os
import sys
import tempfile

from ._qrsuite import StructuredAppend, Symbol, _decode_array, _decode_file
from ._matrix import Matrix, encode

__all__ = ["decode", "encode", "Symbol", "StructuredAppend", "Matrix"]
__version__ = "1.0.0"

# How picture files start: JPEG, PNG, GIF, TIFF (both byte orders); BMP and
# WebP are checked further below.
_PICTURE_SIGNATURES = (b"\xff\xd8\xff", b"\x89PNG\r\n\x1a\n", b"GIF87a", b"GIF89a", b"II*\x00", b"MM\x00*")
_BMP_HEADER_SIZES = (12, 16, 40, 52, 56, 64, 108, 124)


def _looks_like_picture(data):
    head = bytes(data[:18])
    if head[:2] == b"BM":  # "BM" and the size of a known bitmap header
        return len(head) == 18 and int.from_bytes(head[14:18], "little") in _BMP_HEADER_SIZES
    return head.startswith(_PICTURE_SIGNATURES) or (head[:4] == b"RIFF" and head[8:12] == b"WEBP")


def _pil_array(image):
    """The pixels of a Pillow image as a uint8 array: grey, RGB and RGBA as
    they are, other modes converted to grey."""
    mode = image.mode
    if mode not in ("L", "RGB", "RGBA"):
        try:
            image = image.convert("L")
        except ValueError as error:
            raise TypeError(f"cannot read a Pillow image of mode {mode!r}: {error}") from None
    import numpy

    return numpy.asarray(image)


def _decode_bytes(data, options):
    # The decoder reads pictures from files; picture bytes go through a
    # temporary file only this process can read, removed at once.
    handle, path = tempfile.mkstemp(prefix="qrsuite-")
    try:
        with os.fdopen(handle, "wb") as file:
            file.write(data)
        try:
            return _decode_file(os.fsencode(path), *options)
        except OSError:
            raise OSError("the bytes are not a picture qrsuite reads, or a damaged one") from None
    finally:
        os.unlink(path)


def decode(image, *, max_symbols=0, effort=3, photo_stage=True, threshold=0, min_module_size=1, rect=None):
    """Finds and decodes the QR Code symbols in a picture.

    image: one of
      - a NumPy array of dtype uint8: 2-D grey (0 black .. 255 white), or
        3-D with 3 (RGB) or 4 (RGBA; alpha ignored) channels, any strides.
        Colours are read as grey (0.30 R + 0.59 G + 0.11 B). Arrays whose
        rows hold adjacent pixels are read in place, others copied first.
      - a Pillow image (modes L, RGB and RGBA as they are, others converted
        with .convert('L')); Pillow itself is never imported by qrsuite.
      - a path to a picture file (str, bytes or os.PathLike): BMP, JPEG, PNG,
        GIF, TIFF, WebP, ...
      - the contents of a picture file: bytes, bytearray or memoryview that
        start like one of those formats (bytes that do not are a path), or
        an open binary file, which is read. They are decoded through a
        temporary file that only this user can read, removed at once.
    max_symbols: at most this many symbols; 0 reads every symbol.
    effort: which binarisation passes run, 0-3 (bit 0 the vote pass, bit 1
        the block pass); 3 also lets the photo stage run.
    photo_stage: run the photo stage (perspective, uneven light, blur, bent
        sheets, light on dark, mirrored symbols) when the binary passes found
        fewer symbols than wanted.
    threshold: fixed brightness threshold 1-255 for the binary passes; 0
        computes one.
    min_module_size: smallest module the binary passes look for, 1-255 px.
    rect: None, or (left, top, right, bottom) in pixels (right and bottom
        exclusive): only this part is searched, corners are still reported
        in whole-picture pixels.

    Returns the symbols found as a list of Symbol, in the order the searches
    found them (an empty list when there are none).

    The GIL is released while decoding; each thread keeps the decoder's
    working memory from one call to the next.

    Raises TypeError for an object, dtype or shape it cannot read,
    ValueError for an empty or too large picture (over 65,535 pixels a side
    or 2^28 pixels) and options out of range, FileNotFoundError,
    IsADirectoryError, PermissionError or OSError when a file is missing or
    cannot be read (a file that is no picture: OSError with errno EINVAL),
    MemoryError when memory runs out.
    """
    options = (max_symbols, effort, photo_stage, threshold, min_module_size, rect)
    if isinstance(image, (str, os.PathLike)):
        return _decode_file(os.fsencode(image), *options)
    if isinstance(image, bytes) and not _looks_like_picture(image):
        return _decode_file(image, *options)
    if isinstance(image, (bytes, bytearray, memoryview)):
        data = memoryview(image).cast("B") if isinstance(image, memoryview) else image
        if not _looks_like_picture(data):
            raise ValueError("the bytes do not start like a picture file (BMP, JPEG, PNG, GIF, TIFF, WebP)")
        return _decode_bytes(data, options)
    pil = sys.modules.get("PIL.Image")
    if pil is not None and isinstance(image, pil.Image):
        image = _pil_array(image)
    elif hasattr(image, "read"):
        data = image.read()
        if not isinstance(data, (bytes, bytearray)):
            raise TypeError("a file object must be opened in binary mode ('rb')")
        if not _looks_like_picture(data):
            raise ValueError("the file does not start like a picture file (BMP, JPEG, PNG, GIF, TIFF, WebP)")
        return _decode_bytes(data, options)
    return _decode_array(image, *options)
